#!/usr/bin/env bash
# Runs a command on a real Linux kernel with USB gadgets at hand: boots Debian's kernel under
# QEMU's software emulation with a small initramfs, shares this machine's root file system
# read-only into it over 9p (so the programs built here run there as they are), and runs the
# command as root inside that root. The command's output comes back on the serial console; its
# exit code is this script's.
#   run.sh WORK_DIR COMMAND [ARGUMENT]...
# WORK_DIR keeps the kernel and the modules between runs (the package is fetched once, with
# apt-get download of the release's linux-image-amd64). Exit code 77 when QEMU, a static busybox
# or the kernel cannot be had.
set -euo pipefail

work=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
# The whole boot, the command included; a guest that hangs is stopped here.
limit=${QUILLET_QEMU_LIMIT:-240}
started=$(date +%s)

skip() {
  echo "SKIPPED: $*"
  exit 77
}

command -v qemu-system-x86_64 >/dev/null || skip "no qemu-system-x86_64 (Debian: qemu-system-x86)"
busybox=$(command -v busybox || true)
[ -n "$busybox" ] && ! ldd "$busybox" >/dev/null 2>&1 ||
  skip "no statically linked busybox (Debian: busybox-static)"

# Every module the guest needs, its dependencies first, from modules.dep; built-in ones are
# left out.
wanted=(virtio_pci 9pnet_virtio 9p configfs dummy_hcd libcomposite usb_f_printer usb_f_fs usblp)
kernel=$work/kernel
fetch_kernel() {
  local package tree
  package=$(apt-cache depends linux-image-amd64 2>/dev/null |
    awk '$1 == "Depends:" && $2 ~ /^linux-image-/ { print $2; exit }')
  [ -n "$package" ] || return 1
  tree=$work/extracted
  rm -rf "$tree" "$kernel.new" && mkdir -p "$tree" "$kernel.new/modules"
  (cd "$work" && timeout 300 apt-get download -q "$package" >/dev/null 2>&1) || return 1
  dpkg-deb -x "$work/$package"_*.deb "$tree" && rm -f "$work/$package"_*.deb
  cp "$tree"/boot/vmlinuz-* "$kernel.new/vmlinuz"
  # Also kept unpacked, to be booted through its PVH entry: unpacking it under emulation takes
  # longer than all the rest of the boot.
  local at
  at=$(LC_ALL=C grep -abo $'\xfd7zXZ' "$kernel.new/vmlinuz" | head -1 | cut -d: -f1)
  if [ -n "$at" ]; then
    tail -c +$((at + 1)) "$kernel.new/vmlinuz" | xz -dcq >"$kernel.new/vmlinux" 2>/dev/null || true
    [ "$(head -c 4 "$kernel.new/vmlinux" | od -An -c | tr -d ' ')" = 177ELF ] ||
      rm -f "$kernel.new/vmlinux"
  fi
  local modules release
  modules=$(echo "$tree"/lib/modules/*)
  release=$(basename "$modules")
  # The package leaves the dependency list to depmod, which its installation runs.
  "$busybox" depmod -b "$tree" "$release" || return 1
  local -A done=()
  local order=()
  resolve() { # a path relative to the modules folder
    [ -n "${done[$1]:-}" ] && return
    done[$1]=1
    local dep
    for dep in $(grep -m1 "^$1:" "$modules/modules.dep" | cut -d: -f2); do resolve "$dep"; done
    order+=("$1")
  }
  local name path
  for name in "${wanted[@]}"; do
    path=$(grep -m1 -E "(^|/)$name\.ko[^:]*:" "$modules/modules.dep" | cut -d: -f1 || true)
    if [ -n "$path" ]; then
      resolve "$path"
    elif ! grep -q -E "/$name\.ko$" "$modules/modules.builtin"; then
      echo "the kernel has no module $name" && return 1
    fi
  done
  for path in "${order[@]}"; do
    cp "$modules/$path" "$kernel.new/modules/"
    basename "$path" >>"$kernel.new/modules/order"
  done
  rm -rf "$tree" "$kernel" && mv "$kernel.new" "$kernel"
}
mkdir -p "$work"
[ -f "$kernel/modules/order" ] || fetch_kernel ||
  skip "Debian's kernel package could not be fetched (apt-get download linux-image-*-amd64)"

# The initramfs: busybox, the modules, the init script and the command to run.
root=$work/initramfs
rm -rf "$root" && mkdir -p "$root"/{bin,proc,sys,dev,host}
cp "$busybox" "$root/bin/busybox"
cp "$here/init.sh" "$root/init"
cp -r "$kernel/modules" "$root/modules"
printf '%q ' "$@" >"$root/command"
(cd "$root" && find . | "$busybox" cpio -o -H newc 2>/dev/null | gzip -1 >"$work/initramfs.gz")

image=$kernel/vmlinux
[ -f "$image" ] || image=$kernel/vmlinuz
console=$work/console.log
rm -f "$console"
status=0
timeout --kill-after=5 "$limit" qemu-system-x86_64 -accel tcg -m 768 -smp 2 -no-reboot \
  -display none -monitor none -serial "file:$console" \
  -kernel "$image" -initrd "$work/initramfs.gz" \
  -append "console=ttyS0 loglevel=3 panic=-1 rdinit=/init" \
  -virtfs local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap \
  </dev/null || status=$?
tr -d '\r' <"$console" | grep -v '^QUILLET-GUEST-EXIT' || true
echo "QEMU run: $(($(date +%s) - started)) s"
exit_line=$(tr -d '\r' <"$console" | grep -a '^QUILLET-GUEST-EXIT ' | tail -1 || true)
if [ -z "$exit_line" ]; then
  [ "$status" = 124 ] && echo "the guest did not finish within $limit s"
  echo "FAILED: the command did not report its end (QEMU exit $status)"
  exit 1
fi
exit "${exit_line#QUILLET-GUEST-EXIT }"
