#include "cli/CodeTableText.h"

#include "cli/InputBytes.h"
#include "cli/PrintText.h"
#include "cli/UsageError.h"
#include "escpos/CapabilityPage.h"
#include "escpos/PrinterProfile.h"
#include "escpos/Utf8.h"

#include <stdexcept>

namespace cli {

namespace {

std::vector<const escpos::CodePage*> profileTables(const std::string& file)
{
    escpos::PrinterProfile profile;
    try {
        profile = escpos::readProfile(readInputBytes(file));
    } catch (const escpos::ProfileError& error) {
        throw UsageError(file + ": not a printer profile: " + error.what());
    }
    std::vector<const escpos::CodePage*> tables;
    // Tables this program does not know are left out: a profile may come from elsewhere.
    for (const auto& [number, name] : profile.codePages)
        if (const auto* page = escpos::findCodePage(std::uint8_t(number)))
            tables.push_back(page);
    if (tables.empty())
        throw UsageError(file + ": the profile names no code table this program knows");
    return tables;
}

} // namespace

void checkCodeTableOptions(const Invocation& invocation)
{
    const bool printText = invocation.action == Action::PrintText;
    if ((invocation.codeTable || invocation.profileFile) && !printText)
        throw UsageError("--code-table and --profile apply to the print-text command only");
    if (invocation.codeTables && invocation.action != Action::CapabilityPage)
        throw UsageError("--code-tables applies to the capability-page command only");
    if (printText && !invocation.codeTable == !invocation.profileFile)
        throw UsageError("print-text needs one of --code-table and --profile");
    if (invocation.codeTable && !escpos::findCodePageNamed(*invocation.codeTable))
        throw UsageError("unknown code table '" + *invocation.codeTable + "'");
    if (invocation.codeTables) {
        try {
            escpos::parseCodeTableList(*invocation.codeTables);
        } catch (const std::invalid_argument& error) {
            throw UsageError(error.what());
        }
    }
}

escpos::EncodedText codeTableTextBytes(const Invocation& invocation)
{
    const auto tables = invocation.codeTable
        ? std::vector { escpos::findCodePageNamed(*invocation.codeTable) }
        : profileTables(*invocation.profileFile);
    const std::string& operand = *invocation.operand;
    std::string text = withCrLfLineEnds(operand == "-" ? readInputBytes(operand) : operand);
    if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0)
        text += "\r\n"; // the last line prints too
    return escpos::TextEncoder(tables).encode(text);
}

std::string unencodableMessage(const std::u32string& characters)
{
    std::string list;
    for (const char32_t c : characters)
        list += (list.empty() ? "" : " ") + escpos::utf8Text(std::u32string(1, c));
    return "no chosen code table has these characters, sent as '?': " + list;
}

std::string capabilityPageBytes(const Invocation& invocation)
{
    const auto tables = invocation.codeTables ? escpos::parseCodeTableList(*invocation.codeTables)
                                              : escpos::commonCodeTables();
    return escpos::capabilityPageBytes(escpos::capabilityItems(tables));
}

} // namespace cli
