#include "i18n/CatalogBytes.h"

#include "platform/Exception.h"
#include "platform/FileDescriptor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gnugettext {

namespace {

[[noreturn]] void raiseReadFailure(const std::string& path, int error)
{
    char text[256];
    // The GNU strerror_r: safe when catalogs open on several threads at once.
    const char* reason = ::strerror_r(error, text, sizeof text);
    throw platform::Exception("Cannot map file " + path + " into memory. Reason: " + reason);
}

} // namespace

std::string readCatalogBytes(const std::string& path, std::uint64_t offset, std::uint64_t limit)
{
    // O_NONBLOCK: a FIFO put in a catalog's place must not stall the program in open().
    const platform::FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0)
        throw platform::Exception("Cannot open file " + path);
    struct stat status;
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        throw platform::Exception("Cannot create memory map on file " + path);
    const std::uint64_t fileSize = static_cast<std::uint64_t>(status.st_size);
    if (offset >= fileSize)
        return {};
    // The size seen now bounds the buffer; a file that shrinks meanwhile just reads short.
    std::string bytes(static_cast<std::size_t>(std::min(limit, fileSize - offset)), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::pread(file.get(), bytes.data() + done, bytes.size() - done,
            static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            raiseReadFailure(path, errno);
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return bytes;
}

bool isRegularFile(const std::string& path)
{
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

} // namespace gnugettext
