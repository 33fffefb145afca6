#include "tests/printer/ScriptedPrinter.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <vector>

namespace testsupport {

namespace {

constexpr std::size_t kQueryLength = 3;

void writeAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return;
        done += static_cast<std::size_t>(n);
    }
}

} // namespace

std::unique_ptr<ScriptedPrinter> ScriptedPrinter::onTcp(const std::string& address)
{
    std::unique_ptr<ScriptedPrinter> printer(new ScriptedPrinter);
    sockaddr_in local {};
    local.sin_family = AF_INET;
    local.sin_port = htons(9100);
    if (address.rfind("127.", 0) != 0 || inet_pton(AF_INET, address.c_str(), &local.sin_addr) != 1)
        throw std::invalid_argument("test printers stay on loopback: " + address);
    printer->m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    ::setsockopt(printer->m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (::bind(printer->m_listener, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0
        || ::listen(printer->m_listener, 8) != 0)
        throw std::runtime_error("cannot listen on " + address + ":9100");
    printer->start();
    return printer;
}

std::unique_ptr<ScriptedPrinter> ScriptedPrinter::onPty()
{
    std::unique_ptr<ScriptedPrinter> printer(new ScriptedPrinter);
    char name[256] = {};
    if (::openpty(&printer->m_master, &printer->m_slave, name, nullptr, nullptr) != 0)
        throw std::runtime_error("cannot open a pseudo-terminal");
    termios raw {};
    ::tcgetattr(printer->m_slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(printer->m_slave, TCSANOW, &raw);
    printer->m_slavePath = name;
    printer->start();
    return printer;
}

void ScriptedPrinter::start()
{
    if (::pipe2(m_stop, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe");
    m_thread = std::thread([this] { serve(); });
}

ScriptedPrinter::~ScriptedPrinter()
{
    const char stop = 0;
    (void)!::write(m_stop[1], &stop, 1);
    m_thread.join();
    for (int fd : { m_listener, m_master, m_slave, m_stop[0], m_stop[1] })
        if (fd >= 0)
            ::close(fd);
}

void ScriptedPrinter::answer(const std::string& query, const std::string& reply)
{
    std::lock_guard lock(m_mutex);
    m_replies[query] = reply;
}

void ScriptedPrinter::answerAsHealthyPrinter()
{
    for (char n : { 1, 2, 3, 4 })
        answer(std::string("\x10\x04", 2) + n, "\x12");
    answer("\x1D\x49\x01", "\x20");
    answer("\x1D\x49\x02", "\x02");
    answer("\x1D\x49\x03", "\x41");
}

std::string ScriptedPrinter::received(std::size_t count, int timeoutMs)
{
    std::unique_lock lock(m_mutex);
    m_arrived.wait_for(
        lock, std::chrono::milliseconds(timeoutMs), [&] { return m_received.size() >= count; });
    return m_received;
}

void ScriptedPrinter::say(const std::string& bytes)
{
    std::lock_guard lock(m_mutex);
    for (int client : m_clients)
        writeAll(client, bytes);
    if (m_master >= 0)
        writeAll(m_master, bytes);
}

void ScriptedPrinter::serve()
{
    std::vector<int> clients;
    for (;;) {
        std::vector<pollfd> waits { { m_stop[0], POLLIN, 0 } };
        if (m_listener >= 0)
            waits.push_back({ m_listener, POLLIN, 0 });
        if (m_master >= 0)
            waits.push_back({ m_master, POLLIN, 0 });
        for (int client : clients)
            waits.push_back({ client, POLLIN, 0 });
        if (::poll(waits.data(), waits.size(), -1) < 0)
            continue;
        if (waits[0].revents)
            break;
        for (std::size_t i = 1; i < waits.size(); ++i) {
            if (!waits[i].revents)
                continue;
            if (waits[i].fd == m_listener) {
                const int client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
                if (client >= 0) {
                    clients.push_back(client);
                    std::lock_guard lock(m_mutex);
                    m_clients = clients;
                }
                continue;
            }
            char buffer[65536];
            const ssize_t count = ::read(waits[i].fd, buffer, sizeof buffer);
            if (count > 0) {
                consume(waits[i].fd, buffer, static_cast<std::size_t>(count));
            } else if (waits[i].fd != m_master) {
                std::lock_guard lock(m_mutex);
                ::close(waits[i].fd);
                std::erase(clients, waits[i].fd);
                m_clients = clients;
            }
        }
    }
    for (int client : clients)
        ::close(client);
}

void ScriptedPrinter::consume(int fd, const char* bytes, std::size_t count)
{
    std::string replies;
    {
        std::lock_guard lock(m_mutex);
        m_received.append(bytes, count);
        m_pending.append(bytes, count);
        std::size_t i = 0;
        for (; i + kQueryLength <= m_pending.size(); ++i) {
            const auto reply = m_replies.find(m_pending.substr(i, kQueryLength));
            if (reply != m_replies.end()) {
                replies += reply->second;
                i += kQueryLength - 1;
            }
        }
        m_pending.erase(0, i);
    }
    m_arrived.notify_all();
    writeAll(fd, replies);
}

} // namespace testsupport
