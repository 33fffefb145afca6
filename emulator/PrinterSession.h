#pragma once

#include "emulator/ReceiptBuilder.h"
#include "escpos/CommandSplitter.h"
#include "escpos/PrinterStatus.h"

#include <deque>
#include <functional>
#include <string>
#include <string_view>

namespace emulator {

// One connection's job: its byte stream split into commands, real-time requests (DLE EOT,
// DLE ENQ, DLE DC4) answered the moment they are read, everything else kept in the connection's
// receive buffer until the print engine takes it (when the connection has its turn and the
// printer can print). A real-time request with nothing kept before it is done with at once: it
// goes to the `answered` sink instead of the buffer, so a connection that only asks for status
// never waits for a turn nor fills its buffer. Replies to queries that are not real-time (GS I, GS
// r, ESC v) leave when the engine reaches them, after the commands before them, as a printer sends
// them.
class PrinterSession {
public:
    using ReplySink = std::function<void(std::string_view)>;
    // A real-time request done with at once, with the reply it was given.
    using AnsweredSink = std::function<void(const escpos::Command&, std::string_view reply)>;
    PrinterSession(const escpos::ConditionSet& conditions, ReplySink reply, AnsweredSink answered);

    void receive(std::string_view bytes);
    // The connection has ended: a command it left incomplete is kept, logged as truncated.
    void close() { m_splitter.finish(); }
    // Bytes received and not yet printed: the commands kept and a command still incomplete.
    std::size_t bufferedBytes() const { return m_keptBytes + m_splitter.pendingBytes(); }
    bool hasCommands() const { return !m_kept.empty(); }
    // Hands the kept commands to the engine in the order received; while `held`, only up to the
    // first that needs the printer to print. False when none was handed over.
    bool printInto(ReceiptBuilder& engine, bool held);

private:
    struct Kept {
        escpos::CommandKind kind;
        escpos::CommandCode code;
        std::string bytes;
        std::uint64_t missing;
        std::string reply; // what a real-time request was answered
    };
    void keep(const escpos::Command& command);

    const escpos::ConditionSet& m_conditions;
    ReplySink m_reply;
    AnsweredSink m_answered;
    escpos::CommandSplitter m_splitter;
    std::deque<Kept> m_kept;
    std::size_t m_keptBytes = 0;
};

// DLE EOT, DLE ENQ and DLE DC4: acted on as they arrive, ahead of the commands before them.
bool isRealTime(const escpos::Command& command);

} // namespace emulator
