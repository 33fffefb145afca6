#pragma once
// The message boxes of the program as Qt dialogs.

#include "platform/MessageBoxes.h"

namespace app {

// Plain boxes have no icon, error boxes the error icon; both belong to the active window. The
// "Application Error" box (error icon) has no owner. Every box blocks the whole application
// until the operator closes it.
class QtMessageService : public platform::MessageService {
public:
    void show(
        platform::MessageKind kind, const std::string& caption, const std::string& text) override;
};

} // namespace app
