#pragma once
// Test catalogs made by msgfmt from entries given in the test, and byte patches on them.

#include <cstdint>
#include <string>
#include <vector>

namespace motest {

struct Entry {
    std::string msgid;
    std::string msgstr;
};

struct Layout {
    bool bigEndian = false;
    bool hashTable = true;
    const char* name = "little-endian with hash";
};

// The four layouts msgfmt writes.
const std::vector<Layout>& allLayouts();

// The .mo bytes of entries (UTF-8 unless another charset is named).
std::string compileCatalog(const std::vector<Entry>& entries, const Layout& layout = {},
    const std::string& charset = "UTF-8");
// compileCatalog written to path, creating its folders.
void writeCatalog(const std::string& path, const std::vector<Entry>& entries,
    const Layout& layout = {}, const std::string& charset = "UTF-8");

// A 32-bit number of a catalog in its byte order.
std::uint32_t readWord(const std::string& mo, std::size_t offset);
void writeWord(std::string& mo, std::size_t offset, std::uint32_t value);

// Header fields of the .mo format.
enum Field : std::size_t {
    magicField = 0,
    revisionField = 4,
    countField = 8,
    originalsField = 12,
    translationsField = 16,
    hashSizeField = 20,
    hashTableField = 24,
};

// Writes bytes to path, creating its folders.
void writeBytes(const std::string& path, const std::string& bytes);

} // namespace motest
