#pragma once
// Writing through a blocking descriptor of the device, so the kernel itself waits for room
// between pieces (a poll() and a write() per piece of free room cost a tenth of the throughput
// on a fast line). A per-thread timer interrupts the write every few milliseconds, so the time
// limit holds and an abort is seen; it runs only during the write. It uses one real-time
// signal of its own (blockingWriteSignal), whose handler does nothing.

#include <chrono>
#include <csignal>
#include <cstddef>
#include <functional>
#include <optional>

namespace cport {

inline const int blockingWriteSignal = SIGRTMAX - 1;

// Whether this thread can write blocking (its timer exists and the signal is ours); when not,
// the caller waits with poll() instead.
bool blockingWritesAvailable();

// Writes count bytes to the blocking descriptor fd until all are written, the deadline (none:
// no limit) has passed or keepGoing() turns false. `written` gets the bytes written; the
// result is 0 or the errno of a failed write.
int writeBlocking(int fd, const char* bytes, std::size_t count,
    const std::optional<std::chrono::steady_clock::time_point>& deadline,
    const std::function<bool()>& keepGoing, std::size_t& written);

} // namespace cport
