#include "emulator/PrinterSession.h"

#include "emulator/StatusReplies.h"
#include "escpos/AutoStatus.h"

namespace emulator {

bool isRealTime(const escpos::Command& command)
{
    return command.kind == escpos::CommandKind::Known && command.code >> 8 == 0x10;
}

namespace {

bool isAutoStatusChoice(const escpos::Command& command)
{
    return command.kind == escpos::CommandKind::Known && command.code == escpos::gs('a');
}

} // namespace

PrinterSession::PrinterSession(const escpos::ConditionSet& conditions, ReplySink reply,
    AnsweredSink answered, RequestSink request)
    : m_conditions(conditions)
    , m_reply(std::move(reply))
    , m_answered(std::move(answered))
    , m_request(std::move(request))
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
        if (command.code != escpos::dle('\x04') && m_request)
            m_request(command);
        if (m_kept.empty() && m_answered)
            return m_answered(command, reply);
    }
    if (isAutoStatusChoice(command) && m_kept.empty()) {
        chooseAutoStatus(command);
        if (m_answered)
            m_answered(command, {});
        return;
    }
    m_keptBytes += command.bytes.size();
    m_kept.push_back(
        { command.kind, command.code, std::string(command.bytes), command.missing, reply });
}

std::size_t PrinterSession::printInto(ReceiptBuilder& engine, bool held, std::size_t budget)
{
    std::size_t printed = 0;
    while (!m_kept.empty() && printed < budget) {
        const auto& front = m_kept.front();
        if (held && waitsForPrinter({ front.kind, front.code, front.bytes, front.missing }))
            break;
        const auto kept = std::move(m_kept.front());
        m_kept.pop_front();
        m_keptBytes -= kept.bytes.size();
        printed += kept.bytes.size();
        const escpos::Command command { kept.kind, kept.code, kept.bytes, kept.missing };
        auto reply = kept.reply;
        if (isAutoStatusChoice(command))
            chooseAutoStatus(command);
        else if (!isRealTime(command)) {
            reply = statusReply(command, withImpliedConditions(m_conditions));
            if (!reply.empty() && m_reply)
                m_reply(reply);
        }
        engine.apply(command, reply);
    }
    return printed;
}

void PrinterSession::chooseAutoStatus(const escpos::Command& command)
{
    m_autoStatus = command.at(2) & escpos::kAutoStatusAll;
    m_autoStatusSent.clear();
    if (m_autoStatus == 0)
        return;
    m_autoStatusSent = escpos::autoStatusMessage(withImpliedConditions(m_conditions));
    if (m_reply)
        m_reply(m_autoStatusSent);
}

void PrinterSession::conditionsChanged()
{
    if (m_autoStatus == 0)
        return;
    auto message = escpos::autoStatusMessage(withImpliedConditions(m_conditions));
    if (!escpos::autoStatusDiffers(m_autoStatus, m_autoStatusSent, message))
        return;
    m_autoStatusSent = std::move(message);
    if (m_reply)
        m_reply(m_autoStatusSent);
}

void PrinterSession::clearBuffer()
{
    m_kept.clear();
    m_keptBytes = 0;
}

} // namespace emulator
