#include "emulator/ReceiptOutput.h"

#include "emulator/ReceiptRenderer.h"

#include <chrono>
#include <sys/resource.h>
#include <unistd.h>

namespace emulator {

namespace {

constexpr auto kRetry = std::chrono::seconds(1);
constexpr int kDrawingNiceness = 10;

} // namespace

ReceiptOutput::ReceiptOutput(ReceiptFiles& files, Hooks hooks)
    : m_files(files)
    , m_hooks(std::move(hooks))
    , m_thread([this] { work(); })
{
}

ReceiptOutput::~ReceiptOutput()
{
    {
        std::lock_guard lock(m_mutex);
        m_ending = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void ReceiptOutput::post(Receipt&& receipt)
{
    {
        std::lock_guard lock(m_mutex);
        m_posted.push_back(std::move(receipt));
    }
    m_changed.notify_all();
}

void ReceiptOutput::work()
{
    // Drawing yields the processor to the printer's loop, whose answers must come within
    // milliseconds even on a busy machine.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kDrawingNiceness);
    std::deque<Drawn> unwritten; // drawn, waiting for room, oldest first
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (unwritten.empty())
            m_changed.wait(lock, [this] { return m_ending || !m_posted.empty(); });
        else if (!m_ending)
            m_changed.wait_for(lock, kRetry, [this] { return m_ending; });
        std::deque<Receipt> posted;
        posted.swap(m_posted);
        const bool ending = m_ending;
        lock.unlock();
        for (auto& receipt : posted) {
            QImage picture = renderReceipt(receipt);
            unwritten.push_back({ std::move(receipt), std::move(picture) });
        }
        while (!unwritten.empty() && write(unwritten.front()))
            unwritten.pop_front();
        if (ending) {
            if (!unwritten.empty())
                m_hooks.warn(std::to_string(unwritten.size())
                    + " receipts could not be written and are lost");
            return;
        }
        lock.lock();
    }
}

bool ReceiptOutput::write(Drawn& drawn)
{
    try {
        const auto path = m_files.save(drawn.receipt, drawn.picture);
        if (drawn.refused)
            m_hooks.warn("the receipt kept in memory is written now");
        m_hooks.saved(path, drawn.picture);
        const auto name = path.substr(path.rfind('/') + 1);
        for (const auto& warning : drawn.receipt.warnings)
            m_hooks.warn(name + ": " + warning);
        return true;
    } catch (const std::exception& error) {
        if (!drawn.refused)
            m_hooks.warn(std::string(error.what())
                + "; the receipt is kept in memory and tried again every second");
        drawn.refused = true;
        return false;
    }
}

} // namespace emulator
