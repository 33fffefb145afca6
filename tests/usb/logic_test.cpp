// The USB printers' logic without a device: endpoints from descriptors as real receipt printers
// have them, the direction verdict, the device ID reply in both length forms and cut short,
// the failures' words, the selector, the link over a transport played in memory, and the
// programs found holding a file by a real second process.
#include "usb/DeviceIdReply.h"
#include "usb/Endpoints.h"
#include "usb/NodeHolders.h"
#include "usb/UsbFailure.h"
#include "usb/UsbLink.h"
#include "usb/UsbSelector.h"

#include "platform/Exception.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using usb::Endpoint;
using usb::Interface;

constexpr std::uint8_t kBulk = 0x02;
constexpr std::uint8_t kInterrupt = 0x03;

Interface interfaceWith(std::uint8_t interfaceClass, std::vector<Endpoint> endpoints)
{
    return { 0, 0, interfaceClass, 1, 2, std::move(endpoints) };
}

TEST(UsbEndpoints, ChosenFromTheDescriptorsWhereverTheyAre)
{
    struct Case {
        std::vector<Endpoint> endpoints;
        std::uint8_t out;
        int in; // -1: none
    };
    const Case cases[] = {
        { { { 0x81, kBulk, 64 }, { 0x03, kBulk, 64 } }, 0x03, 0x81 }, // 0416:5011
        { { { 0x03, kBulk, 512 }, { 0x84, kBulk, 512 } }, 0x03, 0x84 }, // 6868:0500
        { { { 0x01, kBulk, 64 }, { 0x82, kBulk, 64 } }, 0x01, 0x82 }, // 04b8:0202
        // An interrupt IN endpoint carries no replies; the first bulk one of each way counts.
        { { { 0x83, kInterrupt, 8 }, { 0x02, kBulk, 64 }, { 0x01, kBulk, 64 } }, 0x02, -1 },
    };
    for (const Case& c : cases) {
        const auto choice = usb::chooseEndpoints(interfaceWith(0x07, c.endpoints));
        ASSERT_TRUE(choice);
        EXPECT_EQ(choice->out.address, c.out);
        EXPECT_EQ(choice->in ? choice->in->address : -1, c.in);
        EXPECT_EQ(usb::directionVerdict(*choice),
            c.in < 0 ? "one-way printer: no status possible" : "two-way");
    }
    EXPECT_EQ(usb::endpointText(*usb::chooseEndpoints(interfaceWith(0x07, cases[1].endpoints))),
        "OUT 0x03 (512 bytes), IN 0x84 (512 bytes)");
}

TEST(UsbEndpoints, PrinterInterfacesAreClassSevenOrVendorClassWithBulkOut)
{
    const std::vector<Endpoint> bulkOut { { 0x01, kBulk, 64 } };
    const std::vector<Endpoint> inOnly { { 0x81, kBulk, 64 } };
    EXPECT_TRUE(usb::isPrinterInterface(interfaceWith(0x07, inOnly)));
    EXPECT_TRUE(usb::isPrinterInterface(interfaceWith(0xFF, bulkOut)));
    EXPECT_FALSE(usb::isPrinterInterface(interfaceWith(0xFF, inOnly)));
    EXPECT_FALSE(usb::isPrinterInterface(interfaceWith(0x08, bulkOut))); // mass storage
    EXPECT_FALSE(usb::chooseEndpoints(interfaceWith(0x07, inOnly)));
}

std::string reply(std::size_t length, const std::string& text)
{
    return std::string { static_cast<char>(length >> 8), static_cast<char>(length & 0xFF) } + text;
}

