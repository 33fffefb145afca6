#include "emulator/LostLines.h"

#include <cstdio>

namespace emulator {

namespace {

constexpr std::size_t kNumberBytes = 10; // up to nine digits and the space after them

// The line's number, or -1 when it does not start with four or more digits and a space.
long lineNumber(const std::string& start)
{
    std::size_t digits = 0;
    while (digits < start.size() && start[digits] >= '0' && start[digits] <= '9')
        ++digits;
    if (digits < 4 || digits >= start.size() || start[digits] != ' ')
        return -1;
    return std::stol(start.substr(0, digits));
}

std::string numbered(long number)
{
    char text[24];
    std::snprintf(text, sizeof text, "%04ld", number);
    return text;
}

} // namespace

void LostLines::take(std::string_view bytes, bool lost)
{
    for (const char byte : bytes) {
        if (m_start.size() < kNumberBytes)
            m_start += byte;
        if (lost) {
            m_lineLost = true;
            ++m_lostBytes;
        }
        if (byte == '\n')
            endLine();
    }
}

void LostLines::endLine()
{
    if (m_lineLost) {
        const long number = lineNumber(m_start);
        if (number >= 0)
            m_numbers.push_back(number);
    }
    m_start.clear();
    m_lineLost = false;
}

std::string LostLines::report(bool ended)
{
    if (ended && m_lineLost)
        endLine();
    if (m_lostBytes == 0 || m_lineLost)
        return {};
    std::string text = "lost " + std::to_string(m_lostBytes) + " bytes";
    // Consecutive numbers are written as a range.
    for (std::size_t i = 0; i < m_numbers.size();) {
        std::size_t last = i;
        while (last + 1 < m_numbers.size() && m_numbers[last + 1] == m_numbers[last] + 1)
            ++last;
        text += (i == 0 ? ": lines " : ", ") + numbered(m_numbers[i]);
        if (last > i)
            text += "-" + numbered(m_numbers[last]);
        i = last + 1;
    }
    m_lostBytes = 0;
    m_numbers.clear();
    return text;
}

} // namespace emulator
