#!/usr/bin/env bash
# The program is not tied to its build folder: copied with libZEVarUV.so beside it, or with the
# library in ../lib/quillet (as installed), it finds its copy of the library and starts
# (offscreen, below a test system root), and its search path names no absolute folder.
#   copied_binary.sh <quillet binary> <libZEVarUV.so>
set -euo pipefail
binary=$1
library=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "copied binary: $*" >&2; exit 1; }

runpath=$(readelf -d "$binary" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')
IFS=: read -ra entries <<<"$runpath"
for entry in "${entries[@]}"; do
  case "$entry" in
    '$ORIGIN'*) ;;
    *) fail "the search path names \"$entry\" (all of it: $runpath)" ;;
  esac
done

mkdir -p "$work/beside" "$work/tree/bin" "$work/tree/lib/quillet" "$work/root/sys/class/tty" \
  "$work/config"
cp "$binary" "$library" "$work/beside/"
cp "$binary" "$work/tree/bin/"
cp "$library" "$work/tree/lib/quillet/"

# Each copy with the folder its library is in.
for pair in "$work/beside/quillet:$work/beside" "$work/tree/bin/quillet:$work/tree/lib/quillet"; do
  copy=${pair%%:*}
  expected=${pair#*:}/libZEVarUV.so
  # The dynamic loader's own account of where the library comes from.
  found=$(env -u LD_LIBRARY_PATH LD_TRACE_LOADED_OBJECTS=1 "$copy" \
    | sed -n 's/.*libZEVarUV.so => \([^ ]*\).*/\1/p')
  [ "$(realpath "$found")" = "$(realpath "$expected")" ] \
    || fail "$copy loads \"$found\", expected $expected"
  # And it starts: still running after two seconds, so it got past loading and building.
  status=0
  env -u LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen QUILLET_SYSROOT="$work/root" \
    XDG_CONFIG_HOME="$work/config" timeout 2 "$copy" >"$work/out" 2>&1 || status=$?
  [ "$status" -eq 124 ] || fail "$copy ended with $status: $(cat "$work/out")"
  echo "copied binary: $copy loads $found and starts"
done
