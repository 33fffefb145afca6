#!/usr/bin/env bash
# Starts the real quillet on a private Xvfb display below a system root that has no serial-port
# list (no sys/class/tty): the start must fail with the "Application Error" box and, once the
# box is closed, end with exit code 1 without showing the main window.
#   application_error_xvfb.sh <quillet binary> <picture of the box>
# Exits with 77 when Xvfb, xdotool or ImageMagick's import is missing.
set -euo pipefail
binary=$1
picture=$2

for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "application error: $tool is not installed" >&2; exit 77; }
done

work=$(mktemp -d)
xvfb_pid=""
quillet_pid=""
cleanup() {
  [ -n "$quillet_pid" ] && kill "$quillet_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

wait_for() {
  local tries=$(($1 * 10)); shift
  until "$@"; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
wait_for 30 test -s "$work/display" || { echo "application error: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

mkdir -p "$work/root/dev" "$work/config" "$work/runtime" && chmod 700 "$work/runtime"
QUILLET_SYSROOT="$work/root" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
  QT_QPA_PLATFORM=xcb "$binary" &
quillet_pid=$!

find_box() {
  xdotool search --onlyvisible --pid "$quillet_pid" --name '^Application Error$' 2>/dev/null \
    | head -n1 >"$work/box"
  test -s "$work/box"
}
wait_for 60 find_box || { echo "application error: no \"Application Error\" box" >&2; exit 1; }
box=$(cat "$work/box")
sleep 0.5
mkdir -p "$(dirname "$picture")"
import -window "$box" "png:$picture"
echo "application error: the box is in $picture"

# The box is the only window: the main window is never shown.
windows=$(xdotool search --onlyvisible --pid "$quillet_pid" --name '.' 2>/dev/null | wc -l)
if [ "$windows" -ne 1 ]; then
  echo "application error: $windows windows are shown, expected the box alone" >&2
  exit 1
fi

# No window manager runs here: give the box the keyboard focus, then press its default button.
xdotool windowfocus --sync "$box"
xdotool key Return
status=0
wait_for 30 bash -c "! kill -0 $quillet_pid 2>/dev/null" || { echo "application error: the program did not end" >&2; exit 1; }
wait "$quillet_pid" || status=$?
quillet_pid=""
if [ "$status" -ne 1 ]; then
  echo "application error: quillet ended with exit code $status, expected 1" >&2
  exit 1
fi
echo "application error: closing the box ended quillet with exit code 1"
