#pragma once
// The published mappings of the code tables, independent of the program's own tables: glibc's
// charmap files as Debian ships them (/usr/share/i18n/charmaps/*.gz), read with zcat.

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace testsupport {

// Byte to character of the charmap file `name` ("IBM437"); empty when it is not installed.
std::map<int, char32_t> charmap(const std::string& name);

// The glibc charmap a printer's ESC t table is published as, or nullopt when glibc has none.
std::optional<std::string> charmapOfTable(std::uint8_t table);

// The upper half (0x80-0xFF) of ESC t table `table` as published: glibc's charmap, with the
// revisions glibc's file predates; empty when glibc has no charmap for the table.
std::map<int, char32_t> publishedTable(std::uint8_t table);

// Printer bytes read back as text: ESC t n selects table n (ASCII until then), each other
// byte is the character the reference gives it, U+FFFD where it gives none.
std::u32string decodeThroughReference(const std::string& bytes);

} // namespace testsupport
