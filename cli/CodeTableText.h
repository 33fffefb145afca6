#pragma once
// print-text and capability-page: text sent in the printer's own code tables, and the page that
// shows which tables and commands a printer has.

#include "cli/Invocation.h"
#include "escpos/TextEncoder.h"

#include <string>

namespace cli {

// The combinations of --code-table, --profile and --code-tables that cannot be run, and names
// that are no code table. Raises UsageError.
void checkCodeTableOptions(const Invocation& invocation);

// print-text's bytes: the text (or standard input for "-") with CR LF line ends, in the table
// of --code-table or the tables of --profile, ending in a line break, and the characters sent
// as "?". A profile that cannot be read raises UsageError.
escpos::EncodedText codeTableTextBytes(const Invocation& invocation);

// The error line that lists the characters no chosen table has.
std::string unencodableMessage(const std::u32string& characters);

// capability-page's bytes, with the tables of --code-tables (the common ones by default).
std::string capabilityPageBytes(const Invocation& invocation);

} // namespace cli
