#!/usr/bin/env bash
# `cpack -G DEB` makes two packages, quillet-tools (quillet-send and its network library) and
# quillet (the window and the virtual printer, depending on quillet-tools), each holding what it
# should and depending on what dpkg-shlibdeps found; lintian finds neither errors nor warnings;
# apt would install them here, and quillet-tools alone without Qt. Unpacked alone, quillet-tools
# runs quillet-send --list with no Qt library loaded; unpacked together, the window shows and
# ends with exit code 0 on "Exit".
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

# package_file <name>: the one .deb of that package.
package_file() {
  local files=("$work"/cpack/"$1"_*.deb)
  [ "${#files[@]}" -eq 1 ] && [ -f "${files[0]}" ] || fail "cpack made no $1_*.deb"
  echo "${files[0]}"
}
window=$(package_file quillet)
tools=$(package_file quillet-tools)

for package in "$window" "$tools"; do
  name=$(dpkg-deb --field "$package" Package)
  dpkg-deb --contents "$package" | awk '{print $6}' | sed 's|^\./||; s|/$||' | grep . \
    | sort >"$work/contents-$name.txt"
  check_listing "$work/contents-$name.txt" "$name" "$@"
done

# The dependencies are the shared libraries' packages, with versions, from dpkg-shlibdeps; the
# window's network library comes from quillet-tools of the same version.
depends=$(dpkg-deb --field "$window" Depends)
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
  grep -qE "(^|, )${library//+/\\+} \(>= [^)]+\)" <<<"$depends" \
    || fail "quillet's Depends lacks $library: $depends"
done
version=$(dpkg-deb --field "$window" Version)
grep -qE "(^|, )quillet-tools \(= $version\)" <<<"$depends" \
  || fail "quillet's Depends lacks quillet-tools (= $version): $depends"
tools_depends=$(dpkg-deb --field "$tools" Depends)
grep -q "libc6 (>= " <<<"$tools_depends" || fail "quillet-tools' Depends lacks libc6: $tools_depends"
if grep -qiE "qt|quillet" <<<"$tools_depends"; then
  fail "quillet-tools depends on the desktop: $tools_depends"
fi
echo "$check_name: contents right; Depends: $depends; quillet-tools: $tools_depends"

# Neither errors nor warnings (no override hides one).
lintian --fail-on error,warning --tag-display-limit 0 "$window" "$tools" >"$work/lintian.txt" 2>&1 \
  || { cat "$work/lintian.txt" >&2; fail "lintian found errors or warnings"; }

# apt resolves the dependencies against this machine's packages without installing anything:
# both together, and quillet-tools alone without a single Qt package.
apt-get install --simulate --no-install-recommends "$window" "$tools" >"$work/apt.txt" 2>&1 \
  || { cat "$work/apt.txt" >&2; fail "apt-get would not install the packages"; }
apt-get install --simulate --no-install-recommends "$tools" >"$work/apt-tools.txt" 2>&1 \
  || { cat "$work/apt-tools.txt" >&2; fail "apt-get would not install quillet-tools"; }
if grep -E '^Inst ' "$work/apt-tools.txt" | grep -qi 'qt'; then
  fail "installing quillet-tools would bring Qt: $(grep -E '^Inst ' "$work/apt-tools.txt")"
fi

# quillet-tools alone: its program loads no Qt library and lists the devices.
dpkg-deb -x "$tools" "$work/tools-root"
check_search_paths "$work/tools-root"
send="$work/tools-root/usr/bin/quillet-send"
if ldd "$send" | grep -i 'qt'; then
  fail "quillet-send of quillet-tools loads Qt"
fi
env -u LD_LIBRARY_PATH "$send" --list >"$work/list.txt" 2>&1 \
  || { cat "$work/list.txt" >&2; fail "quillet-send --list of quillet-tools alone failed"; }
grep -qx "Line printers:" "$work/list.txt" || fail "quillet-send --list listed nothing"

dpkg-deb -x "$window" "$work/root"
dpkg-deb -x "$tools" "$work/root"
check_desktop_files "$work/root"
check_search_paths "$work/root"
check_manual_pages "$work/root"
echo "$check_name: lintian, apt, quillet-tools alone, menu entry, metadata, search paths and" \
  "manual pages are right"

bash "$scripts/start-installed.sh" "$work/root/usr/bin/quillet" "$build" "$work/window.png"
