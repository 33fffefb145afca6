#pragma once
// The runtime's numbered I/O errors, as the parallel printer output reports them.

#include <string>

namespace platform {

// Maps an errno value to the runtime's code: ENOENT 2, ENOTDIR/ENAMETOOLONG 3,
// EMFILE/ENFILE 4, EACCES/EPERM/EROFS 5, ENOSPC 101, EIO 31 (a device that does not work;
// its own number would collide with 5), any other its own number.
int ioCodeFromErrno(int error);

// "File not found" for 2 and so on; "I/O error %d" for codes without a text of their own; each
// through the loader of built-in texts.
std::string ioErrorMessage(int code);

[[noreturn]] void raiseInOutError(int code);

} // namespace platform
