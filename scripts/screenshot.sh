#!/usr/bin/env bash
# Starts the Quillet window on a private Xvfb display, saves a picture of it, presses "Exit" and
# checks that the program ended with exit code 0.
#   scripts/screenshot.sh [quillet binary] [picture]   (default: build/dev/app/quillet docs/quillet-window.png)
# Exits with 77 when Xvfb, xdotool or ImageMagick's import is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
binary=${1:-build/dev/app/quillet}
picture=${2:-docs/quillet-window.png}

for tool in Xvfb xdotool import identify; do
  command -v "$tool" >/dev/null || { echo "screenshot: $tool is not installed" >&2; exit 77; }
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

# wait_for <seconds> <command...>: retries the command every 0.1 s until it succeeds.
wait_for() {
  local tries=$(($1 * 10)); shift
  until "$@"; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}

# Xvfb picks a free display itself and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
wait_for 30 test -s "$work/display" || { echo "screenshot: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

mkdir -p "$work/config" "$work/runtime" && chmod 700 "$work/runtime"
XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb "$binary" &
quillet_pid=$!

find_window() { xdotool search --onlyvisible --pid "$quillet_pid" 2>/dev/null | head -n1 >"$work/window"; test -s "$work/window"; }
wait_for 60 find_window || { echo "screenshot: the window did not appear" >&2; exit 1; }
window=$(cat "$work/window")
sleep 1 # let the first paint finish

mkdir -p "$(dirname "$picture")"
import -window "$window" "png:$picture"
size=$(identify -format '%wx%h' "$picture")
echo "screenshot: $picture ($size)"

# "Exit" sits at 400, 293 with a size of 169 × 25 in the window.
xdotool mousemove --window "$window" 484 305 click 1
status=0
wait_for 30 bash -c "! kill -0 $quillet_pid 2>/dev/null" || { echo "screenshot: Exit did not end the program" >&2; exit 1; }
wait "$quillet_pid" || status=$?
quillet_pid=""
if [ "$status" -ne 0 ]; then
  echo "screenshot: quillet ended with exit code $status" >&2
  exit 1
fi
if [ "$size" != "594x366" ]; then
  echo "screenshot: the window is $size, expected 594x366" >&2
  exit 1
fi
echo "screenshot: Exit ended quillet with exit code 0"
