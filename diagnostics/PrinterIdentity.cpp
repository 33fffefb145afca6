#include "diagnostics/PrinterIdentity.h"

#include "escpos/PrinterStatus.h"

#include <exception>

namespace diagnostics {

namespace {

// The text of a framed answer: 5F, the text, 00.
std::string answeredText(
    printer::PrinterLink& link, escpos::IdQuery query, std::chrono::milliseconds limit)
{
    const auto reply = link.ask(escpos::idQueryBytes(query), limit);
    if (!reply.answer || reply.answer->size() < 2)
        return {};
    return reply.answer->substr(1, reply.answer->size() - 2);
}

} // namespace

PrinterIdentity askIdentity(const std::function<std::unique_ptr<printer::PrinterLink>()>& openLink,
    std::chrono::milliseconds limit)
{
    PrinterIdentity identity;
    try {
        const auto link = openLink();
        if (!link->canAnswer())
            return identity;
        identity.maker = answeredText(*link, escpos::IdQuery::Maker, limit);
        identity.model = answeredText(*link, escpos::IdQuery::ModelName, limit);
        identity.firmware = answeredText(*link, escpos::IdQuery::Firmware, limit);
    } catch (const std::exception&) {
        // A printer that cannot be asked leaves the profile's identity for the technician.
    }
    return identity;
}

} // namespace diagnostics
