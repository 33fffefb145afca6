#include "MoFiles.h"

#include "tests/support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace motest {

namespace {

std::string poString(const std::string& text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        switch (c) {
        case '\\':
            quoted += "\\\\";
            break;
        case '"':
            quoted += "\\\"";
            break;
        case '\n':
            quoted += "\\n";
            break;
        case '\r':
            quoted += "\\r";
            break;
        default:
            quoted += c;
        }
    }
    return quoted + "\"";
}

bool isBigEndian(const std::string& mo)
{
    return static_cast<unsigned char>(mo[0]) == 0x95;
}

} // namespace

const std::vector<Layout>& allLayouts()
{
    static const std::vector<Layout> layouts {
        { false, true, "little-endian with hash" },
        { true, true, "big-endian with hash" },
        { false, false, "little-endian without hash" },
        { true, false, "big-endian without hash" },
    };
    return layouts;
}

std::string compileCatalog(
    const std::vector<Entry>& entries, const Layout& layout, const std::string& charset)
{
    testsupport::TempDir work;
    std::string po
        = "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=" + charset + "\\n\"\n\n";
    for (const Entry& entry : entries)
        po += "msgid " + poString(entry.msgid) + "\nmsgstr " + poString(entry.msgstr) + "\n\n";
    work.writeFile("messages.po", po);
    const std::string command = std::string("msgfmt --endianness=")
        + (layout.bigEndian ? "big" : "little") + (layout.hashTable ? "" : " --no-hash") + " -o '"
        + work.file("messages.mo") + "' '" + work.file("messages.po") + "'";
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("msgfmt failed: " + command);
    return work.readFile("messages.mo");
}

void writeCatalog(const std::string& path, const std::vector<Entry>& entries, const Layout& layout,
    const std::string& charset)
{
    writeBytes(path, compileCatalog(entries, layout, charset));
}

std::uint32_t readWord(const std::string& mo, std::size_t offset)
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        const auto byte = static_cast<unsigned char>(mo.at(offset + (isBigEndian(mo) ? i : 3 - i)));
        value = (value << 8) | byte;
    }
    return value;
}

void writeWord(std::string& mo, std::size_t offset, std::uint32_t value)
{
    const bool big = isBigEndian(mo);
    for (int i = 0; i < 4; ++i)
        mo.at(offset + (big ? 3 - i : i)) = static_cast<char>((value >> (8 * i)) & 0xff);
}

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace motest
