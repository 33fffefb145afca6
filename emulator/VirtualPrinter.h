#pragma once

#include "emulator/Options.h"
#include "emulator/PrinterSession.h"
#include "emulator/ReceiptBuilder.h"
#include "platform/EventFd.h"
#include "platform/FileDescriptor.h"

#include <chrono>
#include <deque>
#include <functional>
#include <list>
#include <memory>
#include <string>

namespace emulator {

// The virtual printer's one loop: it serves every endpoint the options name and prints one job at
// a time, as a network printer does. Every connection is read into a receive buffer of its own
// (--buffer bytes) and has its real-time requests answered at once; the engine prints the
// connection whose turn it is, and the others wait in the order their jobs arrived. A job ends
// when its connection closes, or when it has been silent for the pause while another job waits.
// While paper end, an open cover, an error or offline holds, nothing is printed: each buffer
// fills and its reading pauses until "status ready" (or another change that clears the hold)
// arrives on standard input. Nothing here needs a display.
class VirtualPrinter {
public:
    struct Hooks {
        ReceiptBuilder::ReceiptSink receipts; // called on the loop's thread: hand the work on
        std::function<void(const std::string&)> warnings;
        std::function<void(const std::string&)> announce; // "tcp 127.0.0.1:9100", "pty /dev/pts/3"
    };
    VirtualPrinter(const Options& options, Hooks hooks);
    ~VirtualPrinter();

    // Opens every endpoint and announces it; throws std::runtime_error when one cannot be had.
    void open();
    // Serves until stop() is called, or SIGINT or SIGTERM arrive (when the caller blocked them),
    // then reads what is left, prints everything received and hands over the receipt in progress.
    void run();
    // Ends run() from any thread.
    void stop();
    // Reads condition changes from this descriptor while it is open ("status paper-end").
    void watchCommands(int fd) { m_commandFd = fd; }

private:
    struct Connection;
    using Clock = std::chrono::steady_clock;
    void serveOnce();
    void accept();
    void addConnection(std::unique_ptr<Connection> connection);
    void readConnection(Connection& connection);
    bool mayRead(const Connection& connection) const;
    void joinLine(Connection& connection);
    void tendLine(Connection& connection, bool ended);
    void printWhatIsDue();
    bool jobOver(const Connection& connection) const;
    void removeFinished();
    void shutDown();
    void readCommands();
    void applyCommandLine(std::string line);
    void recover(const escpos::Command& command);
    void tellConditions();
    bool held() const;
    int timeout() const;

    Options m_options;
    Hooks m_hooks;
    escpos::ConditionSet m_conditions;
    ReceiptBuilder m_engine;
    platform::EventFd m_stop;
    platform::FileDescriptor m_signals;
    std::unique_ptr<platform::FileDescriptor> m_listener;
    std::unique_ptr<platform::FileDescriptor> m_ptySlave;
    std::list<std::unique_ptr<Connection>> m_connections; // in the order they came
    Connection* m_printing = nullptr; // whose job the engine prints
    std::deque<Connection*> m_line; // jobs waiting their turn, in arrival order
    std::size_t m_clients = 0; // open TCP connections
    std::unique_ptr<SerialPortEntries> m_portEntries;
    bool m_madeFifo = false;
    int m_commandFd = -1;
    std::string m_commandLine;
    bool m_running = false;
    Clock::time_point m_lastPrinted;
};

} // namespace emulator
