#!/bin/sh
# Runs a test with a 1 MiB tmpfs named by QUILLET_SMALL_DISK, mounted in a mount namespace of its
# own so it goes with the test; skipped (77) where the machine allows no such mount.
if ! unshare -m true 2>/dev/null; then
  echo "no mount namespace can be made here"
  exit 77
fi
exec unshare -m sh -c '
  disk=$(mktemp -d) || exit 1
  if ! mount -t tmpfs -o size=1m tmpfs "$disk"; then
    rmdir "$disk"
    echo "no tmpfs can be mounted here"
    exit 77
  fi
  QUILLET_SMALL_DISK="$disk" "$@"
  status=$?
  umount -R "$disk" && rmdir "$disk"
  exit $status
' sh "$@"
