#!/usr/bin/env bash
# `cpack -G DEB` makes a package that holds what it should, depends on what dpkg-shlibdeps
# found, passes lintian without errors, would install here, and, unpacked with dpkg-deb -x,
# runs: the program shows its window and ends with exit code 0 on "Exit".
#   debian_package_test.sh <build folder> <programs...>
set -euo pipefail
scripts="$(cd "$(dirname "$0")/../../scripts" && pwd)"
source "$scripts/packaging-checks.sh"
check_name="debian package"
build=$1; shift

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work/cpack") >"$work/cpack.txt" 2>&1 \
  || { cat "$work/cpack.txt" >&2; fail "cpack failed"; }
packages=("$work"/cpack/quillet_*.deb)
[ "${#packages[@]}" -eq 1 ] && [ -f "${packages[0]}" ] || fail "cpack made no quillet_*.deb"
package=${packages[0]}

dpkg-deb --contents "$package" | awk '{print $6}' | sed 's|^\./||; s|/$||' | grep . \
  | sort >"$work/contents.txt"
check_listing "$work/contents.txt" "$@"

# The dependencies are the shared libraries' packages, with versions, from dpkg-shlibdeps.
depends=$(dpkg-deb --field "$package" Depends)
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
  grep -qE "(^|, )${library//+/\\+} \(>= [^)]+\)" <<<"$depends" \
    || fail "Depends lacks $library: $depends"
done
echo "$check_name: contents right; Depends: $depends"

lintian --fail-on error --tag-display-limit 0 "$package" >"$work/lintian.txt" 2>&1 \
  || { cat "$work/lintian.txt" >&2; fail "lintian found errors"; }
grep -E '^[EW]: ' "$work/lintian.txt" || true

# apt resolves the dependencies against this machine's packages without installing anything.
apt-get install --simulate --no-install-recommends "$package" >"$work/apt.txt" 2>&1 \
  || { cat "$work/apt.txt" >&2; fail "apt-get would not install the package"; }

dpkg-deb -x "$package" "$work/root"
check_desktop_files "$work/root"
check_search_paths "$work/root"
echo "$check_name: lintian, apt, menu entry, metadata and search paths are right"

bash "$scripts/start-installed.sh" "$work/root/usr/bin/quillet" "$build" "$work/window.png"
