#!/usr/bin/env bash
# The real quillet-virtual-printer with --window on a private Xvfb display: two receipts sent to
# its FIFO appear in the window, a picture of it is saved, and SIGTERM ends it with exit code 0.
#   window_xvfb.sh <quillet-virtual-printer> <picture>
# Exits with 77 when Xvfb, xdotool or ImageMagick is missing.
set -euo pipefail
binary=$1
picture=$2
source "$(dirname "$0")/../../scripts/xvfb-session.sh"
xvfb_session virtual-printer-window import convert

"$binary" --window --fifo "$work/lp0" --out "$work/receipts" --pause 0 >"$work/output" &
quillet_pid=$!
wait_for 60 grep -q '^ready$' "$work/output" || { echo "the printer did not start" >&2; exit 1; }
printf '\x1b@\x1ba\x01\x1d!\x11FIRST\n\x1dV\x00' >"$work/lp0"
printf '\x1b@\x1ba\x01\x1d!\x11SECOND\n\x1d!\x00newest first\n\x1dV\x01' >"$work/lp0"
wait_for 60 grep -q '0002.png$' "$work/output" || { echo "no second receipt" >&2; exit 1; }

find_window() { xdotool search --onlyvisible --pid "$quillet_pid" 2>/dev/null | head -n1 >"$work/window"; test -s "$work/window"; }
wait_for 60 find_window || { echo "the window did not appear" >&2; exit 1; }
sleep 1 # let the receipts be painted
mkdir -p "$(dirname "$picture")"
import -window "$(cat "$work/window")" "png:$picture"
# The receipts' white paper covers a part of the grey window, and printed dots a part of that.
share() { convert "$picture" -colorspace Gray "$@" -format '%[fx:mean]' info:; }
paper=$(share -threshold 95%)
ink=$(share -threshold 20% -negate)
echo "window picture: $picture, paper share $paper, ink share $ink"
awk -v paper="$paper" -v ink="$ink" 'BEGIN { exit !(paper > 0.1 && ink > 0.002) }' \
  || { echo "no receipt is drawn" >&2; exit 1; }

kill -TERM "$quillet_pid"
wait_for_exit 0
echo "SIGTERM ended the printer with exit code 0"
