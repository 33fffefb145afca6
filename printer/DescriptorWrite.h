#pragma once
// Writing to a printer device's non-blocking descriptor under the no-progress rule, shared by
// the parallel transport and the two-way parallel link.

#include <cstddef>

namespace printer {

// A Windows program writing to a printer that takes nothing gets ERROR_SEM_TIMEOUT: "The
// semaphore timeout period has expired" (the parallel driver's STATUS_IO_TIMEOUT).
constexpr int deviceTimeout = 121;

// Writes every byte, waiting (and calling the wait hook) while the device takes nothing, for
// at most printer::noProgressLimit without progress. 0, deviceTimeout, or the runtime's code
// of the errno that failed the write.
int writeUnderProgressLimit(int fd, const char* data, std::size_t size);

} // namespace printer
