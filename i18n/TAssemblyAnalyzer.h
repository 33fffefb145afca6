#pragma once
// The table of catalogs embedded in the executable. A packaging step may append catalogs to
// the executable file and patch the offset in its marker (a 44-byte constant: the 36
// characters of the marker's identifier, then an 8-byte little-endian file position). That
// position starts a chain of entries, each naming one catalog by its path relative to the
// executable's folder. As built the offset is 0 and nothing is embedded.

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace gnugettext {

// Where one embedded catalog lies inside the executable file.
struct TAssemblyFileInfo {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
};

// Scans the chain of embedded catalogs once and answers which catalog paths it holds.
class TAssemblyAnalyzer {
public:
    // Reads the chain of executablePath from chainOffset on. 0 reads nothing and does not
    // open the file. A read failure, a duplicate name or a chain that does not move forward
    // ends the scan quietly; the entries read so far stay.
    void analyze(const std::string& executablePath, std::uint64_t chainOffset);

    // The embedded catalog for a full catalog path: the path must begin with the
    // executable's folder, and the rest is compared without regard to letter case.
    std::optional<TAssemblyFileInfo> find(const std::string& catalogPath) const;

    // The executable file the table describes (empty when nothing was scanned).
    const std::string& executablePath() const { return m_executablePath; }

    // The offset stored in this program's own marker.
    static std::uint64_t builtInChainOffset();
    // The offset stored in the marker of an executable file, 0 when it has none.
    static std::uint64_t chainOffsetInFile(const std::string& path);

private:
    struct CaseInsensitiveLess {
        bool operator()(const std::string& left, const std::string& right) const;
    };

    std::string m_executablePath;
    std::string m_directory;
    std::map<std::string, TAssemblyFileInfo, CaseInsensitiveLess> m_files;
};

} // namespace gnugettext
