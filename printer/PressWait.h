#pragma once
// Waiting on a printer without freezing the program: the application installs a hook that the
// transports call at least every waitSlice while they wait (the window repaints there and shows
// that it is busy). Without a hook, waiting is plain waiting.

#include <chrono>
#include <functional>

namespace printer {

// The longest a transport waits between two calls of the hook.
constexpr std::chrono::milliseconds waitSlice(50);

// How long a printer may take no byte before a send gives up; the same for every connection.
constexpr std::chrono::seconds noProgressLimit(7);

// Installs the hook for the calling thread (called only on it); an empty function removes it.
void setWaitHook(std::function<void()> hook);

// Calls the hook, if one is installed.
void keepWaiting();

} // namespace printer
