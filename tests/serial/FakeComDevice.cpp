#include "FakeComDevice.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <unistd.h>
#include <utility>

namespace serialtest {

using namespace cport;

void FakeScript::refuse(const std::string& operation, int error)
{
    std::lock_guard lock(mutex);
    refusals[operation] = error;
}

void FakeScript::post(std::optional<std::uint32_t> batch)
{
    {
        std::lock_guard lock(mutex);
        batches.push_back(batch);
    }
    wake.signal();
}

std::vector<std::string> FakeScript::takeCalls()
{
    std::lock_guard lock(mutex);
    return std::exchange(calls, {});
}

int FakeScript::callCount(const std::string& operation) const
{
    std::lock_guard lock(mutex);
    return int(std::count(calls.begin(), calls.end(), operation));
}

FakeComDevice::FakeComDevice(std::shared_ptr<FakeScript> script)
    : m_script(std::move(script))
{
}

FakeComDevice::~FakeComDevice() = default;

int FakeComDevice::enter(const std::string& operation, bool anyState)
{
    // Called with the script's lock held.
    m_script->calls.push_back(operation);
    const auto refusal = m_script->refusals.find(operation);
    if (refusal != m_script->refusals.end())
        return refusal->second;
    return (m_script->open || anyState) ? 0 : EBADF;
}

int FakeComDevice::open(const std::string&)
{
    std::lock_guard lock(m_script->mutex);
    const int error = enter("open", true);
    m_script->open = error == 0;
    return error;
}

void FakeComDevice::release()
{
    std::lock_guard lock(m_script->mutex);
    if (m_script->open)
        m_script->calls.push_back("release");
    m_script->open = false;
}

int FakeComDevice::handle() const
{
    std::lock_guard lock(m_script->mutex);
    return m_script->open ? 100 : -1;
}

int FakeComDevice::setQueueSizes(std::int32_t input, std::int32_t output)
{
    std::lock_guard lock(m_script->mutex);
    const int error = enter("setQueueSizes");
    m_script->inputSize = input;
    m_script->outputSize = output;
    return error;
}

int FakeComDevice::setLineSettings(const TDcb& dcb)
{
    std::lock_guard lock(m_script->mutex);
    const int error = enter("setLineSettings");
    if (error == 0)
        m_script->dcb = dcb;
    return error;
}

int FakeComDevice::setTimeouts(const TCommTimeouts& timeouts)
{
    std::lock_guard lock(m_script->mutex);
    const int error = enter("setTimeouts");
    if (error == 0)
        m_script->timeouts = timeouts;
    return error;
}

int FakeComDevice::purge(std::uint32_t flags)
{
    std::lock_guard lock(m_script->mutex);
    const int error = enter("purge" + std::to_string(flags));
    if (error == 0 && (flags & PURGE_RXCLEAR))
        m_script->input.clear();
    return error;
}

int FakeComDevice::startTransfer(TComTransfer& record, std::uint32_t& moved)
{
    std::lock_guard lock(m_script->mutex);
    TOverlapped& ov = record.overlapped;
    ov.moved = 0;
    const int error = enter(record.kind == tkWrite ? "write" : "read");
    if (error == 0 && record.kind == tkWrite) {
        m_script->written.append(ov.source, ov.count);
        ov.moved = ov.count;
    } else if (error == 0) {
        const std::size_t n = std::min<std::size_t>(ov.count, m_script->input.size());
        std::copy_n(m_script->input.begin(), n, ov.destination);
        m_script->input.erase(0, n);
        ov.moved = std::uint32_t(n);
    }
    ov.pending = error == 0;
    moved = ov.moved;
    return error;
}

int FakeComDevice::awaitTransfer(TComTransfer& record, std::uint32_t& moved)
{
    std::lock_guard lock(m_script->mutex);
    moved = record.overlapped.moved;
    if (!record.overlapped.pending)
        return 0;
    record.overlapped.pending = false;
    const auto refusal = m_script->refusals.find("await");
    return refusal != m_script->refusals.end() ? refusal->second : 0;
}

int FakeComDevice::clearErrors(TDeviceStatus& status)
{
    std::lock_guard lock(m_script->mutex);
    const int error = enter("clearErrors");
    if (error == 0) {
        status.errors = std::exchange(m_script->errors, 0);
        status.inputQueue = std::uint32_t(m_script->input.size());
    }
    return error;
}

int FakeComDevice::modemStatus(std::uint32_t& status)
{
    std::lock_guard lock(m_script->mutex);
    const int error = enter("modemStatus");
    status = error == 0 ? m_script->modem : 0;
    return error;
}

int FakeComDevice::setEventMask(std::uint32_t mask)
{
    std::lock_guard lock(m_script->mutex);
    const int error = enter("setEventMask");
    m_script->eventMask = mask;
    return error;
}

TWaitResult FakeComDevice::waitEvents(int stopFd, std::uint32_t& mask)
{
    for (;;) {
        pollfd fds[2] = { { stopFd, POLLIN, 0 }, { m_script->wake.get(), POLLIN, 0 } };
        {
            std::unique_lock lock(m_script->mutex);
            if (!m_script->batches.empty()) {
                if (::poll(fds, 1, 0) > 0)
                    return TWaitResult::Stopped;
                const auto batch = m_script->batches.front();
                m_script->batches.pop_front();
                if (!batch)
                    return TWaitResult::Failed;
                mask = *batch & m_script->eventMask;
                return TWaitResult::Events;
            }
        }
        ::poll(fds, 2, -1);
        if (fds[0].revents)
            return TWaitResult::Stopped;
        m_script->wake.drain();
    }
}

} // namespace serialtest
