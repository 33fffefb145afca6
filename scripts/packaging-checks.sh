# Sourced by the packaging tests: what an installed Quillet tree must hold, and the checks that
# an installed tree and an unpacked Debian package share. Every path is relative to a root
# that holds usr/ (an install with --prefix <root>/usr, or a package unpacked into <root>).

app_id=org.quillet.Quillet
icon_sizes=(16 24 32 48 64 128 256 512)

# The programs of the tools package; every other installed program is the window package's.
tools_programs=(quillet-send)

# expected_files <package> <programs...>: every file the package (quillet or quillet-tools) must
# hold, one a line; "all" for an installed tree, which holds both.
expected_files() {
  local package=$1 program size; shift
  if [ "$package" = all ]; then
    expected_files quillet "$@"
    expected_files quillet-tools "$@"
    return
  fi
  for program in "$@"; do
    if printf '%s\n' "${tools_programs[@]}" | grep -qxF "$program"; then
      [ "$package" = quillet-tools ] && echo "usr/bin/$program"
    else
      [ "$package" = quillet ] && echo "usr/bin/$program"
    fi
  done
  echo "usr/share/doc/$package/copyright"
  echo "usr/share/doc/$package/changelog.gz"
  if [ "$package" = quillet-tools ]; then
    echo "usr/lib/quillet/libZEVarUV.so"
    return
  fi
  echo "usr/share/man/man1/quillet.1.gz"
  echo "usr/share/applications/$app_id.desktop"
  echo "usr/share/metainfo/$app_id.metainfo.xml"
  echo "usr/share/icons/hicolor/scalable/apps/$app_id.svg"
  for size in "${icon_sizes[@]}"; do
    echo "usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
  done
}

fail() {
  echo "$check_name: $*" >&2
  exit 1
}

# check_listing <listing> <package> <programs...>: the listing (one path a line, relative to
# the root, folders included) holds every expected file of the package ("all" for both), the
# catalog folder where the tools are, and no file beyond them. Manual pages of other programs
# are theirs to ship and may be there.
check_listing() {
  local listing=$1 package=$2 path; shift 2
  local expected
  expected=$(expected_files "$package" "$@")
  while read -r path; do
    grep -qxF "$path" "$listing" || fail "$path is missing"
  done <<<"$expected"
  if [ "$package" != quillet ]; then
    grep -qxF "usr/share/quillet/locale" "$listing" || fail "the catalog folder is missing"
  fi
  while read -r path; do
    case "$path" in
      usr/share/man/man1/*.1.gz) continue ;;
      usr/share/quillet/locale | usr/share/quillet/locale/*)
        [ "$package" != quillet ] && continue ;;
    esac
    grep -qxF "$path" <<<"$expected" || grep -q "^$path/" "$listing" || fail "unexpected $path"
  done <"$listing"
}

# check_tree <root> <package> <programs...>: as check_listing, on the files below root.
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
# through $ORIGIN-relative paths alone, never through a folder of the machine that built it nor
# through an empty entry (the current directory).
check_search_paths() {
  local root=$1 file
  while read -r file; do
    if ldd "$file" 2>&1 | grep 'not found' >"$work/missing.txt"; then
      fail "${file#"$root"/} lacks $(cat "$work/missing.txt")"
    fi
    check_runpath "$file" "${file#"$root"/}"
  done < <(find "$root/usr/bin" "$root/usr/lib" -type f)
}

# check_runpath <ELF file> <name to report>: each entry of its search path starts with $ORIGIN,
# and none is empty (a leading, trailing or doubled ':').
check_runpath() {
  local file=$1 name=$2 paths entry
  paths=$(readelf -d "$file" 2>/dev/null | sed -n 's/.*(\(RPATH\|RUNPATH\)).*\[\(.*\)\]/\2/p')
  [ -n "$paths" ] || return 0
  case ":$paths:" in
    *::*) fail "$name has an empty entry in its search path \"$paths\"" ;;
  esac
  while read -r entry; do
    case "$entry" in
      '$ORIGIN' | '$ORIGIN/'*) ;;
      *) fail "$name searches $entry for libraries" ;;
    esac
  done < <(tr ':' '\n' <<<"$paths")
}

# check_manual_pages <root>: every manual page renders, and every Quillet page its SEE ALSO
# names is in the tree.
check_manual_pages() {
  local root=$1 page name section
  for page in "$root"/usr/share/man/man1/*.1.gz; do
    MANWIDTH=80 man -l "$page" 2>&1 | grep -q '^NAME' || fail "${page#"$root"/} does not render"
    while read -r name section; do
      [ -f "$root/usr/share/man/man$section/$name.$section.gz" ] \
        || fail "${page#"$root"/} names $name($section), which is not there"
    done < <(zcat "$page" | sed -n '/^\.SH SEE ALSO/,/^\.SH/p' \
      | sed -n 's/^\.BR \(quillet[a-z\\-]*\) (\([0-9]\)).*/\1 \2/p' | sed 's/\\-/-/g')
  done
}
