#pragma once

#include "emulator/Options.h"
#include "emulator/PrinterSession.h"
#include "emulator/ReceiptBuilder.h"
#include "platform/EventFd.h"
#include "platform/FileDescriptor.h"

#include <chrono>
#include <functional>
#include <list>
#include <memory>
#include <string>

namespace emulator {

// The virtual printer's one loop: it serves every endpoint the options name, feeds one print
// engine (one roll of paper, shared by all connections), ends a receipt after a pause, and takes
// new conditions as lines on standard input. Nothing here needs a display.
class VirtualPrinter {
public:
    struct Hooks {
        ReceiptBuilder::ReceiptSink receipts; // called on the loop's thread
        ReceiptBuilder::WarningSink warnings;
        std::function<void(const std::string&)> announce; // "tcp 127.0.0.1:9100", "pty /dev/pts/3"
    };
    VirtualPrinter(const Options& options, Hooks hooks);
    ~VirtualPrinter();

    // Opens every endpoint and announces it; throws std::runtime_error when one cannot be had.
    void open();
    // Serves until stop() is called, or SIGINT or SIGTERM arrive (when the caller blocked them),
    // then hands over the receipt in progress.
    void run();
    // Ends run() from any thread.
    void stop();
    // Reads condition changes from this descriptor while it is open ("status paper-end").
    void watchCommands(int fd) { m_commandFd = fd; }

private:
    struct Connection;
    void serveOnce();
    void accept();
    bool readConnection(Connection& connection);
    void serveFifo();
    void readCommands();
    void applyCommandLine(std::string line);
    void received() { m_lastByte = std::chrono::steady_clock::now(); }
    int pauseTimeout() const;

    Options m_options;
    Hooks m_hooks;
    escpos::ConditionSet m_conditions;
    ReceiptBuilder m_engine;
    platform::EventFd m_stop;
    platform::FileDescriptor m_signals;
    std::unique_ptr<platform::FileDescriptor> m_listener;
    std::unique_ptr<Connection> m_pty;
    std::unique_ptr<Connection> m_fifo;
    std::unique_ptr<platform::FileDescriptor> m_ptySlave;
    std::list<std::unique_ptr<Connection>> m_clients;
    std::unique_ptr<SerialPortEntries> m_portEntries;
    bool m_madeFifo = false;
    int m_commandFd = -1;
    std::string m_commandLine;
    bool m_running = false;
    std::chrono::steady_clock::time_point m_lastByte;
};

} // namespace emulator
