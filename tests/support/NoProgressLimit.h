#pragma once
// The window's no-progress limit: a press ends once the printer has taken nothing for 7 s. A
// press that ends on it took at least 6.9 s (the clock's rounding) and at most 8.5 s: what the
// printer takes before it stalls goes in well within the rest, on a loaded machine too, while a
// limit raised by a second or more is caught.
#include <chrono>

namespace testsupport {

inline constexpr auto kNoProgressAtLeast = std::chrono::milliseconds(6900);
inline constexpr auto kNoProgressAtMost = std::chrono::milliseconds(8500);

} // namespace testsupport
