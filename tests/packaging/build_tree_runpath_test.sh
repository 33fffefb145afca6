#!/usr/bin/env bash
# No program or library of the build loads libraries from the current directory: every entry of
# every search path (RUNPATH or RPATH, as readelf shows it) starts with $ORIGIN and none is
# empty, such as the trailing ':' CMake pads a search path with when it rewrites it at install.
#   build_tree_runpath_test.sh <build folder>
set -euo pipefail
scripts="$(cd "$(dirname "$0")/../../scripts" && pwd)"
source "$scripts/packaging-checks.sh"
check_name="build tree search paths"
build=$1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
count=0
while read -r file; do
  head -c 4 "$file" | grep -q 'ELF' || continue
  check_runpath "$file" "${file#"$build"/}"
  count=$((count + 1))
done < <(find "$build" -path "$build/_CPack_Packages" -prune -o -type f \
  \( -perm -u+x -o -name '*.so*' \) -print)
[ "$count" -gt 0 ] || fail "no program found in $build"
echo "$check_name: $count programs and libraries, no empty or absolute entry"
