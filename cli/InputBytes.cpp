#include "cli/InputBytes.h"

#include "cli/UsageError.h"
#include "platform/AnsiText.h"
#include "platform/ErrorReport.h"
#include "platform/FileDescriptor.h"
#include "platform/IoError.h"

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <unistd.h>

namespace cli {

namespace {

[[noreturn]] void unreadable(const std::string& name, int error)
{
    // The runtime's message is one of the program's own (Windows-1252) texts.
    throw UsageError(name + ": "
        + platform::ansiToUtf8(
            platform::errorReportText(platform::ioErrorMessage(platform::ioCodeFromErrno(error)))));
}

// Reads to the end, handing each piece on as it arrives; pipes and process substitutions work
// as well as files.
void readPieces(int fd, const std::string& name, const std::function<void(std::string_view)>& take)
{
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0)
            take(std::string_view(buffer, static_cast<std::size_t>(got)));
        else if (got == 0)
            return;
        else if (errno != EINTR)
            unreadable(name, errno);
    }
}

void readAll(int fd, const std::string& name, std::string& bytes)
{
    readPieces(fd, name, [&](std::string_view piece) { bytes.append(piece); });
}

} // namespace

std::string readInputBytes(const std::string& nameOrDash)
{
    std::string bytes;
    if (nameOrDash == "-") {
        readAll(STDIN_FILENO, "standard input", bytes);
        return bytes;
    }
    const platform::FileDescriptor file(::open(nameOrDash.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0)
        unreadable(nameOrDash, errno);
    readAll(file.get(), nameOrDash, bytes);
    return bytes;
}

void streamStandardInput(const std::function<void(std::string_view)>& take)
{
    readPieces(STDIN_FILENO, "standard input", take);
}

} // namespace cli
