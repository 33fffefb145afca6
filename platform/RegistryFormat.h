#pragma once
// The text form of the registry store (REGEDIT4):
//
//   REGEDIT4
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Maker]
//   "Name"="text with \"quotes\" and \\ backslashes"
//   "Count"=dword:0000000a
//   @="the key's unnamed value"
//
// Inside quotes a backslash starts an escape: \\, \" or \xHH (any byte); value names and texts
// are written with bytes outside printable ASCII as \xHH. Key names stand in the section
// headers as they are (8-bit, no control characters). Lines end in LF (CR LF is accepted).
// Both functions are pure: parsing never touches a file.

#include "platform/RegistryTree.h"

#include <string>
#include <string_view>
#include <variant>

namespace platform {

// Why a text is not a store: the 1-based line and what is wrong there.
struct RegistryParseError {
    int line = 0;
    std::string reason;
};

// The store the bytes describe, or the first fault in them. Zero bytes are the empty store.
std::variant<RegistryTree, RegistryParseError> parseRegistryFile(std::string_view bytes);

// The text form of the store, keys and values ordered by folded name. Every key gets a section,
// so empty keys survive, except a root that holds no values but has sub-keys (their sections
// imply it). parseRegistryFile gives back an equal tree.
std::string formatRegistryFile(const RegistryTree& tree);

} // namespace platform
