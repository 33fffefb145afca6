#!/usr/bin/env bash
# Inside the real-kernel test machine: bench_usb over the printer function (usblp sent away
# first) and the vendor-class FunctionFS gadget. Run from the source tree through the test's
# harness, for instance:
#   bash tests/usb/qemu/run.sh build/usb-qemu bash bench/usb/qemu_bench.sh \
#     build/dev/bench/usb/bench_usb build/dev/tests/usb/usb_gadget_printer
# (absolute paths: the command runs inside the machine's view of this root).
bench=$1
GADGET_PRINTER=$2
. "$(dirname "$0")/../../tests/usb/qemu/gadgets.sh"
start_gadgets || exit 1
echo "$(interface_of 0416:5011)" >/sys/bus/usb/drivers/usblp/unbind
timeout 300 "$bench" --usb 0416:5011 --usb 04b8:0202
