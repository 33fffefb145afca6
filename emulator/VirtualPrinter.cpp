#include "emulator/VirtualPrinter.h"

#include "emulator/StatusReplies.h"

#include <algorithm>
#include <csignal>
#include <poll.h>
#include <stdexcept>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace emulator {

namespace {

constexpr std::size_t kReadChunk = 64 * 1024;
// More clients wait in the listen queue until one leaves, so descriptors never run out (a
// listener that cannot accept would be ready for ever and spin the loop).
constexpr std::size_t kMaxClients = 64;

int stopSignalsDescriptor()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signalfd(-1, &signals, SFD_NONBLOCK | SFD_CLOEXEC);
}

// A reply is a few bytes; a client that does not read them loses them rather than stalling the
// printer for every other connection.
void sendReply(int fd, std::string_view bytes, bool socket)
{
    if (socket)
        (void)!::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    else
        (void)!::write(fd, bytes.data(), bytes.size());
}

} // namespace

struct VirtualPrinter::Connection {
    Connection(int descriptor, ReceiptBuilder& engine, const escpos::ConditionSet& conditions,
        bool socket, bool answers)
        : fd(descriptor)
        , session(engine, conditions, [this, socket, answers](std::string_view reply) {
            if (answers)
                sendReply(fd.get(), reply, socket);
        })
    {
    }
    platform::FileDescriptor fd;
    PrinterSession session;
};

VirtualPrinter::VirtualPrinter(const Options& options, Hooks hooks)
    : m_options(options)
    , m_hooks(std::move(hooks))
    , m_conditions(options.conditions)
    , m_engine(options.paperWidth, m_hooks.receipts, m_hooks.warnings)
    , m_signals(stopSignalsDescriptor())
{
}

VirtualPrinter::~VirtualPrinter()
{
    if (m_madeFifo)
        ::unlink(m_options.fifoPath.c_str());
}

void VirtualPrinter::open()
{
    if (m_options.tcp) {
        std::uint16_t port = 0;
        m_listener = std::make_unique<platform::FileDescriptor>(listenTcp(*m_options.tcp, port));
        m_hooks.announce("tcp " + m_options.tcp->host + ":" + std::to_string(port));
    }
    if (!m_options.ptyName.empty()) {
        const auto pty = openRawPty();
        m_ptySlave = std::make_unique<platform::FileDescriptor>(pty.slave);
        m_pty = std::make_unique<Connection>(pty.master, m_engine, m_conditions, false, true);
        if (!m_options.sysroot.empty())
            m_portEntries = std::make_unique<SerialPortEntries>(
                m_options.sysroot, m_options.ptyName, pty.path);
        m_hooks.announce("pty " + pty.path);
    }
    if (!m_options.fifoPath.empty()) {
        m_madeFifo = makeFifo(m_options.fifoPath);
        // A parallel port has no way back: replies are dropped.
        m_fifo = std::make_unique<Connection>(
            openFifo(m_options.fifoPath), m_engine, m_conditions, false, false);
        m_hooks.announce("fifo " + m_options.fifoPath);
    }
}

void VirtualPrinter::stop()
{
    m_stop.signal();
}

void VirtualPrinter::run()
{
    m_running = true;
    while (m_running)
        serveOnce();
    for (auto& client : m_clients)
        client->session.close();
    m_clients.clear();
    m_engine.endReceipt();
}

int VirtualPrinter::pauseTimeout() const
{
    if (m_options.pauseMs <= 0 || !m_engine.holdsPaper())
        return -1;
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - m_lastByte);
    return std::max(0, m_options.pauseMs - static_cast<int>(waited.count()));
}

void VirtualPrinter::serveOnce()
{
    // Fixed slots first, then one per TCP client, in m_clients order.
    std::vector<pollfd> waits
        = { { m_stop.get(), POLLIN, 0 }, { m_signals.get(), POLLIN, 0 }, { m_commandFd, POLLIN, 0 },
              { m_listener && m_clients.size() < kMaxClients ? m_listener->get() : -1, POLLIN, 0 },
              { m_pty ? m_pty->fd.get() : -1, POLLIN, 0 },
              { m_fifo ? m_fifo->fd.get() : -1, POLLIN, 0 } };
    for (const auto& client : m_clients)
        waits.push_back({ client->fd.get(), POLLIN, 0 });
    const int timeout = pauseTimeout();
    const int ready = ::poll(waits.data(), waits.size(), timeout);
    if (ready == 0 && timeout >= 0) {
        m_engine.endReceipt();
        return;
    }
    if (ready < 0)
        return; // EINTR: look again
    if (waits[0].revents || waits[1].revents) {
        m_running = false;
        return;
    }
    if (waits[2].revents)
        readCommands();
    if (waits[3].revents)
        accept();
    if (waits[4].revents)
        readConnection(*m_pty); // the slave is held open: its stream never ends
    if (waits[5].revents & (POLLIN | POLLHUP))
        serveFifo();
    auto client = m_clients.begin();
    for (std::size_t i = 6; i < waits.size(); ++i) {
        auto current = client++;
        if (waits[i].revents && !readConnection(**current))
            m_clients.erase(current);
    }
}

void VirtualPrinter::accept()
{
    const int fd = ::accept4(m_listener->get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd >= 0)
        m_clients.push_back(std::make_unique<Connection>(fd, m_engine, m_conditions, true, true));
}

// Reads what is there; false when the stream has ended (its session is closed then).
bool VirtualPrinter::readConnection(Connection& connection)
{
    static thread_local std::vector<char> buffer(kReadChunk);
    const ssize_t got = ::read(connection.fd.get(), buffer.data(), buffer.size());
    if (got > 0) {
        received();
        connection.session.receive(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
        return true;
    }
    if (got < 0 && (errno == EAGAIN || errno == EINTR))
        return true;
    connection.session.close();
    return false;
}

// A FIFO whose writer has left reports a hang-up until it is opened afresh. The new read end is
// opened before the old one is closed: a writer that came in between would find no reader and be
// refused (ENXIO), as a press of Quillet's next button would.
void VirtualPrinter::serveFifo()
{
    if (!readConnection(*m_fifo))
        m_fifo = std::make_unique<Connection>(
            openFifo(m_options.fifoPath), m_engine, m_conditions, false, false);
}

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
}

} // namespace emulator
