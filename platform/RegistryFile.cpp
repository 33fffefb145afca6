#include "platform/RegistryFile.h"

#include "platform/AtomicFile.h"
#include "platform/BuiltinTexts.h"
#include "platform/FileDescriptor.h"
#include "platform/RegistryError.h"
#include "platform/RegistryFormat.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::string homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    struct passwd entry;
    struct passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found)
        return found->pw_dir;
    return "/";
}

// Creates folder and its missing parents, private to the user as XDG asks.
bool makeFolders(const std::filesystem::path& folder)
{
    std::error_code ignored;
    if (folder.empty() || std::filesystem::is_directory(folder, ignored))
        return true;
    if (!makeFolders(folder.parent_path()))
        return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool writeAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// The file a write must replace: a store kept as a symbolic link (dotfile managers do that)
// stays a link, and its target is updated.
std::filesystem::path replacedFile(const std::string& path)
{
    std::error_code error;
    const auto target = std::filesystem::canonical(path, error);
    return error ? std::filesystem::path(path) : target;
}

ERegistryFileError unreadable(const std::string& path, int error)
{
    return ERegistryFileError(
        formatBuiltin(BuiltinText::RegistryStoreUnreadable, { path, std::strerror(error) }), path);
}

} // namespace

std::string registryStorePath()
{
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    const std::string base
        = configHome && configHome[0] == '/' ? configHome : homeFolder() + "/.config";
    return base + "/quillet/registry.reg";
}

RegistryFile::RegistryFile(std::string path)
    : m_path(std::move(path))
{
}

RegistryTree RegistryFile::load() const
{
    std::string bytes;
    if (const int error = readWholeFile(m_path, bytes)) {
        if (error == ENOENT || error == ENOTDIR)
            return RegistryTree();
        throw unreadable(m_path, error);
    }
    auto parsed = parseRegistryFile(bytes);
    if (const auto* fault = std::get_if<RegistryParseError>(&parsed)) {
        throw ERegistryFileError(formatBuiltin(BuiltinText::RegistryStoreDamaged,
                                     { m_path, std::int64_t { fault->line }, fault->reason }),
            m_path);
    }
    return std::get<RegistryTree>(std::move(parsed));
}

bool RegistryFile::update(const std::function<bool(RegistryTree&)>& change) const
{
    if (!makeFolders(std::filesystem::path(m_path).parent_path()))
        return false;
    const std::string lockPath = m_path + ".lock";
    FileDescriptor lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (lock.get() < 0)
        return false;
    int locked;
    do
        locked = ::flock(lock.get(), LOCK_EX);
    while (locked != 0 && errno == EINTR);
    if (locked != 0)
        return false;
    // Closing the lock file when this returns releases the lock.
    RegistryTree tree = load();
    return change(tree) && write(tree);
}

bool RegistryFile::write(const RegistryTree& tree) const
{
    const std::filesystem::path target = replacedFile(m_path);
    // A fixed name is safe: only the holder of the lock writes it.
    const std::filesystem::path temporary = target.string() + ".tmp";
    FileDescriptor file(
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666));
    if (file.get() < 0)
        return false;
    const bool written = writeAll(file.get(), formatRegistryFile(tree)) && ::fsync(file.get()) == 0
        && file.close() == 0 && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!written) {
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename itself must reach the disk, or a crash could bring the old store back.
    FileDescriptor folder(::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        ::fsync(folder.get());
    return true;
}

} // namespace platform
