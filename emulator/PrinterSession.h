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
// them. GS a is done with at once in the same way: from then on the connection is sent the 4-byte
// automatic status message, and again whenever a status it chose changes (conditionsChanged).
class PrinterSession {
public:
    using ReplySink = std::function<void(std::string_view)>;
    // A real-time request done with at once, with the reply it was given.
    using AnsweredSink = std::function<void(const escpos::Command&, std::string_view reply)>;
    // DLE ENQ and DLE DC4, for the printer to act on (recovery and clearing the buffers).
    using RequestSink = std::function<void(const escpos::Command&)>;
    PrinterSession(const escpos::ConditionSet& conditions, ReplySink reply, AnsweredSink answered,
        RequestSink request = {});

    void receive(std::string_view bytes);
    // The connection has ended: a command it left incomplete is kept, logged as truncated.
    void close() { m_splitter.finish(); }
    // Bytes received and not yet printed: the commands kept and a command still incomplete.
    std::size_t bufferedBytes() const { return m_keptBytes + m_splitter.pendingBytes(); }
    bool hasCommands() const { return !m_kept.empty(); }
    // Hands the kept commands to the engine in the order received; while `held`, only up to the
    // first that needs the printer to print, and none once `budget` bytes were handed over.
    // Returns the bytes handed over.
    std::size_t printInto(
        ReceiptBuilder& engine, bool held, std::size_t budget = static_cast<std::size_t>(-1));
    // The printer's conditions changed: the automatic status message goes out when a status the
    // connection chose to hear of changed.
    void conditionsChanged();
    // The receive buffer is cleared (DLE ENQ 2, DLE DC4 8): what was kept is never printed.
    void clearBuffer();

private:
    struct Kept {
        escpos::CommandKind kind;
        escpos::CommandCode code;
        std::string bytes;
        std::uint64_t missing;
        std::string reply; // what a real-time request was answered
    };
    void keep(const escpos::Command& command);
    // GS a: chooses what is reported and sends the message at once.
    void chooseAutoStatus(const escpos::Command& command);

    const escpos::ConditionSet& m_conditions;
    ReplySink m_reply;
    AnsweredSink m_answered;
    RequestSink m_request;
    escpos::CommandSplitter m_splitter;
    std::deque<Kept> m_kept;
    std::size_t m_keptBytes = 0;
    std::uint8_t m_autoStatus = 0; // GS a n's bits; 0: off
    std::string m_autoStatusSent; // the last message sent
};

// DLE EOT, DLE ENQ and DLE DC4: acted on as they arrive, ahead of the commands before them.
bool isRealTime(const escpos::Command& command);

} // namespace emulator
