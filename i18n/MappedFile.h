#pragma once
// A file mapped whole and read-only into memory, for reading catalogs in place.

#include <cstddef>
#include <string>

namespace gnugettext {

// Owns the mapping of one file; released when the object goes.
class MappedFile {
public:
    // Opens path for reading and maps it. Raises platform::Exception with "Cannot open file "
    // + path, "Cannot create memory map on file " + path, or "Cannot map file " + path +
    // " into memory. Reason: " + the system's text for the error.
    explicit MappedFile(const std::string& path);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    const unsigned char* data() const { return m_data; }
    std::size_t size() const { return m_size; }

private:
    const unsigned char* m_data = nullptr;
    std::size_t m_size = 0;
};

// True when path names an existing regular file (after following links).
bool isRegularFile(const std::string& path);

} // namespace gnugettext
