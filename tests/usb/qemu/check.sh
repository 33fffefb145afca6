#!/usr/bin/env bash
# Inside the test machine: quillet-send against USB gadgets on a real kernel (see gadgets.sh).
# The listing, a printer the kernel's driver holds, status questions answered only after they
# arrived, and raw bytes that reach the gadget whole and in order. Each check prints
# "check ok: ..." or "check FAILED: ..."; the exit code is the number of failures.
#   check.sh QUILLET_SEND GADGET_PRINTER
send=$1
GADGET_PRINTER=$2
. "$(dirname "$0")/gadgets.sh"
failures=0

check() { # check WHAT COMMAND...: the command's success is the check's
  local what=$1
  shift
  if "$@"; then
    echo "check ok: $what (${SECONDS} s)"
  else
    echo "check FAILED: $what"
    failures=$((failures + 1))
  fi
}

# run ARGUMENTS...: quillet-send, bounded; sets out, err and code.
run() {
  out=$(timeout 30 "$send" "$@" 2>"$TMPDIR/err")
  code=$?
  err=$(<"$TMPDIR/err")
}

# block_matches VID:PID PATTERN...: the device's block of the listing holds every pattern (an
# extended regular expression). Shell builtins only, here and below where it can be: every
# program started costs much under emulation.
block_matches() {
  local block= line on= pattern
  while IFS= read -r line; do
    [[ $line =~ ^[0-9] ]] && { [[ $line == *"  $1  "* ]] && on=1 || on=; }
    [ -n "$on" ] && block+=$line$'\n'
  done <<<"$list"
  shift
  for pattern in "$@"; do
    [[ $block =~ $pattern ]] || { printf 'no "%s" in:\n%s\n' "$pattern" "$block" && return 1; }
  done
}

# Numbered records holding every byte value, but no question, for the raw sends.
byte_values=$(for i in {0..255}; do printf '\\x%02x' "$i"; done)
for k in {0..399}; do printf "%06d$byte_values" "$k"; done >"$TMPDIR/raw"
raw_size=$(stat -c %s "$TMPDIR/raw")

# sends_in_order NAME VID:PID: the raw file reaches the gadget whole and in order.
sends_in_order() {
  local before
  before=$(stat -c %s "$TMPDIR/received-$1")
  run --usb "$2" raw "$TMPDIR/raw"
  [ "$code" = 0 ] || { echo "exit $code: $err" && return 1; }
  wait_for "[ \$(stat -c %s $TMPDIR/received-$1) -ge $((before + raw_size)) ]" 10
  tail -c +$((before + 1)) "$TMPDIR/received-$1" | cmp - "$TMPDIR/raw"
}

# answered VID:PID NAME: status answers DLE EOT 1 with 18 (0x12), after the question arrived.
answered() {
  run --usb "$1" --json status
  [ "$code" = 0 ] && [[ $out == *'"query":"DLE EOT 1","outcome":"answered","reply":18'* ]] &&
    grep -q -P '\x10\x04\x01' "$TMPDIR/received-$2" || { echo "exit $code: $out $err" && return 1; }
}

start_gadgets || exit 1
echo "gadgets up (${SECONDS} s)"

list=$(timeout 30 "$send" --list)
echo "listed (${SECONDS} s)"
# The kernel's own printer driver read the device ID too: the reference for the fields shown.
usblp_id=$(cat /sys/class/usbmisc/lp*/device/ieee1284_id)
echo "usblp read the device ID: $usblp_id"
check "usblp read the maker, model and command set" \
  test "${usblp_id%%CLS:*}" = "${printer_device_id%%CLS:*}"
check "printer class gadget listed with its device ID and driver" block_matches 0416:5011 \
  'Quillet tests  Printer gadget  serial PG0001' 'interface 0: class 07 subclass 01 protocol 02' \
  'OUT 0x0[0-9a-f] \(512 bytes\), IN 0x8[0-9a-f] \(512 bytes\): two-way' \
  'device ID: maker "Quillet", model "Gadget Printer", command set "ESC/POS"'$'\n' \
  'kernel driver: usblp'
check "vendor class gadget listed" block_matches 04b8:0202 'serial FF04b8' \
  'interface 0: class ff subclass 00 protocol 00' \
  'OUT 0x0[0-9a-f] \(512 bytes\), IN 0x8[0-9a-f] \(512 bytes\): two-way' 'kernel driver: none'
check "one-way gadget listed with its verdict" block_matches 1fc9:2016 \
  'OUT 0x0[0-9a-f] \(512 bytes\), no IN: one-way printer: no status possible' 'kernel driver: none'

run --usb 0416:5011 status
held_by_usblp() { [ "$code" = 2 ] && [[ $err == *"held by the kernel's driver usblp"* ]]; }
check "printer held by usblp: busy (exit 2)" held_by_usblp
echo "$(interface_of 0416:5011)" >/sys/bus/usb/drivers/usblp/unbind

for gadget in 0416:5011,printer 04b8:0202,vendor; do
  check "${gadget#*,}: status answered after the question" answered "${gadget%,*}" "${gadget#*,}"
  check "${gadget#*,}: raw bytes arrive whole and in order" sends_in_order "${gadget#*,}" "${gadget%,*}"
done

run --usb 1fc9:2016 --timeout 300 status
check "one-way: status has no answer (exit 4)" test "$code" = 4
check "one-way: raw bytes arrive whole and in order" sends_in_order oneway 1fc9:2016
exit "$failures"
