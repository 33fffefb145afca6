#!/usr/bin/env bash
# Starts the Quillet window on a private Xvfb display, saves a picture of it, presses "Exit" and
# checks that the program ended with exit code 0.
#   scripts/screenshot.sh [quillet binary] [picture]   (default: build/dev/app/quillet docs/quillet-window.png)
# Exits with 77 when Xvfb, xdotool or ImageMagick's import is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
binary=${1:-build/dev/app/quillet}
picture=${2:-docs/quillet-window.png}

source scripts/xvfb-session.sh
xvfb_session screenshot import identify

"$binary" &
quillet_pid=$!

find_window() {
  if ! kill -0 "$quillet_pid" 2>/dev/null; then
    echo "screenshot: the program ended at start; Xvfb said:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
  fi
  xdotool search --onlyvisible --pid "$quillet_pid" 2>/dev/null | head -n1 >"$work/window"
  test -s "$work/window"
}
wait_for 60 find_window || { echo "screenshot: the window did not appear" >&2; exit 1; }
window=$(cat "$work/window")
wait_painted "$window"

mkdir -p "$(dirname "$picture")"
import -window "$window" "png:$picture"
size=$(identify -format '%wx%h' "$picture")
echo "screenshot: $picture ($size)"

press_exit "$window"
wait_for_exit 0
if [ "$size" != "594x366" ]; then
  echo "screenshot: the window is $size, expected 594x366" >&2
  exit 1
fi
echo "screenshot: Exit ended quillet with exit code 0"
