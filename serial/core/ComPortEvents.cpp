// What the port tells its handlers and links: around opening and closing, and for each line
// event the monitor delivers.
#include "serial/CPort.h"

#include <array>
#include <memory>

namespace cport {

namespace {

template <typename Handler, typename... Args>
void call(const Handler& handler, TCustomComPort& port, const Args&... args)
{
    if (handler)
        handler(port, args...);
}

} // namespace

void TCustomComPort::fireAfterClose()
{
    call(OnAfterClose, *this);
}
void TCustomComPort::fireAfterOpen()
{
    call(OnAfterOpen, *this);
}
void TCustomComPort::fireBeforeClose()
{
    call(OnBeforeClose, *this);
}
void TCustomComPort::fireBeforeOpen()
{
    call(OnBeforeOpen, *this);
}
void TCustomComPort::fireRxChar(std::int32_t count)
{
    call(OnRxChar, *this, count);
}
void TCustomComPort::fireRxBuf(const void* buffer, std::int32_t count)
{
    call(OnRxBuf, *this, buffer, count);
}
void TCustomComPort::fireTxEmpty()
{
    call(OnTxEmpty, *this);
}
void TCustomComPort::fireBreak()
{
    call(OnBreak, *this);
}
void TCustomComPort::fireRing()
{
    call(OnRing, *this);
}
void TCustomComPort::fireRxFlag()
{
    call(OnRxFlag, *this);
}
void TCustomComPort::fireCTSChange(bool onOff)
{
    call(OnCTSChange, *this, onOff);
}
void TCustomComPort::fireDSRChange(bool onOff)
{
    call(OnDSRChange, *this, onOff);
}
void TCustomComPort::fireError(TComErrors errors)
{
    call(OnError, *this, errors);
}
void TCustomComPort::fireRLSDChange(bool onOff)
{
    call(OnRLSDChange, *this, onOff);
}
void TCustomComPort::fireRx80Full()
{
    call(OnRx80Full, *this);
}

void TCustomComPort::handleBeforeOpen()
{
    fireBeforeOpen();
}

void TCustomComPort::handleAfterOpen()
{
    m_links.notify(&TPortLink::openChange, *this, true);
    fireAfterOpen();
    handleCTSChange();
    handleDSRChange();
    handleRLSDChange();
}

void TCustomComPort::handleBeforeClose()
{
    m_links.notify(&TPortLink::ctsChange, *this, false);
    m_links.notify(&TPortLink::dsrChange, *this, false);
    m_links.notify(&TPortLink::rlsdChange, *this, false);
    fireCTSChange(false);
    fireDSRChange(false);
    fireRLSDChange(false);
    fireBeforeClose();
}

void TCustomComPort::handleAfterClose()
{
    m_links.notify(&TPortLink::openChange, *this, false);
    fireAfterClose();
}

void TCustomComPort::handleRxChar()
{
    std::int32_t count = pendingInputCount();
    if (count > 0)
        m_links.notify(&TPortLink::rxActivity, *this, true);
    readToBuffer(count);
    if (count > 0)
        fireRxChar(count);
}

void TCustomComPort::readToBuffer(std::int32_t& count)
{
    if (count <= 0 || (m_reportRxCount && !rawLinkAttached()))
        return;
    std::unique_ptr<char[]> buffer;
    std::int32_t read = 0;
    // One read serves every link and OnRxBuf; the buffer goes on every path.
    const auto consume = [&] {
        buffer = std::make_unique<char[]>(std::size_t(count));
        read = readBytes(buffer.get(), count);
        fireRxBuf(buffer.get(), read);
    };
    m_links.forEach([&](TPortLink& link) {
        if (!link.receivedBytes)
            return;
        if (!buffer)
            consume();
        link.receivedBytes(*this, buffer.get(), read);
    });
    if (!buffer && !m_reportRxCount)
        consume();
    if (buffer)
        count = 0;
}

void TCustomComPort::handleTxEmpty()
{
    m_links.notify(&TPortLink::txActivity, *this, false);
    m_links.notify(&TPortLink::txEmpty, *this);
    fireTxEmpty();
}

void TCustomComPort::handleRxFlag()
{
    m_links.notify(&TPortLink::rxFlag, *this);
    fireRxFlag();
}

void TCustomComPort::handleRing()
{
    m_links.notify(&TPortLink::ring, *this);
    fireRing();
}

void TCustomComPort::handleBreak()
{
    fireBreak();
}
void TCustomComPort::handleRx80Full()
{
    fireRx80Full();
}

void TCustomComPort::handleCTSChange()
{
    const bool on = lineSignals().contains(lsCTS);
    m_links.notify(&TPortLink::ctsChange, *this, on);
    fireCTSChange(on);
}

void TCustomComPort::handleDSRChange()
{
    const bool on = lineSignals().contains(lsDSR);
    m_links.notify(&TPortLink::dsrChange, *this, on);
    fireDSRChange(on);
}

void TCustomComPort::handleRLSDChange()
{
    const bool on = lineSignals().contains(lsRLSD);
    m_links.notify(&TPortLink::rlsdChange, *this, on);
    fireRLSDChange(on);
}

void TCustomComPort::handleError()
{
    const TComErrors errors = takeLineErrors();
    if (!errors.empty())
        fireError(errors);
}

void TCustomComPort::dispatchEvent(TComEvent event)
{
    switch (event) {
    case evRxChar:
        return handleRxChar();
    case evTxEmpty:
        return handleTxEmpty();
    case evRxFlag:
        return handleRxFlag();
    case evRing:
        return handleRing();
    case evBreak:
        return handleBreak();
    case evCTS:
        return handleCTSChange();
    case evDSR:
        return handleDSRChange();
    case evError:
        return handleError();
    case evRLSD:
        return handleRLSDChange();
    case evRx80Full:
        return handleRx80Full();
    }
}

} // namespace cport
