#pragma once
// The records through which the port talks to its device: the line settings (DCB) and the
// time limits (COMMTIMEOUTS), with the flag values of the device interface.

#include <cstdint>

namespace cport {

class TCustomComPort;
class TComTimeouts;

// Line settings, rebuilt from the port's settings each time they are applied.
struct TDcb {
    std::uint32_t DCBlength = 28;
    std::uint32_t BaudRate = 0;
    bool fBinary = false;
    bool fParity = false;
    bool fOutxCtsFlow = false;
    bool fOutxDsrFlow = false;
    std::uint8_t fDtrControl = 0; // DTR_CONTROL_
    bool fDsrSensitivity = false;
    bool fTXContinueOnXoff = false;
    bool fOutX = false;
    bool fInX = false;
    bool fErrorChar = false;
    bool fNull = false;
    std::uint8_t fRtsControl = 0; // RTS_CONTROL_
    bool fAbortOnError = false;
    std::uint16_t XonLim = 0;
    std::uint16_t XoffLim = 0;
    std::uint8_t ByteSize = 0;
    std::uint8_t Parity = 0; // NOPARITY ... SPACEPARITY
    std::uint8_t StopBits = 0; // ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS
    char XonChar = 0;
    char XoffChar = 0;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;

    friend bool operator==(const TDcb&, const TDcb&) = default;
};

// Time limits in milliseconds; 0xFFFFFFFF is the maximum marker.
struct TCommTimeouts {
    std::uint32_t ReadIntervalTimeout = 0;
    std::uint32_t ReadTotalTimeoutMultiplier = 0;
    std::uint32_t ReadTotalTimeoutConstant = 0;
    std::uint32_t WriteTotalTimeoutMultiplier = 0;
    std::uint32_t WriteTotalTimeoutConstant = 0;

    friend bool operator==(const TCommTimeouts&, const TCommTimeouts&) = default;
};

constexpr std::uint32_t maxDword = 0xFFFFFFFFu;

// DTR line control of the line-settings record (fDtrControl).
constexpr std::uint8_t DTR_CONTROL_DISABLE = 0; // held off
constexpr std::uint8_t DTR_CONTROL_ENABLE = 1; // held on
constexpr std::uint8_t DTR_CONTROL_HANDSHAKE = 2; // on while the input queue has room

// RTS line control of the line-settings record (fRtsControl).
constexpr std::uint8_t RTS_CONTROL_DISABLE = 0; // held off
constexpr std::uint8_t RTS_CONTROL_ENABLE = 1; // held on
constexpr std::uint8_t RTS_CONTROL_HANDSHAKE = 2; // on while the input queue has room
constexpr std::uint8_t RTS_CONTROL_TOGGLE = 3; // on while bytes are being sent

// Parity of the line-settings record (Parity).
constexpr std::uint8_t NOPARITY = 0;
constexpr std::uint8_t ODDPARITY = 1;
constexpr std::uint8_t EVENPARITY = 2;
constexpr std::uint8_t MARKPARITY = 3;
constexpr std::uint8_t SPACEPARITY = 4;

// Stop bits of the line-settings record (StopBits).
constexpr std::uint8_t ONESTOPBIT = 0;
constexpr std::uint8_t ONE5STOPBITS = 1;
constexpr std::uint8_t TWOSTOPBITS = 2;

// Purge flags.
constexpr std::uint32_t PURGE_TXABORT = 1;
constexpr std::uint32_t PURGE_RXABORT = 2;
constexpr std::uint32_t PURGE_TXCLEAR = 4;
constexpr std::uint32_t PURGE_RXCLEAR = 8;

// Line error flags reported by the error query.
constexpr std::uint32_t CE_RXOVER = 1;
constexpr std::uint32_t CE_OVERRUN = 2;
constexpr std::uint32_t CE_RXPARITY = 4;
constexpr std::uint32_t CE_FRAME = 8;
constexpr std::uint32_t CE_BREAK = 16;
constexpr std::uint32_t CE_TXFULL = 256;
constexpr std::uint32_t CE_IOE = 1024;
constexpr std::uint32_t CE_MODE = 32768;

// Modem status bits.
constexpr std::uint32_t MS_CTS_ON = 16;
constexpr std::uint32_t MS_DSR_ON = 32;
constexpr std::uint32_t MS_RING_ON = 64;
constexpr std::uint32_t MS_RLSD_ON = 128;

// Event mask bits.
constexpr std::uint32_t EV_RXCHAR = 0x0001;
constexpr std::uint32_t EV_RXFLAG = 0x0002;
constexpr std::uint32_t EV_TXEMPTY = 0x0004;
constexpr std::uint32_t EV_CTS = 0x0008;
constexpr std::uint32_t EV_DSR = 0x0010;
constexpr std::uint32_t EV_RLSD = 0x0020;
constexpr std::uint32_t EV_BREAK = 0x0040;
constexpr std::uint32_t EV_ERR = 0x0080;
constexpr std::uint32_t EV_RING = 0x0100;
constexpr std::uint32_t EV_RX80FULL = 0x0400;

// The line-settings record for the port's current settings.
TDcb buildDcb(const TCustomComPort& port);
// The time-limit record for a timeouts object (each value as its unsigned 32-bit pattern).
TCommTimeouts buildTimeouts(const TComTimeouts& timeouts);

} // namespace cport
