#pragma once
// Whole-file reading and replacement for small stores kept as text files. A replacement is
// atomic: readers see the old or the new content, never a mixture, and a crash leaves one of
// the two on disk. Writers serialise on a writer lock and re-read the file under it, so
// concurrent writers (other objects, other processes) lose nothing.

#include "platform/FileDescriptor.h"

#include <cstddef>
#include <limits>
#include <string>

namespace platform {

// Reads the whole regular file at path into bytes. 0, or the errno: ENOENT or ENOTDIR when it
// does not exist, EISDIR or EINVAL when it is not a regular file (a FIFO never blocks the read),
// EFBIG when it holds more than limit bytes (nothing more than that is read).
int readWholeFile(const std::string& path, std::string& bytes,
    std::size_t limit = std::numeric_limits<std::size_t>::max());

// The file that writing path replaces: the final target of the symbolic links at path, also
// when that target does not exist yet (a dangling link is written through), otherwise path.
std::string replacedFile(const std::string& path);

// The exclusive lock every writer of a file holds while it reads, changes and replaces it.
// Waits while another writer holds it; released when the object goes.
class WriterLock {
public:
    enum class Kind {
        Folder, // an existing folder (nothing is left beside the file)
        LockFile, // a lock file, created when missing and left in place
    };
    WriterLock(const std::string& lockPath, Kind kind);
    // 0 when the lock is held, else the errno that prevented it.
    int error() const { return m_error; }

private:
    FileDescriptor m_file;
    int m_error = 0;
};

// Replaces the file at path with bytes: the temporary file "<target>.tmp" beside it is
// written, synced and renamed over it, then the folder is synced. The caller holds the file's
// writer lock. A symbolic link stays a link and its target is replaced; an existing file keeps
// its permission bits, a new one gets 0666 less the umask. No folder is created. 0, or the
// errno; on failure the file is left as it was.
int replaceWholeFile(const std::string& path, const std::string& bytes);

} // namespace platform
