#pragma once
// What one run of quillet-send was asked to do, as the command line said it.

#include "printer/PrinterConnection.h"
#include "printer/PrinterQueries.h"
#include "serial/core/ComTypes.h"
#include "usb/UsbSelector.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace cli {

enum class Action {
    PrintTest,
    PrintText,
    CapabilityPage,
    Cut,
    Drawer,
    Status,
    Recover,
    Raw,
    List,
    Help,
    Version
};

enum class FlowControl { None, RtsCts, XonXoff, DtrDsr };

// "ttyUSB0:19200,8N1,rtscts" taken apart; what is not given is as the window sets its port
// (19200 baud, 8N1, RTS/CTS handshake).
struct SerialSettings {
    std::string port;
    std::int32_t baudRate = 19200;
    cport::TDataBits dataBits = cport::dbEight;
    cport::TParityBits parity = cport::prNone;
    cport::TStopBits stopBits = cport::sbOneStopBit;
    FlowControl flow = FlowControl::RtsCts;
    friend bool operator==(const SerialSettings&, const SerialSettings&) = default;
};

// The printer's connection: exactly one of --com, --lpt, --net and --usb.
struct Target {
    printer::Connection kind = printer::Connection::Ethernet;
    SerialSettings serial; // Com
    std::string lptDevice; // Lpt: "LPT1" … "LPT4" or a path
    std::string address; // Ethernet: dotted IPv4
    // --usb, through libusb; the kind is Lpt then, the window's choice for a USB printer.
    std::optional<usb::UsbSelector> usb = std::nullopt;
};

struct Invocation {
    Action action = Action::Help;
    std::optional<Target> target;
    // print-test, print-text: the text, or "-" for standard input; raw: the file, or "-".
    std::optional<std::string> operand;
    bool hex = false;
    // --detach: a kernel driver holding the --usb printer is detached while sending.
    bool detachDriver = false;
    bool json = false;
    std::chrono::milliseconds timeout = printer::kDefaultAnswerLimit;
    bool timeoutGiven = false;
    // --wait: how long a busy device is tried again; 0 for one try.
    std::chrono::milliseconds wait { 0 };
    // status --targets FILE: the fleet check, with --jobs and --prometheus.
    std::optional<std::string> targetsFile;
    std::optional<std::size_t> jobs;
    std::optional<std::string> prometheusFile;
    // status --watch: how long automatic status back is watched.
    std::optional<std::chrono::seconds> watch;
    // recover --clear: DLE ENQ 2 (buffers cleared) instead of DLE ENQ 1.
    bool clearBuffers = false;
    // iconv's name of the code page for print-test; empty for Windows-1252, as the window sends.
    std::string encoding;
    // print-text: one code table (number or name), or the tables of a printer profile file.
    std::optional<std::string> codeTable;
    std::optional<std::string> profileFile;
    // capability-page: the tables to show ("0,16,PC852" or "all"); the common ones when absent.
    std::optional<std::string> codeTables;
};

} // namespace cli