TEST(UsbDeviceId, BothLengthFormsAndOnlyTheBytesReceived)
{
    const std::string id = "MFG:EPSON;CMD:ESC/POS;MDL:TM-T20;";
    // The standard form counts the two length bytes; the printer gadget does not.
    EXPECT_EQ(usb::deviceIdText(reply(id.size() + 2, id)), id);
    EXPECT_EQ(usb::deviceIdText(reply(id.size(), id)), id);
    // Either form followed by NUL padding up to the buffer's size.
    EXPECT_EQ(usb::deviceIdText(reply(id.size() + 2, id + std::string(40, '\0'))), id);
    EXPECT_EQ(usb::deviceIdText(reply(id.size(), id + std::string(40, '\0'))), id);
    // A length far beyond what came: only the received bytes are read.
    EXPECT_EQ(usb::deviceIdText(reply(0xFFFF, id.substr(0, 10))), id.substr(0, 10));
    // Too short for any text.
    EXPECT_FALSE(usb::deviceIdText(""));
    EXPECT_FALSE(usb::deviceIdText(std::string("\x00", 1)));
    EXPECT_FALSE(usb::deviceIdText(reply(2, "")));
    EXPECT_FALSE(usb::deviceIdText(reply(0, std::string(5, '\0'))));

    const auto parsed = usb::parseDeviceIdReply(reply(id.size(), id));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->maker, "EPSON");
    EXPECT_EQ(parsed->model, "TM-T20");
    EXPECT_EQ(parsed->commandSet, "ESC/POS");
}

TEST(UsbFailure, WordsSayWhatToDoAndNeverNameAGroup)
{
    const usb::UsbFailureContext context { "04b8:0202 on bus 1, address 4", "/dev/bus/usb/001/004",
        "usblp", {} };
    const std::string permission = usb::usbFailureMessage(usb::UsbFault::Permission, context);
    EXPECT_NE(permission.find("/dev/bus/usb/001/004"), std::string::npos);
    EXPECT_NE(permission.find("udev rule"), std::string::npos);
    for (const char* group : { "lp\"", "dialout", "plugdev", "usermod", "root" })
        EXPECT_EQ(permission.find(group), std::string::npos) << group;
    EXPECT_NE(usb::usbFailureMessage(usb::UsbFault::HeldByDriver, context)
                  .find("held by the kernel's driver usblp"),
        std::string::npos);
    EXPECT_NE(usb::usbFailureMessage(usb::UsbFault::HeldByProgram, context).find("busy"),
        std::string::npos);

    const std::pair<usb::UsbFault, int> codes[]
        = { { usb::UsbFault::HeldByDriver, EBUSY }, { usb::UsbFault::HeldByProgram, EBUSY },
              { usb::UsbFault::Permission, EACCES }, { usb::UsbFault::NoDevice, ENODEV } };
    for (const auto& [fault, code] : codes) {
        try {
            usb::raiseUsbFailure(fault, context);
            ADD_FAILURE();
        } catch (const platform::EInOutError& error) {
            EXPECT_EQ(error.errorCode(), code);
        }
    }
    EXPECT_THROW(
        usb::raiseUsbFailure(usb::UsbFault::Other, context, "Pipe error"), platform::Exception);
}

TEST(UsbSelector, VendorProductSerialOrBusAddress)
{
    const usb::UsbDeviceAddress tm { 1, 4, 0x04b8, 0x0202, "X5ZK012345" };
    const std::pair<const char*, bool> matching[]
        = { { "04b8:0202", true }, { "04B8:0202:X5ZK012345", true }, { "04b8:0202:OTHER", false },
              { "1-4", true }, { "001-004", true }, { "1-5", false }, { "0416:5011", false } };
    for (const auto& [text, matches] : matching) {
        const auto selector = usb::parseUsbSelector(text);
        ASSERT_TRUE(selector) << text;
        EXPECT_EQ(selector->matches(tm), matches) << text;
    }
    for (const char* bad : { "", "04b8", "04b8:", "4b8x:0202", "104b8:0202", "04b8:0202:", "0-4",
             "1-0", "1-", "256-1", "lp0" })
        EXPECT_FALSE(usb::parseUsbSelector(bad)) << bad;
    EXPECT_EQ(usb::parseUsbSelector("04B8:202")->text(), "04b8:0202");
}

