#include "serial/linux/ComInputQueue.h"

#include "serial/core/DeviceRecords.h"

#include <algorithm>
#include <cstring>

namespace cport {

namespace {

constexpr unsigned char markByte = 0xFF;
constexpr std::size_t initialStorage = 4096;

} // namespace

TComInputQueue::TComInputQueue(std::size_t capacity)
    : m_capacity(capacity)
{
}

void TComInputQueue::setCapacity(std::size_t capacity)
{
    m_capacity = capacity;
}

void TComInputQueue::clear()
{
    m_head = 0;
    m_size = 0;
    m_markState = 0;
}

void TComInputQueue::grow()
{
    // Storage grows on demand, so a large recommended size costs nothing until used.
    const std::size_t target = std::max({ initialStorage, m_ring.size() * 2, m_size + 1 });
    std::vector<char> bigger(target);
    const std::size_t taken = take(bigger.data(), m_size);
    m_ring.swap(bigger);
    m_head = 0;
    m_size = taken;
}

void TComInputQueue::store(char byte, const TInputRules& rules, TInputFindings& findings)
{
    if (rules.discardNull && byte == 0)
        return;
    if (m_size == m_ring.size())
        grow();
    m_ring[(m_head + m_size) % m_ring.size()] = byte;
    ++m_size;
    findings.stored = true;
    if (byte == rules.eventChar)
        findings.eventChar = true;
}

TInputFindings TComInputQueue::append(const char* raw, std::size_t count, const TInputRules& rules)
{
    TInputFindings findings;
    const std::size_t mark80 = m_capacity - m_capacity / 5;
    const bool below80 = m_size < mark80;
    for (std::size_t i = 0; i < count; ++i) {
        const char byte = raw[i];
        const auto code = static_cast<unsigned char>(byte);
        if (m_markState == 0) {
            if (code == markByte)
                m_markState = 1;
            else
                store(byte, rules, findings);
        } else if (m_markState == 1) {
            m_markState = code == 0 ? 2 : 0;
            if (code == markByte)
                store(byte, rules, findings); // a doubled 0xFF is one data byte
            else if (code != 0) {
                store(char(markByte), rules, findings);
                store(byte, rules, findings);
            }
        } else {
            m_markState = 0;
            if (code == 0) {
                if (!rules.errorsFromCounters) {
                    findings.lineBreak = true;
                    findings.errors |= CE_BREAK;
                }
            } else {
                if (rules.checkParity && !rules.errorsFromCounters)
                    findings.errors |= CE_RXPARITY;
                store(rules.replaceErrors ? rules.replaceChar : byte, rules, findings);
            }
        }
    }
    findings.reached80 = m_capacity > 0 && below80 && m_size >= mark80;
    return findings;
}

std::size_t TComInputQueue::take(char* destination, std::size_t count)
{
    const std::size_t n = std::min(count, m_size);
    std::size_t done = 0;
    while (done < n) {
        const std::size_t chunk = std::min(n - done, m_ring.size() - m_head);
        std::memcpy(destination + done, m_ring.data() + m_head, chunk);
        m_head = (m_head + chunk) % m_ring.size();
        done += chunk;
    }
    m_size -= n;
    if (m_size == 0)
        m_head = 0;
    return n;
}

} // namespace cport
