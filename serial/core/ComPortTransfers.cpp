// The port's transfers and status queries over its device.
#include "serial/CPort.h"

#include "serial/core/ComDevice.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
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
        // Only a write reports its copy (a reused record may still hold an earlier one), and
        // only the bytes it wrote.
        const void* bytes = transfer.data.get();
        const std::int32_t written = std::min(transfer.size, std::int32_t(moved));
        if (written > 0)
            m_links.notify(&TPortLink::transmittedBytes, *this, bytes, written);
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

std::int32_t TCustomComPort::writeWithin(
    const char* bytes, std::int32_t count, std::chrono::milliseconds limit, bool& aborted)
{
    std::unique_ptr<TComTransfer> record;
    newTransfer(record);
    record->overlapped.collectedAtOnce = true;
    record->overlapped.timeLimit = limit;
    beginWrite(bytes, count, record.get());
    const std::int32_t moved = awaitTransfer(record.get());
    aborted = record->overlapped.endedByAbort;
    return moved;
}

TWriteProgress TCustomComPort::writeWithProgressLimit(const std::string& bytes,
    std::chrono::milliseconds noProgressLimit, const TWriteProgressEvent& onProgress,
    std::chrono::milliseconds reportEvery)
{
    using Clock = std::chrono::steady_clock;
    if (bytes.size() > std::size_t(std::numeric_limits<std::int32_t>::max()))
        throw EComPort(ecWriteFailed, EFBIG);
    const auto total = std::int32_t(bytes.size());
    const auto slice = std::max(reportEvery, std::chrono::milliseconds(1));
    TWriteProgress progress;
    auto lastProgress = Clock::now();
    for (bool first = true;; first = false) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            lastProgress + noProgressLimit - Clock::now());
        if (!first && left.count() <= 0)
            break; // the line was held for the whole limit
        // Each slice puts what the driver takes and waits for room, or (once every byte is
        // taken) for the output queue to drain; it ends early when there is nothing to wait for.
        bool aborted = false;
        const std::int32_t moved = writeWithin(bytes.data() + progress.taken,
            total - progress.taken, std::clamp(left, std::chrono::milliseconds(0), slice), aborted);
        std::uint32_t queued = 0;
        // A port closed meanwhile has discarded its queue.
        if (const int error = m_device->outputQueue(queued); error != 0 && !aborted)
            throw EComPort(ecWriteFailed, error);
        const std::int32_t taken = progress.taken + moved;
        const auto stillQueued = std::int32_t(std::min<std::uint32_t>(queued, std::uint32_t(taken)));
        // Progress is a byte taken by the driver or a byte gone from its queue.
        if (moved > 0 || stillQueued < progress.queued + moved)
            lastProgress = Clock::now();
        progress.taken = taken;
        progress.queued = stillQueued;
        if (progress.finished(bytes.size()) || aborted)
            break;
        if (onProgress)
            onProgress(progress);
    }
    return progress;
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
