#include "emulator/VirtualPrinter.h"

#include "emulator/Recovery.h"
#include "emulator/StatusReplies.h"

#include <algorithm>
#include <csignal>
#include <poll.h>
#include <stdexcept>
#include <sys/ioctl.h>
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
// How long a silent connection keeps its turn while another job waits, when --pause is 0.
constexpr int kSilentTurnMs = 2000;
constexpr std::size_t kFixedWaits = 4;

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

int millisecondsLeft(std::chrono::steady_clock::time_point since, int limitMs)
{
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - since);
    return std::max(0, limitMs - static_cast<int>(waited.count()));
}

} // namespace

struct VirtualPrinter::Connection {
    enum class Kind { Tcp, Pty, Fifo };
    Connection(Kind connectionKind, int descriptor, VirtualPrinter& printer)
        : kind(connectionKind)
        , fd(descriptor)
        , session(
              printer.m_conditions,
              [this](std::string_view reply) {
                  // A parallel port has no way back, and a closed connection none left.
                  if (kind != Kind::Fifo && fd.valid())
                      sendReply(fd.get(), reply, kind == Kind::Tcp);
              },
              [this, &printer](const escpos::Command& command, std::string_view reply) {
                  if (this == printer.m_printing)
                      printer.m_engine.apply(command, reply);
                  else
                      printer.m_engine.noteAside(command, reply);
              },
              [&printer](const escpos::Command& command) { printer.recover(command); })
    {
    }
    std::string name() const
    {
        return kind == Kind::Tcp ? "a TCP client" : kind == Kind::Pty ? "the pty" : "the FIFO";
    }
    Kind kind;
    platform::FileDescriptor fd; // closed once the stream has ended
    PrinterSession session;
    Clock::time_point lastByte = Clock::now();
    bool inLine = false;
    std::unique_ptr<SerialLine> line; // the pty's modelled buffer and flow control, when asked
};

VirtualPrinter::VirtualPrinter(const Options& options, Hooks hooks)
    : m_options(options)
    , m_hooks(std::move(hooks))
    , m_conditions(options.conditions)
    , m_engine(options.paperWidth, m_hooks.receipts)
    , m_signals(stopSignalsDescriptor())
{
    m_engine.setTwoColour(options.twoColour);
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
        auto connection = std::make_unique<Connection>(Connection::Kind::Pty, pty.master, *this);
        if (m_options.flow || m_options.drainRate > 0)
            connection->line
                = std::make_unique<SerialLine>(m_options.flow.value_or(FlowControl::Hardware),
                    m_options.bufferBytes, m_options.drainRate);
        addConnection(std::move(connection));
        if (!m_options.sysroot.empty())
            m_portEntries = std::make_unique<SerialPortEntries>(
                m_options.sysroot, m_options.ptyName, pty.path);
        m_hooks.announce("pty " + pty.path);
    }
    if (!m_options.fifoPath.empty()) {
        m_madeFifo = makeFifo(m_options.fifoPath);
        addConnection(std::make_unique<Connection>(
            Connection::Kind::Fifo, openFifo(m_options.fifoPath), *this));
        m_hooks.announce("fifo " + m_options.fifoPath);
    }
}

void VirtualPrinter::addConnection(std::unique_ptr<Connection> connection)
{
    if (connection->kind == Connection::Kind::Tcp)
        ++m_clients;
    m_connections.push_back(std::move(connection));
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
    shutDown();
}

bool VirtualPrinter::held() const
{
    return withImpliedConditions(m_conditions).test(std::size_t(escpos::Condition::Offline));
}

// The printing connection reads as fast as it prints; the others (and it while printing is held)
// fill their receive buffers, then wait.
bool VirtualPrinter::mayRead(const Connection& connection) const
{
    if (!connection.fd.valid())
        return false;
    if (connection.line)
        return connection.line->room(connection.session.bufferedBytes(), kReadChunk) > 0;
    if (&connection == m_printing && !held())
        return true;
    return connection.session.bufferedBytes() < m_options.bufferBytes;
}

