#include "i18n/TAssemblyAnalyzer.h"

#include "platform/AsciiCase.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace gnugettext {

namespace {

constexpr std::size_t markerIdLength = 36;
constexpr std::size_t markerLength = markerIdLength + 8;
constexpr std::size_t entryHeaderLength = 24;
// Longer than any path a packaging step writes; a longer "name" means a damaged chain.
constexpr std::uint64_t maximumNameLength = 4096;

// volatile keeps the compiler from folding the offset into the code, so that a patched
// executable is read as patched; "used" keeps the marker in the file although nothing names
// it from outside.
[[gnu::used]] volatile const char embeddedMarker[markerLength]
    = "6637DB2E-62E1-4A60-AC19-C23867046A89\0\0\0\0\0\0\0";

std::uint64_t littleEndian64(const unsigned char* bytes)
{
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

bool readAt(std::ifstream& file, std::uint64_t position, char* buffer, std::size_t length)
{
    file.seekg(static_cast<std::streamoff>(position));
    file.read(buffer, static_cast<std::streamsize>(length));
    return file.good();
}

// The name as a path of this system: without surrounding blanks and control characters, and
// with the backslashes of the original platform's paths read as the path delimiter.
std::string catalogName(std::string name)
{
    const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    name.erase(name.begin(), std::find_if_not(name.begin(), name.end(), isBlank));
    name.erase(std::find_if_not(name.rbegin(), name.rend(), isBlank).base(), name.end());
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

} // namespace

bool TAssemblyAnalyzer::CaseInsensitiveLess::operator()(
    const std::string& left, const std::string& right) const
{
    return platform::compareIgnoringCase(left, right) < 0;
}

std::uint64_t TAssemblyAnalyzer::builtInChainOffset()
{
    unsigned char offset[8];
    for (std::size_t i = 0; i < sizeof offset; ++i)
        offset[i] = static_cast<unsigned char>(embeddedMarker[markerIdLength + i]);
    return littleEndian64(offset);
}

std::uint64_t TAssemblyAnalyzer::chainOffsetInFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    const std::string bytes { std::istreambuf_iterator<char>(file), {} };
    // The identifier is taken from the marker itself, so that this program's file holds it
    // only once.
    std::string id(markerIdLength, '\0');
    for (std::size_t i = 0; i < markerIdLength; ++i)
        id[i] = embeddedMarker[i];
    const std::size_t at = bytes.find(id);
    if (at == std::string::npos || bytes.size() - at < markerLength)
        return 0;
    return littleEndian64(
        reinterpret_cast<const unsigned char*>(bytes.data() + at + markerIdLength));
}

void TAssemblyAnalyzer::analyze(const std::string& executablePath, std::uint64_t chainOffset)
{
    if (chainOffset == 0)
        return;
    m_executablePath = executablePath;
    m_directory = executablePath.substr(0, executablePath.rfind('/') + 1);
    std::ifstream file(executablePath, std::ios::binary);
    std::uint64_t position = chainOffset;
    for (;;) {
        unsigned char header[entryHeaderLength];
        if (!readAt(file, position, reinterpret_cast<char*>(header), 8))
            return;
        const std::uint64_t next = littleEndian64(header);
        if (next == 0)
            return;
        // Each entry must lie after the one before, so a damaged chain cannot loop.
        if (next < position + entryHeaderLength
            || next - position - entryHeaderLength > maximumNameLength)
            return;
        if (!readAt(file, position + 8, reinterpret_cast<char*>(header + 8), 16))
            return;
        std::string name(next - position - entryHeaderLength, '\0');
        if (!readAt(file, position + entryHeaderLength, name.data(), name.size()))
            return;
        const TAssemblyFileInfo info { littleEndian64(header + 8), littleEndian64(header + 16) };
        if (!m_files.emplace(catalogName(std::move(name)), info).second)
            return;
        position = next;
    }
}

std::optional<TAssemblyFileInfo> TAssemblyAnalyzer::find(const std::string& catalogPath) const
{
    if (m_directory.empty() || catalogPath.compare(0, m_directory.size(), m_directory) != 0)
        return std::nullopt;
    const auto found = m_files.find(catalogPath.substr(m_directory.size()));
    if (found == m_files.end())
        return std::nullopt;
    return found->second;
}

} // namespace gnugettext
