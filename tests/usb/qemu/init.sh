#!/bin/busybox sh
# The initramfs's first process: loads the modules, mounts the host's root file system shared
# over 9p (read-only) with the kernel's own file systems on top, runs the command inside it and
# reports its exit code on the console before powering off.
/bin/busybox --install -s /bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
for module in $(cat /modules/order); do
  case $module in
    dummy_hcd.ko) parameters=num=3 ;; # one controller a gadget
    *) parameters= ;;
  esac
  insmod "/modules/$module" $parameters || echo "could not load $module"
done

if mount -t 9p -o trans=virtio,version=9p2000.L,ro,cache=loose,msize=512000 hostroot /host; then
  mount -t proc proc /host/proc
  mount -t sysfs sysfs /host/sys
  mount -t configfs configfs /host/sys/kernel/config
  mount -t devtmpfs devtmpfs /host/dev
  # The machine's own scratch space; the host's /tmp stays visible (a build may be there).
  mount -t tmpfs tmpfs /host/run
  eval "set -- $(cat /command)"
  chroot /host /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/run TMPDIR=/run LANG=C.UTF-8 "$@"
  echo "QUILLET-GUEST-EXIT $?"
else
  echo "the host's root file system could not be mounted"
fi
sync
poweroff -f
