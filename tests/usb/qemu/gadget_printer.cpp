// The printer end of a USB gadget inside the test machine: reads what the USB host sent on the
// gadget's bulk OUT endpoint, appends it to a file in the order it came, and answers each
// DLE EOT n question on bulk IN only once the question has arrived (online, nothing wrong: the
// fixed bits 0x12). Two kinds of gadget:
//   gadget_printer RECEIVED g_printer DEVICE       the kernel's printer function (/dev/g_printer0)
//   gadget_printer RECEIVED ffs DIR [one-way]       a vendor-class FunctionFS function mounted at
//                                                   DIR; one-way: bulk OUT only, nothing answered
// For FunctionFS the descriptors are written first and "ready" printed, after which the gadget
// may be bound to its controller. Runs until killed.
#include <linux/usb/ch9.h>
#include <linux/usb/functionfs.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

// Finds DLE EOT n questions in the stream, also when one is split between two reads.
class Questions {
public:
    // How many questions end in `bytes`.
    int count(const char* bytes, std::size_t size)
    {
        int found = 0;
        for (std::size_t i = 0; i < size; ++i) {
            const char byte = bytes[i];
            if (m_seen == 2) {
                ++found;
                m_seen = 0;
            } else if (byte == '\x10')
                m_seen = 1;
            else
                m_seen = (m_seen == 1 && byte == '\x04') ? 2 : 0;
        }
        return found;
    }

private:
    int m_seen = 0; // 1: DLE seen, 2: DLE EOT seen, n to come
};

// Keeps every byte from `in`, answering on `out` (-1: nothing can be answered). Reads fail while
// the host resets or reconfigures the function; they are tried again.
[[noreturn]] void serve(int in, int out, const char* receivedPath)
{
    const int received = ::open(receivedPath, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    Questions questions;
    static char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got <= 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            continue;
        }
        if (::write(received, buffer, static_cast<std::size_t>(got)) != got)
            std::perror("gadget_printer: keeping the bytes");
        const int answers = questions.count(buffer, static_cast<std::size_t>(got));
        for (int i = 0; i < answers && out >= 0; ++i)
            if (::write(out, "\x12", 1) != 1)
                std::perror("gadget_printer: answering");
    }
}

// The kernel's printer function opens only once the host has configured the device.
[[noreturn]] void servePrinterFunction(const char* device, const char* receivedPath)
{
    int fd = -1;
    for (int tries = 0; fd < 0 && tries < 1000; ++tries) {
        fd = ::open(device, O_RDWR | O_CLOEXEC);
        if (fd < 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (fd < 0) {
        std::perror(device);
        std::exit(1);
    }
    std::puts("ready");
    std::fflush(stdout);
    serve(fd, fd, receivedPath);
}

// FunctionFS descriptors: one vendor-class interface, bulk OUT then (two-way) bulk IN, for full
// and high speed.
struct __attribute__((packed)) Speed {
    usb_interface_descriptor interface;
    usb_endpoint_descriptor_no_audio endpoints[2];
};

struct __attribute__((packed)) Descriptors {
    usb_functionfs_descs_head_v2 header;
    __le32 fullSpeedCount;
    __le32 highSpeedCount;
    Speed fullSpeed;
    Speed highSpeed;
};

Speed speedDescriptors(bool twoWay, std::uint16_t packet)
{
    Speed speed {};
    speed.interface = { USB_DT_INTERFACE_SIZE, USB_DT_INTERFACE, 0, 0,
        static_cast<std::uint8_t>(twoWay ? 2 : 1), 0xFF, 0, 0, 1 };
    speed.endpoints[0] = { USB_DT_ENDPOINT_SIZE, USB_DT_ENDPOINT, 1 | USB_DIR_OUT,
        USB_ENDPOINT_XFER_BULK, packet, 0 };
    speed.endpoints[1] = { USB_DT_ENDPOINT_SIZE, USB_DT_ENDPOINT, 2 | USB_DIR_IN,
        USB_ENDPOINT_XFER_BULK, packet, 0 };
    return speed;
}

// Writes the descriptors and strings to ep0; the length covers only the endpoints used.
bool describe(int ep0, bool twoWay)
{
    Descriptors descriptors {};
    const std::size_t unused = twoWay ? 0 : sizeof(usb_endpoint_descriptor_no_audio);
    const std::uint32_t count = twoWay ? 3 : 2;
    descriptors.header
        = { FUNCTIONFS_DESCRIPTORS_MAGIC_V2, 0, FUNCTIONFS_HAS_FS_DESC | FUNCTIONFS_HAS_HS_DESC };
    descriptors.fullSpeedCount = count;
    descriptors.highSpeedCount = count;
    descriptors.fullSpeed = speedDescriptors(twoWay, 64);
    descriptors.highSpeed = speedDescriptors(twoWay, 512);
    // Without an IN endpoint the high-speed block moves up to follow the shorter full-speed one.
    char bytes[sizeof descriptors];
    const std::size_t head = offsetof(Descriptors, fullSpeed);
    const std::size_t speedSize = sizeof(Speed) - unused;
    std::memcpy(bytes, &descriptors, head + speedSize);
    std::memcpy(bytes + head + speedSize, &descriptors.highSpeed, speedSize);
    const std::size_t length = head + 2 * speedSize;
    reinterpret_cast<usb_functionfs_descs_head_v2*>(bytes)->length = static_cast<__le32>(length);

    struct __attribute__((packed)) {
        usb_functionfs_strings_head head;
        __le16 language;
        char text[sizeof "Receipt printer"];
    } strings { { FUNCTIONFS_STRINGS_MAGIC, sizeof strings, 1, 1 }, 0x0409, "Receipt printer" };
    return ::write(ep0, bytes, length) == static_cast<ssize_t>(length)
        && ::write(ep0, &strings, sizeof strings) == static_cast<ssize_t>(sizeof strings);
}

[[noreturn]] void serveFunctionFs(const std::string& dir, const char* receivedPath, bool twoWay)
{
    const int ep0 = ::open((dir + "/ep0").c_str(), O_RDWR | O_CLOEXEC);
    if (ep0 < 0 || !describe(ep0, twoWay)) {
        std::perror((dir + "/ep0").c_str());
        std::exit(1);
    }
    const int out = ::open((dir + "/ep1").c_str(), O_RDONLY | O_CLOEXEC);
    const int in = twoWay ? ::open((dir + "/ep2").c_str(), O_WRONLY | O_CLOEXEC) : -1;
    if (out < 0 || (twoWay && in < 0)) {
        std::perror(dir.c_str());
        std::exit(1);
    }
    std::puts("ready");
    std::fflush(stdout);
    serve(out, in, receivedPath); // ep0's events need no answer: nothing asks the interface
}

} // namespace

int main(int argc, char** argv)
{
    const std::string kind = argc >= 4 ? argv[2] : "";
    if (kind == "g_printer")
        servePrinterFunction(argv[3], argv[1]);
    if (kind == "ffs")
        serveFunctionFs(argv[3], argv[1], !(argc >= 5 && std::string(argv[4]) == "one-way"));
    std::fprintf(
        stderr, "usage: %s RECEIVED g_printer DEVICE | RECEIVED ffs DIR [one-way]\n", argv[0]);
    return 2;
}
