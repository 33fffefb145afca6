#include "printer/PrinterLink.h"

#include "escpos/AutoStatus.h"
#include "printer/PressWait.h"

#include <algorithm>

namespace printer {

namespace {

// Read at once: enough for a framed reply or a burst a printer sends unasked.
constexpr std::size_t kReadAhead = 256;
// Bounded, so a printer that chatters without end cannot hold the caller before a question.
constexpr int kDropRounds = 16;

// 10611230 as "10 611 230".
std::string grouped(std::size_t count)
{
    std::string digits = std::to_string(count);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), 1, ' ');
    return digits;
}

} // namespace

std::string failureNote(const std::string& failure, std::size_t delivered, std::size_t total)
{
    const std::string unit = total == 1 ? " byte" : " bytes";
    if (delivered == 0)
        return failure + ": none of " + grouped(total) + unit + " delivered";
    return failure + " after " + grouped(delivered) + " of " + grouped(total) + unit;
}

void PrinterLink::send(const std::string& bytes)
{
    try {
        write(bytes);
    } catch (const SendFailure& failure) {
        tell(Direction::Sent, std::string_view(bytes).substr(0, failure.delivered()));
        tell(
            Direction::Sent, {}, failureNote(failure.message(), failure.delivered(), bytes.size()));
        throw;
    } catch (const std::exception& error) {
        tell(Direction::Sent, {}, failureNote(error.what(), 0, bytes.size()));
        throw;
    }
    tell(Direction::Sent, bytes);
}

PrinterLink::Reply PrinterLink::ask(const std::string& question, std::chrono::milliseconds limit)
{
    Reply reply;
    dropWaiting();
    send(question);
    m_replies.ask(question);
    // Waited for in slices, so the window can repaint between them (the press's wait hook).
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (canAnswer()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        receive(std::clamp(left, std::chrono::milliseconds(0), waitSlice), &reply.unfit);
        if (m_replies.answer() || left <= waitSlice)
            break;
        keepWaiting();
        if (m_cancelled && m_cancelled())
            throw platform::EAbort("Cancelled");
    }
    reply.answer = m_replies.answer();
    m_replies.giveUp();
    return reply;
}

void PrinterLink::chooseAutoStatus(std::uint8_t bits)
{
    dropWaiting();
    if (bits != 0)
        m_replies.expectAutoStatus();
    send(escpos::autoStatusCommand(bits));
}

std::vector<std::string> PrinterLink::listen(std::chrono::milliseconds limit)
{
    std::vector<std::string> messages;
    if (canAnswer())
        receive(limit, nullptr, &messages);
    return messages;
}

bool PrinterLink::receive(
    std::chrono::milliseconds limit, std::string* stray, std::vector<std::string>* messages)
{
    const std::string bytes = read(kReadAhead, limit);
    for (auto& piece : m_replies.sort(bytes)) {
        if (m_autoStatusSink && piece.fate == ReplySorter::Fate::AutoStatus)
            m_autoStatusSink(piece.bytes);
        tell(Direction::Received, piece.bytes, piece.note());
        if (stray && piece.fate == ReplySorter::Fate::Stray)
            *stray += piece.bytes;
        if (messages && piece.fate == ReplySorter::Fate::AutoStatus)
            messages->push_back(std::move(piece.bytes));
    }
    return !bytes.empty();
}

void PrinterLink::dropWaiting()
{
    // Only a late reply, stray bytes or what the link found when it opened can be there; after
    // a complete answer the next question goes out at once.
    if (!canAnswer() || !(m_fresh || m_replies.mayHoldStale()))
        return;
    m_fresh = false;
    for (int round = 0; round < kDropRounds && receive(std::chrono::milliseconds(0)); ++round) { }
}

void PrinterLink::tell(Direction direction, std::string_view bytes, std::string_view note) const
{
    if (m_observer && (!bytes.empty() || !note.empty()))
        m_observer(direction, bytes, note);
}

} // namespace printer
