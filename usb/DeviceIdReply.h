#pragma once
// The reply to the printer class's GET_DEVICE_ID request: two length bytes (big-endian), then
// the IEEE-1284 device ID text. The standard counts the two length bytes in the length; the
// Linux printer gadget (and some printers) leave them out. Only the bytes actually received
// are ever read, whatever the length claims.

#include "printer/LptKernelView.h"

#include <optional>
#include <string>
#include <string_view>

namespace usb {

// The device ID text of a reply of `received` bytes; nullopt when the reply is too short to
// hold any text. Trailing NUL bytes are dropped.
std::optional<std::string> deviceIdText(std::string_view received);

// The text taken apart (maker, model, command set); nullopt as above.
std::optional<printer::Ieee1284Id> parseDeviceIdReply(std::string_view received);

} // namespace usb
