#include "printer/PrinterDevice.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace printer {

namespace {

bool isPrinterDevice(mode_t mode)
{
    return S_ISCHR(mode) || S_ISFIFO(mode);
}

const char* kindWords(mode_t mode)
{
    if (S_ISREG(mode))
        return "a regular file";
    if (S_ISBLK(mode))
        return "a block device (a disk)";
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISSOCK(mode))
        return "a socket";
    return "no device";
}

[[noreturn]] void refuse(const std::string& path, mode_t mode)
{
    throw ENotPrinterDevice(path + " is " + kindWords(mode)
        + ", not a printer device: only character devices and FIFOs are written to");
}

} // namespace

int openPrinterDevice(const std::string& path, bool bothWays, bool& characterDevice)
{
    struct stat info { };
    if (::stat(path.c_str(), &info) != 0)
        return -1;
    if (!isPrinterDevice(info.st_mode))
        refuse(path, info.st_mode);
    // Non-blocking: a FIFO without a reader fails at once (ENXIO) instead of hanging the press.
    const int access = bothWays && S_ISCHR(info.st_mode) ? O_RDWR : O_WRONLY;
    const int fd = ::open(path.c_str(), access | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return -1;
    if (::fstat(fd, &info) != 0 || !isPrinterDevice(info.st_mode)) {
        ::close(fd);
        refuse(path, info.st_mode);
    }
    characterDevice = S_ISCHR(info.st_mode);
    return fd;
}

} // namespace printer
