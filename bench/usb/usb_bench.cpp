// Quillet's USB link beside a plain libusb program on the same device, in the same run:
//  - status round trip: DLE EOT 1 sent on bulk OUT until its reply byte came on bulk IN (ours:
//    the link's question, which also reads away stale bytes first); goal: ratio at most 1.3;
//  - bulk OUT throughput of a 1 MiB raw send (plain: libusb_bulk_transfer of all that is left,
//    in a loop); goal: ratio at least 0.9.
// The two take turns, a round each, on one claimed interface at a time (the interface takes one
// owner). Medians of the rounds.
//   bench_usb                     the fake printer 04b8:0202 on umockdev's testbed (the program
//                                 enters umockdev-wrapper by itself)
//   bench_usb --usb VID:PID...    devices that are there, such as the gadgets of the test machine
#include "FakeUsbPrinter.h"
#include "bench/support/Median.h"
#include "usb/LibusbPrinters.h"

#include <libusb.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using benchsupport::median;
using Clock = std::chrono::steady_clock;
constexpr int kRounds = 11;
constexpr int kQuestions = 50; // a round
constexpr std::chrono::milliseconds kLimit { 1000 };
const std::string kQuery = "\x10\x04\x01";
const std::string kMiB(1 << 20, 'Q'); // no question among it: nothing is answered

double seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// The plain program: the device by its IDs, interface 0 claimed, the endpoints from its first
// alternate setting.
class PlainLibusb {
public:
    explicit PlainLibusb(const usb::UsbSelector& selector)
    {
        libusb_init(&m_context);
        m_handle = libusb_open_device_with_vid_pid(m_context, *selector.vendor, *selector.product);
        libusb_config_descriptor* config = nullptr;
        if (!m_handle || libusb_claim_interface(m_handle, 0) != 0
            || libusb_get_active_config_descriptor(libusb_get_device(m_handle), &config) != 0)
            throw std::runtime_error("plain libusb: the device cannot be opened and claimed");
        const libusb_interface_descriptor& interface = config->interface[0].altsetting[0];
        for (int i = 0; i < interface.bNumEndpoints; ++i) {
            const libusb_endpoint_descriptor& endpoint = interface.endpoint[i];
            if ((endpoint.bmAttributes & 0x03) != LIBUSB_TRANSFER_TYPE_BULK)
                continue;
            (endpoint.bEndpointAddress & 0x80 ? m_in : m_out) = endpoint.bEndpointAddress;
            if (endpoint.bEndpointAddress & 0x80)
                m_packet = endpoint.wMaxPacketSize;
        }
        libusb_free_config_descriptor(config);
    }
    ~PlainLibusb()
    {
        if (m_handle) {
            libusb_release_interface(m_handle, 0);
            libusb_close(m_handle);
        }
        libusb_exit(m_context);
    }
    bool ask()
    {
        unsigned char reply[1024];
        int done = 0;
        return send(kQuery)
            && libusb_bulk_transfer(m_handle, m_in, reply, m_packet, &done, kLimit.count()) == 0
            && done == 1;
    }
    bool send(const std::string& bytes)
    {
        auto* data = reinterpret_cast<unsigned char*>(const_cast<char*>(bytes.data()));
        for (std::size_t sent = 0; sent < bytes.size();) {
            int done = 0;
            if (libusb_bulk_transfer(m_handle, m_out, data + sent,
                    static_cast<int>(bytes.size() - sent), &done, 7000)
                != 0)
                return false;
            sent += static_cast<std::size_t>(done);
        }
        return true;
    }

private:
    libusb_context* m_context = nullptr;
    libusb_device_handle* m_handle = nullptr;
    unsigned char m_out = 0, m_in = 0;
    int m_packet = 64;
};

struct Figures {
    std::vector<double> ours, plain;
};

// Rounds taken in turns; `ours` and `plain` run one round and return its figure (0: failed).
bool takeTurns(
    Figures& figures, const std::function<double()>& ours, const std::function<double()>& plain)
{
    for (int round = 0; round < kRounds; ++round) {
        figures.ours.push_back(ours());
        figures.plain.push_back(plain());
        if (figures.ours.back() <= 0 || figures.plain.back() <= 0)
            return false;
    }
    return true;
}

// Microseconds a question, over a round.
template <typename Ask> double roundTrip(Ask ask)
{
    const auto start = Clock::now();
    for (int i = 0; i < kQuestions; ++i)
        if (!ask())
            return 0;
    return seconds(Clock::now() - start) * 1e6 / kQuestions;
}

// MiB/s of one 1 MiB send.
template <typename Send> double throughput(Send send)
{
    const auto start = Clock::now();
    return send() ? 1 / seconds(Clock::now() - start) : 0;
}

bool measure(const std::string& place, const std::string& target)
{
    const usb::UsbSelector selector = *usb::parseUsbSelector(target);
    Figures trips, speeds;
    const bool asked = takeTurns(
        trips,
        [&] {
            const auto link = usb::openUsbLink(selector);
            return roundTrip([&] { return link->ask(kQuery, kLimit).answer.has_value(); });
        },
        [&] {
            PlainLibusb plain(selector);
            return roundTrip([&] { return plain.ask(); });
        });
    const bool sent = asked
        && takeTurns(
            speeds,
            [&] {
                const auto link = usb::openUsbLink(selector);
                return throughput([&] { return link->send(kMiB), true; });
            },
            [&] {
                PlainLibusb plain(selector);
                return throughput([&] { return plain.send(kMiB); });
            });
    if (!sent) {
        std::fprintf(stderr, "%s %s: a question got no answer or a send failed\n", place.c_str(),
            target.c_str());
        return false;
    }
    const double ours = median(trips.ours), plain = median(trips.plain);
    std::printf("%s %s: status round trip: Quillet %.1f us, plain libusb %.1f us (median of %d "
                "rounds of %d); ratio %.3f (goal <= 1.3)\n",
        place.c_str(), target.c_str(), ours, plain, kRounds, kQuestions, ours / plain);
    const double oursSpeed = median(speeds.ours), plainSpeed = median(speeds.plain);
    std::printf("%s %s: 1 MiB bulk OUT: Quillet %.1f MiB/s, plain libusb %.1f MiB/s (median of "
                "%d); ratio %.3f (goal >= 0.9)\n",
        place.c_str(), target.c_str(), oursSpeed, plainSpeed, kRounds, oursSpeed / plainSpeed);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> targets;
    for (int i = 1; i + 1 < argc; i += 2)
        if (std::string(argv[i]) == "--usb")
            targets.emplace_back(argv[i + 1]);
    if (!targets.empty()) {
        bool ok = true;
        for (const auto& target : targets)
            ok = measure("USB", target) && ok;
        return ok ? 0 : 1;
    }
    std::string why;
    const auto printers = testsupport::FakeUsbPrinters::create(
        USB_PRINTERS, { { "/dev/bus/usb/001/004", false, {} } }, why);
    if (!printers) {
        std::printf("no figure: %s\n", why.c_str());
        return 0;
    }
    return measure("umockdev", "04b8:0202") ? 0 : 1;
}
