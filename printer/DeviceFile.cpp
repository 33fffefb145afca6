#include "printer/DeviceFile.h"

#include "platform/IoError.h"
#include "printer/DescriptorWrite.h"
#include "printer/PrinterDevice.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace printer {

namespace {

// The runtime's code for a handle whose type it cannot tell.
constexpr int unknownHandleType = 105;

bool knownType(mode_t mode)
{
    return S_ISREG(mode) || S_ISCHR(mode) || S_ISFIFO(mode) || S_ISSOCK(mode) || S_ISBLK(mode);
}

} // namespace

void DeviceFile::open(const std::string& path)
{
    if (!path.empty()) {
        // Non-blocking, so a printer that stops taking bytes is waited for with poll() under
        // the no-progress limit instead of stopping the window in write().
        m_owned.reset(openPrinterDevice(path, false, m_characterDevice));
        if (!m_owned.valid())
            return fail(platform::ioCodeFromErrno(errno));
        m_fd = m_owned.get();
        return;
    }
    m_fd = STDOUT_FILENO;
    struct stat info;
    if (::fstat(m_fd, &info) != 0 || !knownType(info.st_mode)) {
        m_fd = -1;
        return fail(unknownHandleType);
    }
    m_characterDevice = S_ISCHR(info.st_mode);
}

void DeviceFile::write(const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t piece = std::min(bufferSize - m_used, bytes.size() - done);
        std::copy_n(bytes.data() + done, piece, m_buffer + m_used);
        m_used += piece;
        done += piece;
        if (m_used == bufferSize)
            passBuffer();
    }
}

void DeviceFile::flush()
{
    if (m_characterDevice)
        passBuffer();
}

void DeviceFile::close()
{
    passBuffer();
    m_fd = -1;
    if (!m_owned.valid())
        return;
    // After EINTR the descriptor is closed all the same; only a real error is reported.
    if (const int error = m_owned.close(); error != 0 && error != EINTR)
        fail(platform::ioCodeFromErrno(error));
}

int DeviceFile::takeError()
{
    const int code = m_error;
    m_error = 0;
    return code;
}

void DeviceFile::passBuffer()
{
    pass(m_buffer, m_used);
    m_used = 0;
}

void DeviceFile::pass(const char* data, std::size_t size)
{
    // After a failure the device gets nothing more; the pending code is raised at the next check.
    if (m_error != 0 || m_fd < 0)
        return;
    if (const int code = writeUnderProgressLimit(m_fd, data, size))
        fail(code);
}

void DeviceFile::fail(int code)
{
    if (m_error == 0)
        m_error = code;
}

} // namespace printer
