#pragma once
// A FIFO standing in for a printer device: its read end is open before anything writes, so the
// program's writes land in the pipe and the test takes them afterwards.

#include "platform/FileDescriptor.h"

#include <string>

namespace testsupport {

class PrinterFifo {
public:
    // Makes a FIFO at path (parent folders included) and opens its read end.
    explicit PrinterFifo(const std::string& path);
    PrinterFifo(const PrinterFifo&) = delete;
    PrinterFifo& operator=(const PrinterFifo&) = delete;

    // Everything written so far and not yet taken; never waits.
    std::string take();
    // The read end's descriptor, for tests that read while the program writes.
    int readEnd() const { return m_fd.get(); }
    void closeReadEnd() { m_fd.reset(); }

private:
    platform::FileDescriptor m_fd;
};

} // namespace testsupport
