#pragma once
// An output file in the runtime's manner: a 128-byte buffer, and an error code that each step
// records and a later check raises, so a failing write surfaces at the next check. A device that
// takes no byte for printer::noProgressLimit fails with code 121 (the device time-out).

#include "platform/FileDescriptor.h"

#include <cstddef>
#include <string>

namespace printer {

class DeviceFile {
public:
    DeviceFile() = default;
    DeviceFile(const DeviceFile&) = delete;
    DeviceFile& operator=(const DeviceFile&) = delete;

    // Opens path for writing without creating it; only a character device or a FIFO is opened
    // (anything else raises ENotPrinterDevice, see PrinterDevice.h). The empty path takes
    // standard output, code 105 when the process has none.
    void open(const std::string& path);
    // Buffers bytes, passing each full 128-byte piece to the device.
    void write(const std::string& bytes);
    // Passes the remainder on now when the device is a character device.
    void flush();
    // Passes on what is left and closes (standard output stays open).
    void close();
    // The runtime's code of the first failure since the last call, 0 when none; clears it.
    int takeError();

    static constexpr std::size_t bufferSize = 128;

private:
    void pass(const char* data, std::size_t size);
    void passBuffer();
    void fail(int code);

    // The descriptor written to: the opened device (owned, so a raised check that leaves it open
    // still closes it) or standard output (not owned).
    int m_fd = -1;
    platform::FileDescriptor m_owned;
    bool m_characterDevice = false;
    char m_buffer[bufferSize] = {};
    std::size_t m_used = 0;
    int m_error = 0;
};

} // namespace printer
