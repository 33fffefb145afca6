#pragma once
// What the pane's sections are handed to act as the pane does.

#include <functional>
#include <string>

namespace diagnostics {

// Runs one of the pane's actions (a question, opening the port to hold it); the window wraps
// them, to show it is busy and to add the permission hint to a failure.
using ActionGuard = std::function<void(const std::function<void()>& action)>;

// The pane's press: the bytes go out, and the verdict and the status after it are shown.
using PanePress = std::function<void(const std::string& bytes)>;

} // namespace diagnostics
