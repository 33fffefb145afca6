// The only translation unit that includes the kernel's termbits header (it cannot live beside
// glibc's <termios.h>).
#include "serial/linux/TermiosMapping.h"

#include <asm/termbits.h>
#include <cerrno>
#include <cstring>
#include <sys/ioctl.h>

namespace cport {

static_assert(sizeof(TTermiosImage) == sizeof(termios2));
static_assert(sizeof(TTermiosImage::cc) == NCCS);

namespace {

std::uint32_t sizeFlag(std::uint8_t byteSize)
{
    switch (byteSize) {
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    default:
        return CS8;
    }
}

std::uint32_t parityFlags(std::uint8_t parity)
{
    switch (parity) {
    case ODDPARITY:
        return PARENB | PARODD;
    case EVENPARITY:
        return PARENB;
    case MARKPARITY:
        return PARENB | PARODD | CMSPAR;
    case SPACEPARITY:
        return PARENB | CMSPAR;
    default:
        return 0;
    }
}

int bitsPerCharacter(const TDcb& dcb)
{
    const int stopBits
        = dcb.StopBits == ONESTOPBIT ? 1 : 2; // 1.5 rounded up: estimates err on the long side
    return 1 + dcb.ByteSize + (dcb.Parity != NOPARITY ? 1 : 0) + stopBits;
}

} // namespace

int validateDcb(const TDcb& dcb)
{
    const bool rateOk = dcb.BaudRate != 0 && dcb.BaudRate <= 0x7FFFFFFFu;
    const bool framingOk = dcb.ByteSize >= 5 && dcb.ByteSize <= 8 && dcb.Parity <= SPACEPARITY
        && dcb.StopBits <= TWOSTOPBITS;
    const bool xonXoffOk = !(dcb.fOutX || dcb.fInX) || dcb.XonChar != dcb.XoffChar;
    const bool controlsOk
        = dcb.fDtrControl <= DTR_CONTROL_HANDSHAKE && dcb.fRtsControl <= RTS_CONTROL_TOGGLE;
    // Framings the line would show differently are refused, never changed: a UART makes one
    // and a half stop bits only with five data bits (CSTOPB gives two otherwise), and CTS
    // output flow (CRTSCTS) takes RTS over, so RTS cannot also be held off or on.
    const bool stopBitsOk = dcb.StopBits != ONE5STOPBITS || dcb.ByteSize == 5;
    const bool rtsOk = !dcb.fOutxCtsFlow || dcb.fRtsControl >= RTS_CONTROL_HANDSHAKE;
    return (rateOk && framingOk && xonXoffOk && controlsOk && stopBitsOk && rtsOk) ? 0 : EINVAL;
}

TLineSetup lineSetupFromDcb(const TDcb& dcb)
{
    TLineSetup setup;
    TTermiosImage& t = setup.termios;
    // Raw mode; PARMRK marks breaks and (with INPCK) bad bytes in the stream so the input
    // queue can flag, replace or drop them.
    t.iflag = PARMRK;
    if (dcb.fParity)
        t.iflag |= INPCK;
    if (dcb.fOutX)
        t.iflag |= IXON;
    if (dcb.fInX)
        t.iflag |= IXOFF;
    t.cflag = BOTHER | CREAD | CLOCAL | sizeFlag(dcb.ByteSize) | parityFlags(dcb.Parity);
    if (dcb.StopBits != ONESTOPBIT)
        t.cflag |= CSTOPB;
    if (dcb.fOutxCtsFlow)
        t.cflag |= CRTSCTS;
    t.ispeed = dcb.BaudRate;
    t.ospeed = dcb.BaudRate;
    t.cc[VMIN] = 1; // with 0 an empty read could not be told from a hang-up
    t.cc[VTIME] = 0;
    t.cc[VSTART] = static_cast<std::uint8_t>(dcb.XonChar);
    t.cc[VSTOP] = static_cast<std::uint8_t>(dcb.XoffChar);

    setup.dtrControl = dcb.fDtrControl;
    setup.rtsControl = dcb.fRtsControl;
    setup.rtsByKernel = dcb.fOutxCtsFlow;
    setup.outDsrFlow = dcb.fOutxDsrFlow;
    setup.dsrSensitivity = dcb.fDsrSensitivity;
    setup.inputXonXoff = dcb.fInX;
    setup.checkParity = dcb.fParity;
    setup.replaceErrors = dcb.fErrorChar;
    setup.replaceChar = dcb.ErrorChar;
    setup.discardNull = dcb.fNull;
    setup.eventChar = dcb.EvtChar;
    setup.xonLimit = dcb.XonLim;
    setup.xoffLimit = dcb.XoffLim;
    setup.baudRate = dcb.BaudRate;
    setup.bitsPerCharacter = bitsPerCharacter(dcb);
    return setup;
}

int writeTermios(int fd, const TTermiosImage& image)
{
    termios2 t;
    std::memcpy(&t, &image, sizeof t);
    return ::ioctl(fd, TCSETS2, &t) == 0 ? 0 : errno;
}

int readTermios(int fd, TTermiosImage& image)
{
    termios2 t;
    if (::ioctl(fd, TCGETS2, &t) != 0)
        return errno;
    std::memcpy(static_cast<void*>(&image), &t, sizeof t);
    return 0;
}

} // namespace cport
