#pragma once
// Whole-file reading and replacement for small stores kept as text files. A replacement is
// atomic: readers see the old or the new content, never a mixture, and a crash leaves one of
// the two on disk.

#include <string>

namespace platform {

// Reads the whole regular file at path into bytes. 0, or the errno: ENOENT or ENOTDIR when it
// does not exist, EISDIR or EINVAL when it is not a regular file (a FIFO never blocks the read).
int readWholeFile(const std::string& path, std::string& bytes);

// Replaces the file at path with bytes: a new temporary file beside it is written, synced and
// renamed over it, then the folder is synced. A symbolic link stays a link and its target is
// replaced; an existing file keeps its permission bits, a new one gets 0666 less the umask.
// No folder is created. 0, or the errno; on failure the file is left as it was.
int replaceWholeFile(const std::string& path, const std::string& bytes);

} // namespace platform
