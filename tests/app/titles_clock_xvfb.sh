#!/usr/bin/env bash
# Starts the real quillet on a private Xvfb display in four locales and checks what a window
# manager and an operator see: the window's title (WM_NAME and _NET_WM_NAME) is exactly its
# caption, a box of the program's own is titled exactly "Quillet v1.0", and the clock panel's
# picture keeps changing (its seconds are in view at the stored window size).
#   titles_clock_xvfb.sh <quillet binary> <caption printer> <folder for pictures>
# Exits with 77 when Xvfb, xdotool, xprop or ImageMagick's import is missing.
set -euo pipefail
binary=$1
caption=$("$2")
pictures=$3

source "$(dirname "$0")/../../scripts/xvfb-session.sh"
xvfb_session "titles and clock" import xprop

mkdir -p "$work/root/sys/class/tty/ttyS0/device/driver" "$work/root/dev" "$pictures"
# The server resets when its last client leaves, refusing the next program for a moment: a
# client of its own keeps it up between the runs (and ends with it).
xprop -root -spy >/dev/null 2>&1 &

fail() { echo "titles and clock: $*" >&2; exit 1; }

# title <window> <property>: the property's text as xprop shows it between quotes.
title() { xprop -id "$1" "$2" | sed -n 's/^[^=]*= "\(.*\)"$/\1/p'; }

expect_title() {
  local property
  for property in WM_NAME _NET_WM_NAME; do
    [ "$(title "$1" "$property")" = "$2" ] \
      || fail "$property of $3 is \"$(title "$1" "$property")\", expected \"$2\""
  done
}

# The clock: the status bar's last panel, right of the two fixed panels (230 + 200 pixels).
clock_picture() { import -window "$window" -crop 130x18+440+345 +repage "ppm:$1"; }

# clock_changed <picture>: the panel shows something else than the picture; the new picture
# replaces it.
clock_changed() {
  clock_picture "$work/now.ppm"
  cmp -s "$1" "$work/now.ppm" && return 1
  mv "$work/now.ppm" "$1"
}

# The panel changes twice, so it ticks and did not only finish its first paint. How often it
# ticks is the window tests' business (with the window's own clock): a program starved of the
# processor on a loaded machine paints late, so here only a frozen clock fails.
clock_ticks() {
  local lang=$1
  clock_picture "$work/clock.ppm"
  cp "$work/clock.ppm" "$pictures/clock-$lang.ppm"
  wait_for 15 clock_changed "$work/clock.ppm" && wait_for 15 clock_changed "$work/clock.ppm"
}

find_window() {
  xdotool search --onlyvisible --pid "$quillet_pid" 2>/dev/null | head -n1 >"$work/window"
  test -s "$work/window"
}

find_box() {
  xdotool search --onlyvisible --pid "$quillet_pid" 2>/dev/null | grep -vx "$window" | head -n1 \
    >"$work/box"
  test -s "$work/box"
}

# The program runs in a network namespace of its own where it can: a click that missed "LPT"
# would press with the window's default network address chosen.
private_network="$(dirname "$0")/../support/private-network.sh"

for lang in de_DE.UTF-8 en_US.UTF-8 C ja_JP.UTF-8; do
  LANG=$lang LC_ALL='' LC_TIME='' QUILLET_SYSROOT="$work/root" bash "$private_network" "$binary" &
  quillet_pid=$!
  wait_for 60 find_window || fail "the window did not appear ($lang)"
  window=$(cat "$work/window")
  wait_painted "$window"
  expect_title "$window" "$caption" "the window ($lang)"
  clock_ticks "$lang" || fail "the clock stood still in $lang"
  echo "titles and clock: $lang: title \"$caption\", the clock ticks"

  if [ "$lang" = C ]; then
    # LPT, then "Print Test": no printer device below the system root gives the error box.
    xdotool mousemove --window "$window" 212 30 click 1
    xdotool mousemove --window "$window" 484 188 click 1
    wait_for 30 find_box || fail "no error box"
    box=$(cat "$work/box")
    expect_title "$box" "Quillet v1.0" "the error box"
    xdotool windowfocus --sync "$box"
    xdotool key Return
    wait_for 30 bash -c "! xdotool search --onlyvisible --pid $quillet_pid 2>/dev/null | grep -vxq $window"
    echo "titles and clock: the error box is titled \"Quillet v1.0\""
  fi

  press_exit "$window"
  wait_for_exit 0
done
