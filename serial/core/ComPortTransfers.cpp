// The port's transfers and status queries over its device.
#include "serial/CPort.h"

#include "serial/core/ComDevice.h"

#include <algorithm>
#include <cerrno>
#include <limits>

namespace cport {

namespace {

TComTransfer& requireRecord(TComTransfer* record)
{
    if (!record)
        throw EComPort(ecInvalidAsync);
    return *record;
}

} // namespace

std::int32_t TCustomComPort::beginWrite(const char* bytes, std::int32_t count, TComTransfer* record)
{
    TComTransfer& transfer = requireRecord(record);
    if (count < 0)
        throw EComPort(ecWriteFailed, EINVAL);
    // A request of this record that was never collected ends before the record is reused.
    transfer.settle();
    // The copy exists only to tell the links what was sent: without such a link it is skipped.
    const bool keepCopy = m_links.hasSlot(&TPortLink::transmittedBytes);
    prepareTransfer(tkWrite, bytes, keepCopy ? count : 0, transfer);
    transfer.overlapped.source = bytes;
    transfer.overlapped.destination = nullptr;
    transfer.overlapped.count = std::uint32_t(count);
    std::uint32_t moved = 0;
    raiseOnComError(ecWriteFailed, m_device->startTransfer(transfer, moved));
    m_links.notify(&TPortLink::txActivity, *this, true);
    return std::int32_t(moved);
}

std::int32_t TCustomComPort::beginWriteText(const std::string& text, TComTransfer* record)
{
    if (text.empty())
        return 0;
    if (text.size() > std::size_t(std::numeric_limits<std::int32_t>::max()))
        throw EComPort(ecWriteFailed, EFBIG);
    return beginWrite(text.data(), std::int32_t(text.size()), record);
}

std::int32_t TCustomComPort::beginRead(char* destination, std::int32_t count, TComTransfer* record)
{
    TComTransfer& transfer = requireRecord(record);
    if (count < 0)
        throw EComPort(ecReadFailed, EINVAL);
    transfer.settle();
    transfer.kind = tkRead;
    transfer.overlapped.source = nullptr;
    transfer.overlapped.destination = destination;
    transfer.overlapped.count = std::uint32_t(count);
    std::uint32_t moved = 0;
    raiseOnComError(ecReadFailed, m_device->startTransfer(transfer, moved));
    return std::int32_t(moved);
}

std::int32_t TCustomComPort::awaitTransfer(TComTransfer* record)
{
    TComTransfer& transfer = requireRecord(record);
    std::uint32_t moved = 0;
    const int error = m_device->awaitTransfer(transfer, moved);
    if (error != 0)
        throw EComPort(transfer.kind == tkRead ? ecReadFailed : ecWriteFailed, error);
    if (transfer.kind == tkRead) {
        if (pendingInputCount() == 0)
            m_links.notify(&TPortLink::rxActivity, *this, false);
    } else if (transfer.kind == tkWrite && transfer.data) {
        // Only a write reports its copy: a reused record may still hold an earlier one.
        const void* bytes = transfer.data.get();
        m_links.notify(&TPortLink::transmittedBytes, *this, bytes, transfer.size);
    }
    return std::int32_t(moved);
}

void TCustomComPort::abortTransfers()
{
    raiseOnComError(ecPurgeFailed, m_device->purge(PURGE_TXABORT | PURGE_RXABORT));
}

std::int32_t TCustomComPort::writeText(const std::string& bytes)
{
    std::unique_ptr<TComTransfer> record;
    newTransfer(record);
    record->overlapped.collectedAtOnce = true;
    beginWriteText(bytes, record.get());
    return awaitTransfer(record.get());
}

std::int32_t TCustomComPort::readBytes(char* destination, std::int32_t count)
{
    std::unique_ptr<TComTransfer> record;
    newTransfer(record);
    beginRead(destination, count, record.get());
    return awaitTransfer(record.get());
}

std::int32_t TCustomComPort::pendingInputCount()
{
    TDeviceStatus status;
    raiseOnComError(ecClearCommFailed, m_device->clearErrors(status));
    if (status.errors & CE_IOE)
        m_hangUpOwed = true;
    return std::int32_t(
        std::min<std::uint32_t>(status.inputQueue, std::numeric_limits<std::int32_t>::max()));
}

TLineSignals TCustomComPort::lineSignals()
{
    std::uint32_t status = 0;
    raiseOnComError(ecModemStatusFailed, m_device->modemStatus(status));
    TLineSignals signals;
    if (status & MS_CTS_ON)
        signals += lsCTS;
    if (status & MS_DSR_ON)
        signals += lsDSR;
    if (status & MS_RING_ON)
        signals += lsRing;
    if (status & MS_RLSD_ON)
        signals += lsRLSD;
    return signals;
}

TComErrors TCustomComPort::takeLineErrors()
{
    TDeviceStatus status;
    raiseOnComError(ecClearCommFailed, m_device->clearErrors(status));
    const std::uint32_t flags = status.errors | (m_hangUpOwed.exchange(false) ? CE_IOE : 0);
    TComErrors errors;
    if (flags & CE_FRAME)
        errors += errFrame;
    if ((flags & CE_RXPARITY) && m_parity.Check())
        errors += errRxParity;
    if (flags & CE_OVERRUN)
        errors += errOverrun;
    if (flags & CE_BREAK)
        errors += errBreak;
    if (flags & CE_IOE)
        errors += errIO;
    if (flags & CE_MODE)
        errors += errMode;
    if (flags & CE_RXOVER)
        errors += errRxOver;
    if (flags & CE_TXFULL)
        errors += errTxFull;
    return errors;
}

} // namespace cport
