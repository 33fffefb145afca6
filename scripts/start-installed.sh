#!/usr/bin/env bash
# Starts an installed quillet on a private Xvfb display, takes its picture and presses "Exit"
# (scripts/screenshot.sh), with the build folder hidden behind an empty one, so the program can
# only use what was installed. This runs in private mount and network namespaces, so nothing the
# window does can leave the machine; where they cannot be made, it runs as it is.
#   start-installed.sh <installed quillet> <build folder to hide> <picture>
# Exits with 77 when Xvfb, xdotool or ImageMagick's import is missing.
set -euo pipefail
screenshot="$(cd "$(dirname "$0")" && pwd)/screenshot.sh"
binary=$1
build=$2
picture=$3

if unshare --mount --net true 2>/dev/null; then
  exec unshare --mount --net bash -c '
    ip link set lo up 2>/dev/null || true
    mount -t tmpfs hidden-build-folder "$1"
    exec bash "$2" "$3" "$4"' start-installed "$build" "$screenshot" "$binary" "$picture"
fi
echo "start-installed: no private namespaces here; the build folder stays visible" >&2
exec bash "$screenshot" "$binary" "$picture"
