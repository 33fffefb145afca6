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

bool RegistryFile::Stamp::operator==(const Stamp& other) const
{
    const auto same = [](const timespec& a, const timespec& b) {
        return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
    };
    return device == other.device && inode == other.inode && size == other.size
        && same(modified, other.modified) && same(changed, other.changed);
}

RegistryFile::Stamp RegistryFile::stampNow() const
{
    Stamp stamp;
    struct stat info;
    if (::stat(m_path.c_str(), &info) == 0) {
        stamp.device = info.st_dev;
        stamp.inode = info.st_ino;
        stamp.size = info.st_size;
        stamp.modified = info.st_mtim;
        stamp.changed = info.st_ctim;
    }
    return stamp;
}

std::shared_ptr<const RegistryTree> RegistryFile::load() const
{
    // Taken before the read: a change made meanwhile only costs one more read later.
    const Stamp stamp = stampNow();
    if (m_cached && stamp == m_cachedStamp)
        return m_cached;
    std::string bytes;
    if (const int error = readWholeFile(m_path, bytes, maxRegistryStoreSize)) {
        if (error == ENOENT || error == ENOTDIR)
            return std::make_shared<const RegistryTree>();
        throw unreadable(m_path, error);
    }
    auto parsed = parseRegistryFile(bytes);
    if (const auto* fault = std::get_if<RegistryParseError>(&parsed)) {
        throw ERegistryFileError(formatBuiltin(BuiltinText::RegistryStoreDamaged,
                                     { m_path, std::int64_t { fault->line }, fault->reason }),
            m_path);
    }
    m_cached = std::make_shared<const RegistryTree>(std::get<RegistryTree>(std::move(parsed)));
    m_cachedStamp = stamp;
    return m_cached;
}

bool RegistryFile::update(const std::function<bool(RegistryTree&)>& change) const
{
    if (!makeFolders(std::filesystem::path(m_path).parent_path()))
        return false;
    const WriterLock lock(m_path + ".lock", WriterLock::Kind::LockFile);
    if (lock.error())
        return false;
    RegistryTree tree = *load();
    return change(tree) && write(std::move(tree));
}

bool RegistryFile::write(RegistryTree tree) const
{
    const std::string bytes = formatRegistryFile(tree);
    // A store this program could not read back is never written.
    if (bytes.size() > maxRegistryStoreSize || replaceWholeFile(m_path, bytes) != 0)
        return false;
    // Still under the writer lock: the file now holds exactly this tree.
    m_cached = std::make_shared<const RegistryTree>(std::move(tree));
    m_cachedStamp = stampNow();
    return true;
}

} // namespace platform
