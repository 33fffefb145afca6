#pragma once
// The small pieces of JSON that quillet-send writes.

#include "escpos/Json.h"

#include <optional>
#include <string>
#include <string_view>

namespace cli {

using escpos::jsonString;
// true, false or null.
std::string jsonFlag(std::optional<bool> value);

} // namespace cli
