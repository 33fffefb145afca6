#pragma once
// The library's one connection and the lock that guards it, shared by the files that implement
// the C interface.

#include "zevaruv/NetConnection.h"

#include <mutex>

namespace zevaruv {

extern std::mutex connectionMutex;
extern NetConnection connection;

} // namespace zevaruv
