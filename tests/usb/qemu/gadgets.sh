# Receipt printers played by USB gadgets on dummy_hcd inside the test machine, made through
# configfs; sourced by the scripts that run there. Each gadget's printer end is gadget_printer,
# which keeps what arrived in $TMPDIR/received-NAME.
#   printer  0416:5011  the kernel's printer function (printer class, bound by usblp)
#   vendor   04b8:0202  FunctionFS, vendor class 0xFF, bulk OUT and IN
#   oneway   1fc9:2016  FunctionFS, vendor class 0xFF, bulk OUT only
# Needs GADGET_PRINTER (the program's path).

gadgets=/sys/kernel/config/usb_gadget
# The printer function's IEEE-1284 device ID. Some kernels' printer function (Debian 12's 6.1)
# counts its two length bytes out of the length and sends only that many bytes in all, losing
# the last two characters: the fields that matter are not last.
printer_device_id='MFG:Quillet;MDL:Gadget Printer;CMD:ESC/POS;CLS:PRINTER;'

# make_gadget NAME VID PID SERIAL PRODUCT: the device, its strings and one configuration.
make_gadget() {
  local g=$gadgets/$1
  mkdir -p "$g/strings/0x409" "$g/configs/c.1/strings/0x409"
  echo "0x$2" >"$g/idVendor"
  echo "0x$3" >"$g/idProduct"
  echo "Quillet tests" >"$g/strings/0x409/manufacturer"
  echo "$5" >"$g/strings/0x409/product"
  echo "$4" >"$g/strings/0x409/serialnumber"
  echo 100 >"$g/configs/c.1/MaxPower"
}

# wait_for TEST SECONDS: polls TEST (a command) every 0.1 s.
wait_for() {
  local tries=$(($2 * 10))
  until eval "$1"; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}

# start_printer NAME KIND ARGUMENTS...: the printer end in the background, until it is ready.
start_printer() {
  local name=$1
  shift
  : >"$TMPDIR/received-$name"
  "$GADGET_PRINTER" "$TMPDIR/received-$name" "$@" >"$TMPDIR/gadget-$name.out" 2>&1 &
  wait_for "read -r line 2>/dev/null <$TMPDIR/gadget-$name.out && [ \"\$line\" = ready ]" 20
}

# The host side's interface of the device VID:PID ("2-1:1.0"), once it is configured. Shell
# builtins only: every program started costs much under emulation.
interface_of() {
  local device vendor product
  for device in /sys/bus/usb/devices/*; do
    read -r vendor 2>/dev/null <"$device/idVendor" && read -r product <"$device/idProduct" &&
      [ "$vendor:$product" = "$1" ] && [ -d "$device/${device##*/}:1.0" ] &&
      echo "${device##*/}:1.0" && return 0
  done
  return 1
}

printer_gadget() {
  local g=$gadgets/printer
  make_gadget printer 0416 5011 PG0001 "Printer gadget"
  mkdir "$g/functions/printer.usb0"
  printf '%s' "$printer_device_id" >"$g/functions/printer.usb0/pnp_string"
  ln -s "$g/functions/printer.usb0" "$g/configs/c.1/"
  echo dummy_udc.0 >"$g/UDC"
  # The function's node opens only once the host configured the device.
  wait_for "interface_of 0416:5011 >/dev/null" 20 &&
    start_printer printer g_printer /dev/g_printer0
}

# ffs_gadget NAME VID PID CONTROLLER [one-way]
ffs_gadget() {
  local g=$gadgets/$1
  make_gadget "$1" "$2" "$3" "FF$2" "FunctionFS $1"
  mkdir "$g/functions/ffs.$1" "/dev/ffs-$1"
  ln -s "$g/functions/ffs.$1" "$g/configs/c.1/"
  mount -t functionfs "$1" "/dev/ffs-$1"
  # The descriptors go in before the gadget is bound.
  start_printer "$1" ffs "/dev/ffs-$1" ${5:+"$5"} &&
    echo "$4" >"$g/UDC" && wait_for "interface_of $2:$3 >/dev/null" 20
}

start_gadgets() {
  printer_gadget || { echo "the printer gadget did not come up" && return 1; }
  ffs_gadget vendor 04b8 0202 dummy_udc.1 || { echo "the vendor-class gadget did not come up" && return 1; }
  ffs_gadget oneway 1fc9 2016 dummy_udc.2 one-way || { echo "the one-way gadget did not come up" && return 1; }
  # usblp takes the printer-class interface by itself.
  wait_for "[ -e /sys/bus/usb/drivers/usblp/$(interface_of 0416:5011) ]" 20 ||
    echo "usblp did not take the printer gadget"
}
