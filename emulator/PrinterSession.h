#pragma once

#include "emulator/ReceiptBuilder.h"
#include "escpos/CommandSplitter.h"
#include "escpos/PrinterStatus.h"

#include <functional>
#include <string_view>

namespace emulator {

// One connection to the printer: its byte stream split into commands, status queries answered
// at once (a reply leaves before the next command is read, as a real-time reply does), and every
// command passed on to the print engine that all connections share.
class PrinterSession {
public:
    using ReplySink = std::function<void(std::string_view)>;
    PrinterSession(ReceiptBuilder& engine, const escpos::ConditionSet& conditions, ReplySink reply);

    void receive(std::string_view bytes);
    // The connection has ended: a command it left incomplete is logged.
    void close() { m_splitter.finish(); }

private:
    ReceiptBuilder& m_engine;
    const escpos::ConditionSet& m_conditions;
    ReplySink m_reply;
    escpos::CommandSplitter m_splitter;
};

} // namespace emulator
