#pragma once
// Reading a catalog's bytes into the program's own memory. A catalog is never looked up in a
// mapping of its file: a file replaced or truncated in place while the program runs (a
// translator copying a new default.mo over the old one) would take the mapped pages away and
// the next lookup would die of SIGBUS. A copy read at open keeps the translations the program
// started with until its next start.

#include <cstdint>
#include <string>

namespace gnugettext {

// Reads at most limit bytes of the regular file at path, starting at offset; fewer when the
// file ends earlier. Raises platform::Exception with "Cannot open file " + path,
// "Cannot create memory map on file " + path (not a regular file), or "Cannot map file " +
// path + " into memory. Reason: " + the system's text for a read error.
std::string readCatalogBytes(const std::string& path, std::uint64_t offset, std::uint64_t limit);

// True when path names an existing regular file (after following links).
bool isRegularFile(const std::string& path);

} // namespace gnugettext