int VirtualPrinter::timeout() const
{
    int wait = -1;
    const auto sooner = [&wait](int ms) { wait = wait < 0 ? ms : std::min(wait, ms); };
    if (m_options.pauseMs > 0 && m_engine.holdsPaper())
        sooner(millisecondsLeft(m_lastPrinted, m_options.pauseMs));
    // A silent job gives up its turn to one that waits (one with anything left keeps it).
    if (m_printing && m_printing->line && m_printing->session.bufferedBytes() > 0
        && m_printing->line->waitMs() >= 0)
        sooner(m_printing->line->waitMs());
    if (m_printing && m_printing->fd.valid() && m_printing->session.bufferedBytes() == 0
        && !m_line.empty())
        sooner(millisecondsLeft(
            m_printing->lastByte, m_options.pauseMs > 0 ? m_options.pauseMs : kSilentTurnMs));
    return wait;
}

void VirtualPrinter::serveOnce()
{
    std::vector<pollfd> waits
        = { { m_stop.get(), POLLIN, 0 }, { m_signals.get(), POLLIN, 0 }, { m_commandFd, POLLIN, 0 },
              { m_listener && m_clients < kMaxClients ? m_listener->get() : -1, POLLIN, 0 } };
    std::vector<Connection*> polled;
    for (const auto& connection : m_connections) {
        waits.push_back({ mayRead(*connection) ? connection->fd.get() : -1, POLLIN, 0 });
        polled.push_back(connection.get());
    }
    const int ready = ::poll(waits.data(), waits.size(), timeout());
    if (ready < 0)
        return; // EINTR: look again
    if (waits[0].revents || waits[1].revents) {
        m_running = false;
        return;
    }
    if (waits[2].revents)
        readCommands();
    for (std::size_t i = kFixedWaits; i < waits.size(); ++i)
        if (waits[i].revents)
            readConnection(*polled[i - kFixedWaits]);
    if (waits[3].revents)
        accept();
    printWhatIsDue();
    for (auto& connection : m_connections)
        tendLine(*connection, false);
    if (m_options.pauseMs > 0 && m_engine.holdsPaper()
        && millisecondsLeft(m_lastPrinted, m_options.pauseMs) == 0)
        m_engine.endReceipt();
    removeFinished();
}

void VirtualPrinter::accept()
{
    const int fd = ::accept4(m_listener->get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd >= 0)
        addConnection(std::make_unique<Connection>(Connection::Kind::Tcp, fd, *this));
}

// Reads what there is room for. A stream that has ended closes its connection; what it sent
// stays until printed. A parallel port has no connections: its stream goes on in the next
// writer's bytes, so a FIFO whose writer has left is opened afresh under the same session, the
// new read end before the old one is closed (a writer that came in between would find no reader
// and be refused, ENXIO, as a press of Quillet's next button would).
void VirtualPrinter::readConnection(Connection& connection)
{
    static thread_local std::vector<char> buffer(kReadChunk);
    if (!mayRead(connection))
        return; // printing was held since the connection was polled
    const bool unlimited = &connection == m_printing && !held();
    const auto buffered = connection.session.bufferedBytes();
    const auto room = connection.line ? connection.line->room(buffered, kReadChunk)
        : unlimited                   ? kReadChunk
                                      : std::min(kReadChunk, m_options.bufferBytes - buffered);
    const ssize_t got = ::read(connection.fd.get(), buffer.data(), room);
    if (got > 0) {
        connection.lastByte = Clock::now();
        std::string_view bytes(buffer.data(), std::size_t(got));
        if (connection.line)
            bytes = bytes.substr(0, connection.line->receive(bytes, buffered));
        connection.session.receive(bytes);
    } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
        if (connection.kind == Connection::Kind::Fifo) {
            connection.fd = platform::FileDescriptor(openFifo(m_options.fifoPath));
        } else {
            connection.session.close();
            if (connection.kind == Connection::Kind::Tcp)
                --m_clients;
            connection.fd.reset();
        }
    }
    joinLine(connection);
}

void VirtualPrinter::joinLine(Connection& connection)
{
    // A command still incomplete counts: its connection may have filled its buffer with it, and
    // only its turn lets it read the rest.
    if (&connection != m_printing && !connection.inLine && connection.session.bufferedBytes() > 0) {
        connection.inLine = true;
        m_line.push_back(&connection);
    }
}

