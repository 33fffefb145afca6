#pragma once
// A command line that cannot be run: reported in one line, exit code 1, no device touched.

#include "platform/Exception.h"

namespace cli {

class UsageError : public platform::Exception {
public:
    using Exception::Exception;
    const char* className() const noexcept override { return "UsageError"; }
};

} // namespace cli
