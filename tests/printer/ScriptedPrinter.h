#pragma once
// A printer's far end played by the test, for the two-way link: on a TCP listener on a loopback
// address (port 9100) or on the master side of a pseudo-terminal. It keeps every byte it
// receives and answers the status and ID queries (three bytes each, such as 10 04 01) with the
// replies it was given; a query without a reply stays unanswered, as a printer that hears
// nothing would.

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

class ScriptedPrinter {
public:
    // Listens on address:9100 (address in 127.0.0.0/8); throws when it cannot.
    static std::unique_ptr<ScriptedPrinter> onTcp(const std::string& address);
    // A pseudo-terminal; the link opens slavePath().
    static std::unique_ptr<ScriptedPrinter> onPty();
    ~ScriptedPrinter();
    ScriptedPrinter(const ScriptedPrinter&) = delete;
    ScriptedPrinter& operator=(const ScriptedPrinter&) = delete;

    const std::string& slavePath() const { return m_slavePath; }
    // The reply to a three-byte query; an empty reply answers nothing.
    void answer(const std::string& query, const std::string& reply);
    // The replies of a printer in good order: online, no fault, paper present, model 0x20,
    // type 0x02 (autocutter), version 0x41.
    void answerAsHealthyPrinter();
    // Sends bytes unasked, to every connected client (or the terminal), as a late answer would.
    void say(const std::string& bytes);
    // Waits (up to timeoutMs) until `count` bytes have arrived; returns all received so far.
    std::string received(std::size_t count = 0, int timeoutMs = 10000);

private:
    ScriptedPrinter() = default;
    void start();
    void serve();
    void consume(int fd, const char* bytes, std::size_t count);

    int m_listener = -1;
    int m_master = -1;
    int m_slave = -1; // held open so the master never sees a hang-up between the link's opens
    int m_stop[2] = { -1, -1 };
    std::string m_slavePath;
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::map<std::string, std::string> m_replies;
    std::string m_received;
    std::string m_pending; // an incomplete query at the end of what arrived
    std::vector<int> m_clients; // accepted TCP connections
    std::thread m_thread;
};

} // namespace testsupport
