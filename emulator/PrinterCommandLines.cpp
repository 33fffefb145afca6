// The virtual printer's standard input: lines such as "status paper-end" that change its
// conditions while it runs.
#include "emulator/StatusReplies.h"
#include "emulator/VirtualPrinter.h"

#include <algorithm>
#include <unistd.h>

namespace emulator {

void VirtualPrinter::readCommands()
{
    char buffer[512];
    const ssize_t got = ::read(m_commandFd, buffer, sizeof buffer);
    if (got <= 0) {
        if (got == 0 || (errno != EAGAIN && errno != EINTR))
            m_commandFd = -1; // standard input has ended: no more changes
        return;
    }
    m_commandLine.append(buffer, static_cast<std::size_t>(got));
    for (auto end = m_commandLine.find('\n'); end != std::string::npos;
         end = m_commandLine.find('\n')) {
        applyCommandLine(m_commandLine.substr(0, end));
        m_commandLine.erase(0, end + 1);
    }
    if (m_commandLine.size() > 4096)
        m_commandLine.clear();
}

void VirtualPrinter::applyCommandLine(std::string line)
{
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (line.rfind("status", 0) == 0)
        line.erase(0, std::min(line.size(), line.find_first_not_of(' ', 6)));
    std::string error;
    const auto conditions = parseConditions(line, error);
    if (!conditions) {
        m_hooks.warnings(error);
        return;
    }
    m_conditions = *conditions;
    m_hooks.announce("status " + (line.empty() ? std::string("none") : line));
    tellConditions();
}

} // namespace emulator
