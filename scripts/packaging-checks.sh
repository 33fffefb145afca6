# Sourced by the packaging tests: what an installed Quillet tree must hold, and the checks that
# an installed tree and an unpacked Debian package share. Every path is relative to a root
# that holds usr/ (an install with --prefix <root>/usr, or a package unpacked into <root>).

app_id=org.quillet.Quillet
icon_sizes=(16 24 32 48 64 128 256 512)

# expected_files <programs...>: every file the tree must hold, one a line.
expected_files() {
  local program size
  for program in "$@"; do
    echo "usr/bin/$program"
  done
  echo "usr/share/man/man1/quillet.1.gz"
  echo "usr/lib/libZEVarUV.so"
  echo "usr/share/applications/$app_id.desktop"
  echo "usr/share/metainfo/$app_id.metainfo.xml"
  echo "usr/share/icons/hicolor/scalable/apps/$app_id.svg"
  for size in "${icon_sizes[@]}"; do
    echo "usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
  done
  echo "usr/share/doc/quillet/copyright"
  echo "usr/share/doc/quillet/changelog.gz"
  echo "usr/share/lintian/overrides/quillet"
}

fail() {
  echo "$check_name: $*" >&2
  exit 1
}

# check_listing <listing> <programs...>: the listing (one path a line, relative to the root,
# folders included) holds every expected file, the catalog folder, and no file beyond them.
# Manual pages of other programs are theirs to ship and may be there.
check_listing() {
  local listing=$1 path; shift
  local expected
  expected=$(expected_files "$@")
  while read -r path; do
    grep -qxF "$path" "$listing" || fail "$path is missing"
  done <<<"$expected"
  grep -qxF "usr/share/quillet/locale" "$listing" || fail "the catalog folder is missing"
  while read -r path; do
    case "$path" in
      usr/share/man/man1/*.1.gz | usr/share/quillet/locale | usr/share/quillet/locale/*) continue ;;
    esac
    grep -qxF "$path" <<<"$expected" || grep -q "^$path/" "$listing" || fail "unexpected $path"
  done <"$listing"
}

# check_tree <root> <programs...>: as check_listing, on the files below root.
check_tree() {
  local root=$1; shift
  (cd "$root" && find . -mindepth 1 | sed 's|^\./||' | sort) >"$work/tree.txt"
  check_listing "$work/tree.txt" "$@"
}

# check_desktop_files <root>: the menu entry, the AppStream metadata and the icons are valid
# and agree: desktop-file-validate (hints allowed), appstreamcli on the tree (strict: the
# metadata's desktop entry must exist), and each picture has the size of its folder.
check_desktop_files() {
  local root=$1 size
  desktop-file-validate "$root/usr/share/applications/$app_id.desktop" >"$work/desktop.txt" 2>&1 \
    || { cat "$work/desktop.txt" >&2; fail "desktop-file-validate refused the menu entry"; }
  if grep -v ': hint: ' "$work/desktop.txt" | grep -q .; then
    cat "$work/desktop.txt" >&2
    fail "desktop-file-validate complained"
  fi
  appstreamcli validate-tree --no-net --strict "$root" >"$work/appstream.txt" 2>&1 \
    || { cat "$work/appstream.txt" >&2; fail "appstreamcli refused the metadata"; }
  for size in "${icon_sizes[@]}"; do
    local picture="$root/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
    [ "$(identify -format '%wx%h' "$picture")" = "${size}x${size}" ] \
      || fail "$picture is not ${size}x${size}"
  done
}

# check_search_paths <root>: every program and library finds all its libraries, its own
# through $ORIGIN-relative paths alone, never through a folder of the machine that built it.
check_search_paths() {
  local root=$1 file entry
  while read -r file; do
    if ldd "$file" 2>&1 | grep 'not found' >"$work/missing.txt"; then
      fail "${file#"$root"/} lacks $(cat "$work/missing.txt")"
    fi
    readelf -d "$file" 2>/dev/null | sed -n 's/.*(\(RPATH\|RUNPATH\)).*\[\(.*\)\]/\2/p' \
      | tr ':' '\n' >"$work/paths.txt"
    while read -r entry; do
      case "$entry" in
        '$ORIGIN' | '$ORIGIN/'* | '') ;;
        *) fail "${file#"$root"/} searches $entry for libraries" ;;
      esac
    done <"$work/paths.txt"
  done < <(find "$root/usr/bin" "$root/usr/lib" -type f)
}
