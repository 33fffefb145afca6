#pragma once
// The real quillet-virtual-printer as a child process: its standard input to change conditions,
// its standard output and error read line by line, and raw clients for its endpoints.

#include "platform/FileDescriptor.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace testsupport {

class PrinterProcess {
public:
    explicit PrinterProcess(const std::vector<std::string>& arguments);
    ~PrinterProcess();
    PrinterProcess(const PrinterProcess&) = delete;
    PrinterProcess& operator=(const PrinterProcess&) = delete;

    // The first line of standard output that starts with `prefix`, with the prefix taken off,
    // waiting up to 60 s for it; lines are taken once each. Throws when none comes (or the
    // program has ended).
    std::string waitForLine(const std::string& prefix);
    // The port of the TCP endpoint the program announced ("tcp ADDRESS:PORT"), waiting for it.
    int tcpPort();
    // Whether a line of standard output starting with `prefix` has come, without waiting or
    // taking it.
    bool hasSaid(const std::string& prefix);
    // Everything written to standard error so far.
    std::string errors();
    void writeLine(const std::string& line);
    // Sends SIGTERM and returns the exit code (or 128 + signal).
    int stop();
    // Waits for the program to end by itself and returns its exit code.
    int wait();
    // The processor time the program has used so far, in seconds.
    double cpuSeconds() const;

private:
    void collect(platform::FileDescriptor fd, std::vector<std::string>& lines);

    pid_t m_pid = -1;
    platform::FileDescriptor m_input;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_output;
    std::vector<std::string> m_errors;
    bool m_outputEnded = false;
    std::thread m_outputReader;
    std::thread m_errorReader;
};

// A raw TCP client of the printer.
class RawClient {
public:
    RawClient(const std::string& host, int port);
    void send(const std::string& bytes);
    // Exactly `count` bytes, waiting up to timeoutMs; fewer when they do not come.
    std::string receive(std::size_t count, int timeoutMs = 10000);
    void close() { m_fd.reset(); }

private:
    platform::FileDescriptor m_fd;
};

// A file's whole content (empty when it cannot be read).
std::string fileText(const std::string& path);
// The log written beside a receipt's picture (NAME.png → NAME.txt).
std::string logOf(const std::string& picture);

// Reads exactly `count` bytes from fd, waiting up to timeoutMs.
std::string readExactly(int fd, std::size_t count, int timeoutMs = 10000);

} // namespace testsupport
