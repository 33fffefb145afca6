#include "i18n/MappedFile.h"

#include "platform/Exception.h"
#include "platform/FileDescriptor.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gnugettext {

namespace {

} // namespace

MappedFile::MappedFile(const std::string& path)
{
    // O_NONBLOCK: a FIFO put in a catalog's place must not stall the program in open().
    const platform::FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0)
        throw platform::Exception("Cannot open file " + path);
    struct stat status;
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)
        || static_cast<std::uintmax_t>(status.st_size) > SIZE_MAX)
        throw platform::Exception("Cannot create memory map on file " + path);
    m_size = static_cast<std::size_t>(status.st_size);
    // An empty file has nothing to map; the catalog check rejects it as too short.
    if (m_size == 0)
        return;
    void* view = ::mmap(nullptr, m_size, PROT_READ, MAP_PRIVATE, file.get(), 0);
    if (view == MAP_FAILED) {
        char text[256];
        // The GNU strerror_r: safe when catalogs open on several threads at once.
        const char* reason = ::strerror_r(errno, text, sizeof text);
        throw platform::Exception("Cannot map file " + path + " into memory. Reason: " + reason);
    }
    m_data = static_cast<const unsigned char*>(view);
}

MappedFile::~MappedFile()
{
    if (m_data)
        ::munmap(const_cast<unsigned char*>(m_data), m_size);
}

bool isRegularFile(const std::string& path)
{
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

} // namespace gnugettext
