#include "emulator/ReceiptFiles.h"

#include <QBuffer>
#include <QImageWriter>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace emulator {

namespace fs = std::filesystem;

namespace {

// "0042" from 42; numbers past 9999 simply grow longer.
std::string numbered(int number)
{
    char name[16];
    std::snprintf(name, sizeof name, "%04d", number);
    return name;
}

// The number a receipt file's name starts with ("0042.png", "0042.txt", "0042.png.part"), or 0.
int numberOf(const std::string& name)
{
    const auto digits = name.find_first_not_of("0123456789");
    if (digits == 0 || digits == std::string::npos || digits > 9 || name[digits] != '.')
        return 0;
    return std::stoi(name.substr(0, digits));
}

int highestNumber(const std::string& folder)
{
    int highest = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        highest = std::max(highest, numberOf(entry.path().filename().string()));
    return highest;
}

[[noreturn]] void failed(const std::string& what, int error)
{
    throw std::runtime_error(what + ": " + std::strerror(error));
}

void writeFile(const std::string& path, const char* data, std::size_t size)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        failed("cannot write " + path, errno);
    while (size > 0) {
        const ssize_t wrote = ::write(fd, data, size);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            const int error = wrote < 0 ? errno : ENOSPC;
            ::close(fd);
            ::unlink(path.c_str());
            failed("cannot write " + path, error);
        }
        data += wrote;
        size -= static_cast<std::size_t>(wrote);
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(path.c_str());
        failed("cannot write " + path, error);
    }
}

// Moves a finished file to its name unless something is there; false when something is.
bool placeFile(const std::string& part, const std::string& path)
{
    if (::renameat2(AT_FDCWD, part.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    const int error = errno;
    ::unlink(part.c_str());
    if (error == EEXIST)
        return false;
    failed("cannot write " + path, error);
}

QByteArray pngOf(const QImage& picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setCompression(kReceiptPngCompression);
    if (!writer.write(picture))
        throw std::runtime_error(
            "cannot make a PNG picture: " + writer.errorString().toStdString());
    return bytes;
}

} // namespace

ReceiptFiles::ReceiptFiles(std::string folder)
    : m_folder(std::move(folder))
{
    std::error_code error;
    fs::create_directories(m_folder, error);
    if (!fs::is_directory(m_folder, error))
        throw std::runtime_error("cannot make the folder " + m_folder
            + (error ? ": " + error.message() : std::string(": something else is there")));
    // A folder that takes no files would lose every receipt: try one now.
    auto probe = m_folder + "/.quillet-virtual-printer-XXXXXX";
    const int fd = ::mkstemp(probe.data());
    if (fd < 0)
        failed("receipts cannot be written to " + m_folder, errno);
    ::close(fd);
    ::unlink(probe.c_str());
    m_next = highestNumber(m_folder) + 1;
}

std::string ReceiptFiles::save(const Receipt& receipt, const QImage& picture)
{
    std::string log;
    for (const auto& line : receipt.log)
        log += line + '\n';
    const auto png = pngOf(picture);
    for (;; ++m_next) {
        const auto base = m_folder + "/" + numbered(m_next);
        writeFile(base + ".txt.part", log.data(), log.size());
        if (!placeFile(base + ".txt.part", base + ".txt"))
            continue;
        try {
            writeFile(base + ".png.part", png.constData(), std::size_t(png.size()));
            if (!placeFile(base + ".png.part", base + ".png")) {
                ::unlink((base + ".txt").c_str());
                continue;
            }
        } catch (const std::runtime_error&) {
            ::unlink((base + ".txt").c_str()); // the log was ours: it goes with its picture
            throw;
        }
        ++m_next;
        return base + ".png";
    }
}

} // namespace emulator
