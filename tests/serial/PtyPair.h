#pragma once
// A pseudo-terminal pair standing in for a serial line: the port opens the slave path, the
// test plays the far end on the master.

#include "platform/FileDescriptor.h"

#include <chrono>
#include <string>

namespace serialtest {

class PtyPair {
public:
    PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& slavePath() const { return m_slavePath; }
    int master() const { return m_master.get(); }
    // Writes every byte at the far end.
    void send(const std::string& bytes) const;
    // Reads at the far end until `count` bytes arrived or `patience` passed.
    std::string receive(std::size_t count,
        std::chrono::milliseconds patience = std::chrono::milliseconds(5000)) const;
    // Reads whatever arrives within `quiet` of silence.
    std::string receiveAvailable(
        std::chrono::milliseconds quiet = std::chrono::milliseconds(50)) const;
    // Closes the far end (the line hangs up) and the spare slave descriptor.
    void hangUp();

private:
    platform::FileDescriptor m_master;
    platform::FileDescriptor
        m_slave; // kept open so the line does not hang up between port sessions
    std::string m_slavePath;
};

} // namespace serialtest
