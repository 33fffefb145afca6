#include "serial/ComApplication.h"

#include "i18n/gnugettext.h"
#include "platform/ErrorReport.h"
#include "serial/core/ComError.h"

namespace cport {

void startComModule()
{
    gnugettext::addBuiltinTextDomain("cport");
    try {
        translateComErrorTable();
    } catch (...) {
        // A damaged catalog must not stop the program from starting.
        restoreComErrorTable();
        platform::reportException(std::current_exception());
    }
}

void endComModule()
{
    restoreComErrorTable();
}

} // namespace cport