// A job is over when everything it sent is printed and its connection has closed, or it has
// been silent for the pause while another job waits. One that stopped inside a command keeps its
// turn until the command is whole.
bool VirtualPrinter::jobOver(const Connection& connection) const
{
    if (connection.session.bufferedBytes() > 0)
        return false;
    if (!connection.fd.valid())
        return true;
    const int silence = m_options.pauseMs > 0 ? m_options.pauseMs : kSilentTurnMs;
    return !m_line.empty() && millisecondsLeft(connection.lastByte, silence) == 0;
}

void VirtualPrinter::printWhatIsDue()
{
    for (;;) {
        if (!m_printing) {
            if (m_line.empty())
                return;
            m_printing = m_line.front();
            m_line.pop_front();
            m_printing->inLine = false;
            m_engine.startJob();
        }
        auto* line = m_printing->line.get();
        const auto budget = line ? line->printable(Clock::now()) : static_cast<std::size_t>(-1);
        if (const auto bytes = m_printing->session.printInto(m_engine, held(), budget)) {
            m_lastPrinted = Clock::now();
            if (line)
                line->printed(bytes);
        }
        if (!jobOver(*m_printing))
            return;
        m_engine.endJob();
        m_printing = nullptr;
    }
}

void VirtualPrinter::removeFinished()
{
    m_connections.remove_if([this](const std::unique_ptr<Connection>& connection) {
        return !connection->fd.valid() && connection.get() != m_printing && !connection->inLine;
    });
}

// What the connections sent is printed, held or not (the receipts are the record of what the
// printer got); what the kernel still holds for them is read first.
void VirtualPrinter::shutDown()
{
    for (auto& connection : m_connections) {
        while (connection->fd.valid()) {
            int unread = 0;
            if (::ioctl(connection->fd.get(), FIONREAD, &unread) != 0 || unread <= 0)
                break;
            std::string bytes(std::size_t(unread), '\0');
            const ssize_t got = ::read(connection->fd.get(), bytes.data(), bytes.size());
            if (got <= 0)
                break;
            connection->session.receive(std::string_view(bytes.data(), std::size_t(got)));
        }
        connection->session.close();
        joinLine(*connection);
        tendLine(*connection, true);
    }
    if (held() && (m_printing || !m_line.empty()))
        m_hooks.warnings("stopped while printing was held: what was received is printed now");
    for (auto* connection = m_printing; connection;) {
        connection->session.printInto(m_engine, false);
        m_engine.endJob();
        connection = m_line.empty() ? nullptr : m_line.front();
        if (connection) {
            m_line.pop_front();
            m_engine.startJob();
        }
    }
    m_printing = nullptr;
    m_connections.clear();
    m_engine.endReceipt();
    for (const auto& warning : m_engine.unprintedWarnings())
        m_hooks.warnings("nothing printed: " + warning);
}

// The pty's flow control byte when its buffer crossed a mark, and what it lost, once the lines
// that lost bytes have ended (or the stream has).
void VirtualPrinter::tendLine(Connection& connection, bool ended)
{
    if (!connection.line)
        return;
    const char flow = connection.line->flowByte(connection.session.bufferedBytes());
    if (flow != 0 && connection.fd.valid())
        sendReply(connection.fd.get(), std::string_view(&flow, 1), false);
    if (const auto report = connection.line->lossReport(ended); !report.empty())
        m_hooks.warnings("the pty's receive buffer overflowed, " + report);
}

// Every connection that enabled automatic status back hears of the change.
void VirtualPrinter::tellConditions()
{
    for (auto& connection : m_connections)
        connection->session.conditionsChanged();
}

void VirtualPrinter::recover(const escpos::Command& command)
{
    const auto effect = applyRecovery(command, m_conditions);
    if (effect.clearBuffers)
        for (auto& connection : m_connections)
            connection->session.clearBuffer();
    if (!effect.conditionsChanged)
        return;
    m_hooks.announce("recovered");
    tellConditions();
}

} // namespace emulator
