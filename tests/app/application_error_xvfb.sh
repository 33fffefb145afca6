#!/usr/bin/env bash
# Starts the real quillet on a private Xvfb display below a system root that has no serial-port
# list (no sys/class/tty): the start must fail with the "Application Error" box and, once the
# box is closed, end with exit code 1 without showing the main window.
#   application_error_xvfb.sh <quillet binary> <picture of the box>
# Exits with 77 when Xvfb, xdotool, xprop or ImageMagick's import is missing.
set -euo pipefail
binary=$1
picture=$2

source "$(dirname "$0")/../../scripts/xvfb-session.sh"
xvfb_session "application error" import xprop

mkdir -p "$work/root/dev"
QUILLET_SYSROOT="$work/root" "$binary" &
quillet_pid=$!

find_box() {
  xdotool search --onlyvisible --pid "$quillet_pid" --name '^Application Error$' 2>/dev/null \
    | head -n1 >"$work/box"
  test -s "$work/box"
}
wait_for 60 find_box || { echo "application error: no \"Application Error\" box" >&2; exit 1; }
box=$(cat "$work/box")
# The title a window manager shows is the caption alone, in both of its properties.
for property in WM_NAME _NET_WM_NAME; do
  shown=$(xprop -id "$box" "$property" | sed -n 's/^[^=]*= "\(.*\)"$/\1/p')
  if [ "$shown" != "Application Error" ]; then
    echo "application error: $property is \"$shown\", expected \"Application Error\"" >&2
    exit 1
  fi
done
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
wait_for_exit 1
echo "application error: closing the box ended quillet with exit code 1"