// A transport played in memory: takes up to `accept` bytes, answers with queued transfers.
class MemoryTransport : public usb::UsbTransport {
public:
    MemoryTransport(usb::EndpointChoice endpoints, std::size_t accept)
        : m_endpoints(endpoints)
        , m_accept(accept)
    {
    }
    const usb::EndpointChoice& endpoints() const override { return m_endpoints; }
    std::size_t bulkOut(std::string_view bytes, std::chrono::milliseconds) override
    {
        const std::size_t taken = std::min(bytes.size(), m_accept - std::min(m_accept, out.size()));
        out.append(bytes.substr(0, taken));
        if (out.size() >= 3 && out.compare(out.size() - 3, 3, "\x10\x04\x01") == 0)
            replies.push_back("\x16");
        return taken;
    }
    std::string bulkIn(std::size_t maxBytes, std::chrono::milliseconds) override
    {
        sizes.push_back(maxBytes);
        if (replies.empty())
            return {};
        std::string next = replies.front();
        replies.erase(replies.begin());
        return next;
    }
    std::string out;
    std::vector<std::string> replies;
    std::vector<std::size_t> sizes;

private:
    usb::EndpointChoice m_endpoints;
    std::size_t m_accept;
};

TEST(UsbLink, StaleBytesAreReadAwayAndOnlyTheAnswerCounts)
{
    auto transport = std::make_unique<MemoryTransport>(
        usb::EndpointChoice { { 0x01, kBulk, 512 }, Endpoint { 0x82, kBulk, 512 } }, 1 << 20);
    auto* memory = transport.get();
    memory->replies = { "\x12" }; // a reply to an earlier question, waiting
    usb::UsbLink link(std::move(transport));
    const auto reply = link.ask("\x10\x04\x01", std::chrono::milliseconds(200));
    ASSERT_TRUE(reply.answer);
    EXPECT_EQ(*reply.answer, "\x16");
    EXPECT_EQ(memory->out, "\x10\x04\x01");
    // Whole packets of the IN endpoint are asked for, so the device's last one never overflows.
    for (const std::size_t size : memory->sizes)
        EXPECT_EQ(size % 512, 0u);
}

TEST(UsbLink, OneWayPrinterAndAPrinterThatStopsTaking)
{
    auto transport
        = std::make_unique<MemoryTransport>(usb::EndpointChoice { { 0x01, kBulk, 64 }, {} }, 5);
    usb::UsbLink link(std::move(transport));
    EXPECT_FALSE(link.canAnswer());
    EXPECT_FALSE(link.ask("\x10\x04\x01", std::chrono::milliseconds(50)).answer);
    try {
        link.send("0123456789");
        ADD_FAILURE();
    } catch (const printer::SendFailure& failure) {
        EXPECT_EQ(failure.delivered(), 2u); // 3 went to the question
    }
}

TEST(NodeHolders, AnotherProcessHoldingTheFileIsNamedButNotThisOne)
{
    char folder[] = "/tmp/quillet-holders-XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    const std::string held = std::string(folder) + "/node";
    const std::string free = std::string(folder) + "/other";
    std::ofstream(held) << "x";
    std::ofstream(free) << "y";
    const std::string script = "exec sleep 30 < " + held;
    const char* arguments[] = { "sh", "-c", script.c_str(), nullptr };
    pid_t child = 0;
    ASSERT_EQ(::posix_spawn(&child, "/bin/sh", nullptr, nullptr,
                  const_cast<char* const*>(arguments), environ),
        0);
    std::ifstream mine(free); // this process's own descriptors never count
    std::vector<usb::NodeHolder> holders;
    for (int tries = 0; tries < 200 && (holders.empty() || holders[0].name != "sleep"); ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        holders = usb::processesHolding(held);
    }
    ASSERT_EQ(holders.size(), 1u);
    EXPECT_EQ(holders[0].pid, child);
    EXPECT_EQ(usb::holdersText(holders), "sleep (pid " + std::to_string(child) + ")");
    EXPECT_TRUE(usb::processesHolding(free).empty());
    EXPECT_TRUE(usb::processesHolding(std::string(folder) + "/missing").empty());
    ::kill(child, SIGTERM);
    ::waitpid(child, nullptr, 0);
    EXPECT_TRUE(usb::processesHolding(held).empty());
    std::system(("rm -rf " + std::string(folder)).c_str());
}

} // namespace
