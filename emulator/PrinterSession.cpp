#include "emulator/PrinterSession.h"

#include "emulator/StatusReplies.h"

namespace emulator {

PrinterSession::PrinterSession(
    ReceiptBuilder& engine, const escpos::ConditionSet& conditions, ReplySink reply)
    : m_engine(engine)
    , m_conditions(conditions)
    , m_reply(std::move(reply))
    , m_splitter([this](const escpos::Command& command) {
        const auto answer = statusReply(command, withImpliedConditions(m_conditions));
        if (!answer.empty() && m_reply)
            m_reply(answer);
        m_engine.apply(command, answer);
    })
{
}

void PrinterSession::receive(std::string_view bytes)
{
    m_splitter.feed(bytes);
}

} // namespace emulator
