#include "serial/core/DeviceRecords.h"

#include "serial/CPort.h"
#include "serial/core/ComConversions.h"

namespace cport {

// The port's enumerations are carried into the record by their ordinals.
static_assert(dtrDisable == DTR_CONTROL_DISABLE && dtrEnable == DTR_CONTROL_ENABLE
    && dtrHandshake == DTR_CONTROL_HANDSHAKE);
static_assert(rtsDisable == RTS_CONTROL_DISABLE && rtsEnable == RTS_CONTROL_ENABLE
    && rtsHandshake == RTS_CONTROL_HANDSHAKE && rtsToggle == RTS_CONTROL_TOGGLE);
static_assert(prNone == NOPARITY && prOdd == ODDPARITY && prEven == EVENPARITY
    && prMark == MARKPARITY && prSpace == SPACEPARITY);
static_assert(
    sbOneStopBit == ONESTOPBIT && sbOne5StopBits == ONE5STOPBITS && sbTwoStopBits == TWOSTOPBITS);

TDcb buildDcb(const TCustomComPort& port)
{
    const TComParity& parity = port.Parity();
    const TComFlowControl& flow = port.FlowControl();
    TDcb dcb;
    dcb.BaudRate = std::uint32_t(baudRateValue(port.BaudRate(), port.CustomBaudRate()));
    dcb.fBinary = true;
    dcb.fParity = parity.Check();
    dcb.fOutxCtsFlow = flow.OutCTSFlow();
    dcb.fOutxDsrFlow = flow.OutDSRFlow();
    dcb.fDtrControl = std::uint8_t(flow.ControlDTR());
    dcb.fDsrSensitivity = flow.DSRSensitivity();
    dcb.fTXContinueOnXoff = flow.TxContinueOnXoff();
    dcb.fOutX = flow.XonXoffOut();
    dcb.fInX = flow.XonXoffIn();
    dcb.fErrorChar = parity.Check() && parity.Replace();
    dcb.fNull = port.DiscardNull();
    dcb.fRtsControl = std::uint8_t(flow.ControlRTS());
    dcb.XonLim = std::uint16_t(port.Buffer().InputSize() / 4);
    dcb.XoffLim = dcb.XonLim;
    dcb.ByteSize = std::uint8_t(dataBitsValue(port.DataBits()));
    dcb.Parity = std::uint8_t(parity.Bits());
    dcb.StopBits = std::uint8_t(port.StopBits());
    dcb.XonChar = flow.XonChar();
    dcb.XoffChar = flow.XoffChar();
    dcb.ErrorChar = dcb.fErrorChar ? parity.ReplaceChar() : char(0);
    dcb.EvtChar = port.EventChar();
    return dcb;
}

TCommTimeouts buildTimeouts(const TComTimeouts& timeouts)
{
    TCommTimeouts record;
    record.ReadIntervalTimeout = std::uint32_t(timeouts.ReadInterval());
    record.ReadTotalTimeoutMultiplier = std::uint32_t(timeouts.ReadTotalMultiplier());
    record.ReadTotalTimeoutConstant = std::uint32_t(timeouts.ReadTotalConstant());
    record.WriteTotalTimeoutMultiplier = std::uint32_t(timeouts.WriteTotalMultiplier());
    record.WriteTotalTimeoutConstant = std::uint32_t(timeouts.WriteTotalConstant());
    return record;
}

} // namespace cport
