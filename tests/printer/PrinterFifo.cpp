#include "tests/printer/PrinterFifo.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

PrinterFifo::PrinterFifo(const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    if (mkfifo(path.c_str(), 0600) != 0)
        throw std::runtime_error("cannot make the FIFO " + path);
    m_fd.reset(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!m_fd.valid())
        throw std::runtime_error("cannot open the FIFO " + path);
}

std::string PrinterFifo::take()
{
    std::string bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(m_fd.get(), buffer, sizeof buffer);
        if (got > 0)
            bytes.append(buffer, static_cast<std::size_t>(got));
        else if (got < 0 && errno == EINTR)
            continue;
        else
            return bytes; // 0: no writer now; EAGAIN: a writer, but nothing more yet
    }
}

} // namespace testsupport
