#!/usr/bin/env bash
# `cmake --install` into a temporary root lays out a working tree: every file in its place, a
# valid menu entry, AppStream metadata and icons, libraries found relative to the programs, and
# the installed program, started with the build folder hidden, shows its window and ends with
# exit code 0 on "Exit".
#   installed_tree_test.sh <build folder> <programs...>
set -euo pipefail
scripts="$(cd "$(dirname "$0")/../../scripts" && pwd)"
source "$scripts/packaging-checks.sh"
check_name="installed tree"
build=$1; shift

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/root/usr" >"$work/install.txt" \
  || { cat "$work/install.txt" >&2; fail "cmake --install failed"; }

check_tree "$work/root" all "$@"
check_desktop_files "$work/root"
check_search_paths "$work/root"
check_manual_pages "$work/root"
echo "$check_name: layout, menu entry, metadata, icons, search paths and manual pages are right"

bash "$scripts/start-installed.sh" "$work/root/usr/bin/quillet" "$build" "$work/window.png"
