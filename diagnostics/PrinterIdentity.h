#pragma once
// Who the printer says it is: the texts of GS I 65 (firmware), 66 (maker) and 67 (model name),
// for the printer profile.

#include "printer/PrinterLink.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace diagnostics {

struct PrinterIdentity {
    std::string maker;
    std::string model;
    std::string firmware;
};

// Asks the printer over a link of its own that `openLink` opens, waiting up to `limit` for each
// answer; a text the printer does not answer stays empty, and so do all three when the link
// cannot be opened or nothing can come back on it. Raises nothing.
PrinterIdentity askIdentity(const std::function<std::unique_ptr<printer::PrinterLink>()>& openLink,
    std::chrono::milliseconds limit);

} // namespace diagnostics
