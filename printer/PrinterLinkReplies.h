#pragma once
// Telling the printer's replies apart on a link: each byte that arrives is the answer to the
// question being asked only when it fits that question's reply pattern and no earlier question
// is still owed an answer it fits (a printer answers in the order it was asked). A question
// whose time limit passed is owed; a byte that fits it later is its late reply, never the
// answer to the next question. Automatic status messages (GS a) are told by their own pattern,
// whose first byte no DLE EOT reply has. Whatever fits nothing is stray.

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace printer {

class ReplySorter {
public:
    enum class Fate { Answer, Late, AutoStatus, Stray };
    // A run of arrived bytes and what they were: the answer to `question`, its late reply, an
    // automatic status message, or stray bytes (question empty).
    struct Piece {
        Fate fate;
        std::string bytes;
        std::string question;
        // "reply to DLE EOT 1", "late reply to DLE EOT 1", "automatic status",
        // "stray bytes (no question)".
        std::string note() const;
    };

    // The question just sent (its bytes, such as 10 04 01); its answer is awaited.
    void ask(std::string question);
    // Its limit passed without an answer: it is owed one from now on.
    void giveUp();
    // Automatic status back was asked for: a message cut off at the end waits for the rest.
    // Otherwise only a whole message is told as one, so a lone byte is never held back.
    void expectAutoStatus() { m_expectAutoStatus = true; }
    // Sorts bytes that arrived; a framed reply cut off at the end waits for the rest.
    std::vector<Piece> sort(std::string_view bytes);
    // The awaited question's answer, once it arrived.
    const std::optional<std::string>& answer() const { return m_answer; }
    // Whether a byte can still arrive unasked: a question is owed, or stray bytes came.
    bool mayHoldStale() const { return !m_owed.empty() || m_strayBytes > 0 || !m_held.empty(); }

    std::size_t lateReplies() const { return m_lateReplies; }
    std::size_t strayBytes() const { return m_strayBytes; }

private:
    // The piece at the front of m_held, or nothing while it may still grow into a reply.
    std::optional<Piece> takeOne();
    void addTo(std::vector<Piece>& pieces, Piece piece) const;
    // How many bytes at the front of m_held make an automatic status message: 0 when they do
    // not, kReplyIncomplete while one may still be arriving.
    std::size_t autoStatusLength() const;

    std::deque<std::string> m_owed; // oldest first
    std::optional<std::string> m_asking;
    std::optional<std::string> m_answer;
    std::string m_held;
    bool m_expectAutoStatus = false;
    bool m_askingHeardOther = false; // stray bytes came while the question waited
    std::size_t m_lateReplies = 0;
    std::size_t m_strayBytes = 0;
};

} // namespace printer
