#include "emulator/PrinterSession.h"

#include "emulator/StatusReplies.h"

namespace emulator {

bool isRealTime(const escpos::Command& command)
{
    return command.kind == escpos::CommandKind::Known && command.code >> 8 == 0x10;
}

PrinterSession::PrinterSession(
    const escpos::ConditionSet& conditions, ReplySink reply, AnsweredSink answered)
    : m_conditions(conditions)
    , m_reply(std::move(reply))
    , m_answered(std::move(answered))
    , m_splitter([this](const escpos::Command& command) { keep(command); })
{
}

void PrinterSession::receive(std::string_view bytes)
{
    m_splitter.feed(bytes);
}

void PrinterSession::keep(const escpos::Command& command)
{
    std::string reply;
    if (isRealTime(command)) {
        reply = statusReply(command, withImpliedConditions(m_conditions));
        if (!reply.empty() && m_reply)
            m_reply(reply);
        if (m_kept.empty() && m_answered)
            return m_answered(command, reply);
    }
    m_keptBytes += command.bytes.size();
    m_kept.push_back(
        { command.kind, command.code, std::string(command.bytes), command.missing, reply });
}

bool PrinterSession::printInto(ReceiptBuilder& engine, bool held)
{
    bool printed = false;
    while (!m_kept.empty()) {
        const auto& front = m_kept.front();
        if (held && waitsForPrinter({ front.kind, front.code, front.bytes, front.missing }))
            break;
        const auto kept = std::move(m_kept.front());
        m_kept.pop_front();
        m_keptBytes -= kept.bytes.size();
        printed = true;
        const escpos::Command command { kept.kind, kept.code, kept.bytes, kept.missing };
        auto reply = kept.reply;
        if (!isRealTime(command)) {
            reply = statusReply(command, withImpliedConditions(m_conditions));
            if (!reply.empty() && m_reply)
                m_reply(reply);
        }
        engine.apply(command, reply);
    }
    return printed;
}

} // namespace emulator
