#pragma once
// An independent printer that answers late (tests/printer/late_responder.py) as a child
// process on a loopback address, port 9100.

#include <map>
#include <string>
#include <sys/types.h>

namespace testsupport {

class LateResponder {
public:
    // Answers each question of `replies` (its three bytes to its reply bytes) `delayMs` after
    // it came. Throws when the responder cannot start; skips nothing itself.
    LateResponder(
        const std::string& address, int delayMs, const std::map<std::string, std::string>& replies);
    ~LateResponder();
    LateResponder(const LateResponder&) = delete;
    LateResponder& operator=(const LateResponder&) = delete;

    // The replies of an offline printer without paper trouble: DLE EOT 1 0x1A, 2 to 4 0x12.
    static std::map<std::string, std::string> offlinePrinter();

private:
    pid_t m_pid = -1;
};

} // namespace testsupport
