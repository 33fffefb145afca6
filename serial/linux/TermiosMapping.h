#pragma once
// From the line-settings record to what a Linux terminal needs: a termios2 image (kept in a
// layout-identical struct of our own, because the kernel's header clashes with glibc's) and
// the settings Linux has no termios form for, which the device emulates.

#include "serial/core/DeviceRecords.h"

#include <cstdint>

namespace cport {

// Same layout as the kernel's struct termios2.
struct TTermiosImage {
    std::uint32_t iflag = 0;
    std::uint32_t oflag = 0;
    std::uint32_t cflag = 0;
    std::uint32_t lflag = 0;
    std::uint8_t line = 0;
    std::uint8_t cc[19] = {};
    std::uint32_t ispeed = 0;
    std::uint32_t ospeed = 0;
};

// Everything the device applies for one line-settings record.
struct TLineSetup {
    TTermiosImage termios;
    std::uint8_t dtrControl = DTR_CONTROL_DISABLE; // as the record; the handshake is emulated
    std::uint8_t rtsControl = RTS_CONTROL_DISABLE; // as the record
    bool rtsByKernel = false; // CRTSCTS is on: the kernel drives RTS itself
    bool outDsrFlow = false; // emulated: sending waits while DSR is off
    bool dsrSensitivity = false; // emulated: input is dropped while DSR is off
    bool inputXonXoff = false; // XOFF/XON also sent as the component's input queue fills
    bool checkParity = false;
    bool replaceErrors = false;
    char replaceChar = 0;
    bool discardNull = false;
    char eventChar = 0;
    std::uint16_t xonLimit = 0;
    std::uint16_t xoffLimit = 0;
    std::uint32_t baudRate = 0;
    int bitsPerCharacter = 10; // start, data, parity and stop bits: for drain estimates
};

// 0 when the record can be applied, EINVAL when the device would refuse it (rate 0 or above
// 2^31-1, byte size outside 5..8, unknown parity or stop bits, equal XON and XOFF characters
// with XON/XOFF in use) or could only make something else of it on the line (one and a half
// stop bits with 6 to 8 data bits; RTS held off or on while CTS output flow is on).
int validateDcb(const TDcb& dcb);

// The raw-mode termios image and the emulated settings for a record (pure). fTXContinueOnXoff
// has no Linux form: the kernel always goes on sending after it has sent XOFF itself.
TLineSetup lineSetupFromDcb(const TDcb& dcb);

// TCSETS2 / TCGETS2 on a terminal; 0 or errno.
int writeTermios(int fd, const TTermiosImage& image);
int readTermios(int fd, TTermiosImage& image);

} // namespace cport
