#!/usr/bin/env bash
# Runs the pane's end-to-end test in-process on a private Xvfb display, so the window, its
# toggle and the lights are real X windows, and in a network namespace of its own where the
# machine allows one (the test types loopback addresses into the window); the test saves a
# picture of the window.
#   pane_xvfb.sh <test program> <picture>
# Exits with 77 when Xvfb or xdotool is missing.
set -euo pipefail
program=$1
picture=$2
here=$(dirname "$0")

source "$here/../../scripts/xvfb-session.sh"
xvfb_session "printer pane"

mkdir -p "$(dirname "$picture")"
PANE_PICTURE="$picture" bash "$here/../support/private-network.sh" "$program"
echo "printer pane: the window is in $picture"
