#pragma once
// Running a piece of a test in a child process of its own (another writer of a shared file,
// another opener of a device).

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

// Runs body (returning bool) in a child process; the child exits with 0 when body returned
// true, with 1 when it returned false or raised.
template <typename Body> pid_t inChild(Body body)
{
    const pid_t child = fork();
    if (child == 0) {
        bool ok = false;
        try {
            ok = body();
        } catch (...) {
        }
        _exit(ok ? 0 : 1);
    }
    return child;
}

// Waits for the child; true when it finished with success.
inline bool succeeded(pid_t child)
{
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace testsupport
