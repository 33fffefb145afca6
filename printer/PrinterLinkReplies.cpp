#include "printer/PrinterLinkReplies.h"

#include "escpos/AutoStatus.h"
#include "escpos/PrinterStatus.h"

#include <algorithm>

namespace printer {

namespace {

// A framed reply longer than this is not waited for: its first byte is stray.
constexpr std::size_t kLongestReply = 256;

} // namespace

std::string ReplySorter::Piece::note() const
{
    const std::string name = escpos::questionName(question);
    switch (fate) {
    case Fate::Answer:
        return "reply to " + name;
    case Fate::Late:
        return "late reply to " + name;
    case Fate::AutoStatus:
        return "automatic status";
    case Fate::Stray:
        break;
    }
    return bytes.size() == 1 ? "stray byte (no question)" : "stray bytes (no question)";
}

void ReplySorter::ask(std::string question)
{
    m_asking = std::move(question);
    m_answer.reset();
    m_askingHeardOther = false;
}

void ReplySorter::giveUp()
{
    // A question that got bytes of the wrong shape was answered, badly: nothing more is owed.
    if (m_asking && !m_answer && !m_askingHeardOther)
        m_owed.push_back(*m_asking);
    m_asking.reset();
}

std::vector<ReplySorter::Piece> ReplySorter::sort(std::string_view bytes)
{
    m_held.append(bytes);
    std::vector<Piece> pieces;
    while (auto piece = takeOne())
        addTo(pieces, std::move(*piece));
    return pieces;
}

std::optional<ReplySorter::Piece> ReplySorter::takeOne()
{
    if (m_held.empty())
        return std::nullopt;
    const bool mayGrow = m_held.size() < kLongestReply;
    const auto take = [this](Fate fate, std::size_t length, std::string question) {
        Piece piece { fate, m_held.substr(0, length), std::move(question) };
        m_held.erase(0, length);
        return piece;
    };
    const std::size_t message = autoStatusLength();
    if (message == escpos::kReplyIncomplete)
        return std::nullopt;
    if (message != escpos::kNoReply)
        return take(Fate::AutoStatus, message, {});
    // Owed questions first, oldest first: those skipped by a later reply are never answered.
    for (std::size_t i = 0; i < m_owed.size(); ++i) {
        const std::size_t length = escpos::replyLength(m_owed[i], m_held);
        if (length == escpos::kReplyIncomplete && mayGrow)
            return std::nullopt;
        if (length == escpos::kNoReply || length == escpos::kReplyIncomplete)
            continue;
        std::string question = m_owed[i];
        m_owed.erase(m_owed.begin(), m_owed.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        ++m_lateReplies;
        return take(Fate::Late, length, std::move(question));
    }
    if (m_asking && !m_answer) {
        const std::size_t length = escpos::replyLength(*m_asking, m_held);
        if (length == escpos::kReplyIncomplete && mayGrow)
            return std::nullopt;
        if (length != escpos::kNoReply && length != escpos::kReplyIncomplete) {
            // Answered in order: the questions before it will not be answered any more.
            m_owed.clear();
            auto piece = take(Fate::Answer, length, *m_asking);
            m_answer = piece.bytes;
            return piece;
        }
    }
    ++m_strayBytes;
    m_askingHeardOther = m_askingHeardOther || (m_asking && !m_answer);
    return take(Fate::Stray, 1, {});
}

std::size_t ReplySorter::autoStatusLength() const
{
    if (!escpos::startsAutoStatus(static_cast<std::uint8_t>(m_held[0])))
        return escpos::kNoReply;
    const std::size_t have = std::min(m_held.size(), escpos::kAutoStatusLength);
    for (std::size_t i = 1; i < have; ++i)
        if (!escpos::continuesAutoStatus(static_cast<std::uint8_t>(m_held[i])))
            return escpos::kNoReply;
    if (have == escpos::kAutoStatusLength)
        return have;
    return m_expectAutoStatus ? escpos::kReplyIncomplete : escpos::kNoReply;
}

void ReplySorter::addTo(std::vector<Piece>& pieces, Piece piece) const
{
    // Stray bytes in a row make one piece.
    if (piece.fate == Fate::Stray && !pieces.empty() && pieces.back().fate == Fate::Stray)
        pieces.back().bytes += piece.bytes;
    else
        pieces.push_back(std::move(piece));
}

} // namespace printer
