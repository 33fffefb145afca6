#include "emulator/Options.h"

#include "emulator/NotDrawn.h"
#include "emulator/ReceiptBuilder.h"
#include "emulator/StatusReplies.h"

#include <cmath>
#include <stdexcept>

namespace emulator {

namespace {

double parseSeconds(const std::string& text)
{
    std::size_t used = 0;
    double seconds = -1;
    try {
        seconds = std::stod(text, &used);
    } catch (const std::exception&) {
    }
    if (used != text.size() || !(seconds >= 0) || seconds > 86400)
        throw std::invalid_argument("--pause takes seconds (0 to 86400), not \"" + text + "\"");
    return seconds;
}

int parsePaper(const std::string& text)
{
    if (text == "80")
        return kPaper80mm;
    if (text == "58")
        return kPaper58mm;
    throw std::invalid_argument("--paper takes 80 or 58 (millimetres), not \"" + text + "\"");
}

std::size_t parseBuffer(const std::string& text)
{
    std::size_t used = 0;
    long long bytes = -1;
    try {
        bytes = std::stoll(text, &used);
    } catch (const std::exception&) {
    }
    if (used != text.size() || bytes < 1 || bytes > 64 * 1024 * 1024)
        throw std::invalid_argument(
            "--buffer takes a size in bytes (1 to 67108864), not \"" + text + "\"");
    return static_cast<std::size_t>(bytes);
}

FlowControl parseFlow(const std::string& text)
{
    if (text == "hardware")
        return FlowControl::Hardware;
    if (text == "none")
        return FlowControl::None;
    if (text == "xonxoff")
        return FlowControl::XonXoff;
    throw std::invalid_argument("--flow takes hardware, none or xonxoff, not \"" + text + "\"");
}

int parseDrain(const std::string& text)
{
    std::size_t used = 0;
    long rate = -1;
    try {
        rate = std::stol(text, &used);
    } catch (const std::exception&) {
    }
    if (used != text.size() || rate < 1 || rate > 100'000'000)
        throw std::invalid_argument(
            "--drain takes bytes a second (1 to 100000000), not \"" + text + "\"");
    return static_cast<int>(rate);
}

} // namespace

Options parseOptions(const std::vector<std::string>& arguments)
{
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const auto& option = arguments[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= arguments.size())
                throw std::invalid_argument(option + " needs a value");
            return arguments[++i];
        };
        if (option == "--tcp") {
            try {
                options.tcp = parseTcpAddress(value());
            } catch (const std::runtime_error& error) {
                throw std::invalid_argument(error.what());
            }
        } else if (option == "--pty") {
            options.ptyName = value();
        } else if (option == "--sysroot") {
            options.sysroot = value();
        } else if (option == "--fifo") {
            options.fifoPath = value();
        } else if (option == "--out") {
            options.outFolder = value();
        } else if (option == "--status") {
            std::string error;
            const auto conditions = parseConditions(value(), error);
            if (!conditions)
                throw std::invalid_argument(error);
            options.conditions = *conditions;
        } else if (option == "--pause") {
            options.pauseMs = static_cast<int>(std::lround(parseSeconds(value()) * 1000));
        } else if (option == "--buffer") {
            options.bufferBytes = parseBuffer(value());
        } else if (option == "--paper") {
            options.paperWidth = parsePaper(value());
        } else if (option == "--flow") {
            options.flow = parseFlow(value());
        } else if (option == "--drain") {
            options.drainRate = parseDrain(value());
        } else if (option == "--two-colour") {
            options.twoColour = true;
        } else if (option == "--window") {
            options.window = true;
        } else if (option == "--help" || option == "-h") {
            options.help = true;
            return options;
        } else {
            throw std::invalid_argument("unknown option \"" + option + "\"");
        }
    }
    if (!options.tcp && options.ptyName.empty() && options.fifoPath.empty())
        throw std::invalid_argument("say where the printer listens: --tcp, --pty or --fifo");
    if (!options.sysroot.empty() && options.ptyName.empty())
        throw std::invalid_argument("--sysroot places the port of --pty, which is missing");
    if ((options.flow || options.drainRate > 0) && options.ptyName.empty())
        throw std::invalid_argument("--flow and --drain are the line of --pty, which is missing");
    return options;
}

std::string usageText()
{
    return "Usage: quillet-virtual-printer [--tcp ADDRESS[:PORT]] [--pty NAME [--sysroot DIR]]\n"
           "                              [--fifo PATH] [--out DIR] [--status LIST]\n"
           "                              [--pause SECONDS] [--paper 80|58] [--buffer BYTES]\n"
           "                              [--flow hardware|none|xonxoff] [--drain RATE]\n"
           "                              [--two-colour] [--window]\n"
           "An ESC/POS receipt printer in software. Each receipt, ended by a cut or a pause,\n"
           "becomes DIR/NNNN.png and DIR/NNNN.txt (the decoded commands).\n"
           "  --tcp      listen on a loopback address (port 9100 when none is given)\n"
           "  --pty      create a pseudo-terminal and print its path; with --sysroot, also\n"
           "             DIR/dev/NAME and DIR/sys/class/tty/NAME for QUILLET_SYSROOT=DIR\n"
           "  --fifo     read a FIFO, as a parallel printer\n"
           "  --out      where receipts go (default: receipts)\n"
           "  --status   conditions DLE EOT and GS r report: paper-end, paper-near-end,\n"
           "             cover-open, offline, drawer-open, cutter-error, ... (comma-separated)\n"
           "  --pause    seconds without data that end a receipt (default 2; 0: only cuts)\n"
           "  --paper    paper width in millimetres: 80 (576 dots, default) or 58 (384 dots)\n"
           "  --buffer   each connection's receive buffer (default 4096 bytes): what it\n"
           "             keeps while printing is held or another job prints\n"
           "  --flow     the pty's flow control: hardware (the sender waits while the buffer\n"
           "             is full), none (bytes that find it full are lost, and the numbers\n"
           "             of the lost lines \"0001 ...\" logged), xonxoff (XOFF when it nears\n"
           "             full, XON when it has drained)\n"
           "  --drain    bytes a second the pty's buffer is printed at (default: at once)\n"
           "  --two-colour  a head with a second colour: red (ESC r) is drawn red\n"
           "  --window   show the receipts as they come in, newest first\n"
           "One job prints at a time; the others wait in the order they came. Paper end, an\n"
           "open cover, an error or offline hold printing until they clear.\n"
           "While it runs, a line on standard input such as \"status paper-end\" or\n"
           "\"status ready\" (none) changes the conditions. On standard output it says \"tcp "
           "ADDRESS:PORT\",\n"
           "\"pty PATH\" and \"fifo PATH\" for its endpoints, \"ready\", then \"receipt FILE\" "
           "for\n"
           "each receipt; what it refuses or cannot read goes to standard error.\n"
           "Not drawn (said once in each receipt's log and on standard error):\n"
        + notDrawnList();
}

} // namespace emulator
