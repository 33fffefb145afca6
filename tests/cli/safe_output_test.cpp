// What quillet-send writes arrives, or the run fails: standard output into a full disk is exit
// code 2 with a message. Text a printer supplies cannot act on the terminal, JSON is valid
// UTF-8 whatever the printer sent.
#include "support/TempDir.h"
#include "tests/cli/QuilletSend.h"
#include "tests/printer/PrinterFifo.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using testsupport::lines;
using testsupport::ProgramOptions;
using testsupport::ProgramResult;
using testsupport::runSend;
using testsupport::withSysRoot;

namespace {

// Below the system root, on a UTF-8 terminal, so that text the printer sent in UTF-8 shows as it
// is.
ProgramOptions onUtf8Terminal(const testsupport::TempDir& root)
{
    auto options = withSysRoot(root);
    options.environment.emplace_back("LC_ALL", "C.UTF-8");
    return options;
}

// A USB printer played by a FIFO whose IEEE-1284 ID holds an escape sequence, a line break,
// UTF-8 and a byte that is no UTF-8.
void hostilePrinter(const testsupport::TempDir& root)
{
    root.writeFile("sys/class/usbmisc/lp0/device/ieee1284_id",
        "MFG:S\xC3\xA9iko;CMD:ESC/POS;MDL:TM\x1B[2J\x07\nX\xFF;CLS:PRINTER;");
}

} // namespace

TEST(SafeOutput, AFullStandardOutputIsCodeTwoWithAMessage)
{
    testsupport::TempDir root;
    testsupport::PrinterFifo fifo(root.path() + "/dev/usb/lp0");
    for (const std::vector<std::string>& words : { std::vector<std::string> { "--version" },
             { "--help" }, { "--list" }, { "--lpt", "LPT1", "status", "--json" } }) {
        std::vector<std::string> arguments { "-c", "exec \"$0\" \"$@\" >/dev/full", QUILLET_SEND };
        arguments.insert(arguments.end(), words.begin(), words.end());
        const auto run = testsupport::runProgram("/bin/sh", arguments, onUtf8Terminal(root));
        EXPECT_EQ(run.exitCode, 2) << words[0];
        EXPECT_EQ(
            run.err, "quillet-send: write error on standard output: No space left on device\n")
            << words[0];
    }
}

TEST(SafeOutput, APrintersDeviceIdIsShownPrintableOnOneLine)
{
    testsupport::TempDir root;
    testsupport::PrinterFifo fifo(root.path() + "/dev/usb/lp0");
    hostilePrinter(root);
    const auto run = runSend({ "--list" }, onUtf8Terminal(root));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    ASSERT_EQ(lines(run.out).size(), 5u) << run.out;
    // No /sys/class/tty below this root: said under its heading, the line printers still listed.
    EXPECT_EQ(lines(run.out)[1],
        "(no serial port list: " + root.path() + "/sys/class/tty cannot be read)");
    EXPECT_EQ(lines(run.out)[3],
        root.path()
            + "/dev/usb/lp0  LPT1  S\xC3\xA9iko TM\\x1B[2J\\x07\\x0AX\\xFF (command set "
              "ESC/POS)");
    EXPECT_EQ(run.out.find('\x1B'), std::string::npos);

    const auto status
        = runSend({ "--lpt", "LPT1", "status", "--timeout", "50" }, onUtf8Terminal(root));
    EXPECT_EQ(status.exitCode, 4) << status.err;
    EXPECT_EQ(status.out.find('\x1B'), std::string::npos) << status.out;
    EXPECT_NE(status.out.find("TM\\x1B[2J"), std::string::npos) << status.out;
}

TEST(SafeOutput, JsonIsValidUtf8WhateverThePrinterSent)
{
    testsupport::TempDir root;
    testsupport::PrinterFifo fifo(root.path() + "/dev/usb/lp0");
    hostilePrinter(root);
    const auto run
        = runSend({ "--lpt", "LPT1", "status", "--json", "--timeout", "50" }, onUtf8Terminal(root));
    EXPECT_EQ(run.exitCode, 4) << run.err;
    QJsonParseError error;
    const auto json = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << run.out;
    const auto id = json["driver"].toObject()["device-id"].toObject();
    EXPECT_EQ(id["maker"].toString(), QString::fromUtf8("S\xC3\xA9iko"));
    // The byte that is no UTF-8 is U+FFFD; the controls are escaped, not dropped.
    EXPECT_EQ(id["model"].toString(), QString::fromUtf8("TM\x1B[2J\x07\nX\xEF\xBF\xBD"));
    EXPECT_TRUE(QByteArray::fromStdString(run.out).isValidUtf8());
    EXPECT_NE(run.out.find("S\xC3\xA9iko"), std::string::npos);
}
