#include "escpos/CommandSplitter.h"

#include "escpos/CommandTable.h"

#include <algorithm>

namespace escpos {

namespace {

const unsigned char* bytesOf(std::string_view text)
{
    return reinterpret_cast<const unsigned char*>(text.data());
}

std::string_view viewOf(const unsigned char* data, std::size_t size)
{
    return { reinterpret_cast<const char*>(data), size };
}

// An unknown prefix takes its function byte along unless that byte starts something itself.
std::size_t unknownLength(const unsigned char* p)
{
    return p[1] < 0x20 ? 1 : 2;
}

} // namespace

CommandSplitter::CommandSplitter(Sink sink)
    : m_sink(std::move(sink))
{
}

void CommandSplitter::feed(std::string_view bytes)
{
    while (!bytes.empty()) {
        if (m_skip > 0) {
            const auto skipped = std::min<std::uint64_t>(m_skip, bytes.size());
            m_skip -= skipped;
            bytes.remove_prefix(skipped);
        } else if (!m_pending.empty()) {
            feedPending(bytes);
        } else {
            const auto used = splitRun(bytesOf(bytes), bytes.size());
            if (used < bytes.size() && m_skip == 0) {
                m_pending.assign(bytes.substr(used));
                bytes = {};
            } else {
                bytes.remove_prefix(used);
            }
        }
    }
}

void CommandSplitter::finish()
{
    if (m_skip > 0) {
        m_sink({ CommandKind::Truncated, m_skipCode, {}, m_skip });
    } else if (!m_pending.empty()) {
        const auto* p = bytesOf(m_pending);
        const auto split = splitOne(p, m_pending.size());
        const auto code = m_pending.size() >= 2 ? commandCode(p[0], p[1]) : commandCode(p[0], 0);
        const auto missing
            = split.totalKnown && split.need > m_pending.size() ? split.need - m_pending.size() : 0;
        m_sink({ CommandKind::Truncated, code, m_pending, missing });
    }
    m_skip = 0;
    m_pending.clear();
}

std::size_t CommandSplitter::splitRun(const unsigned char* data, std::size_t size)
{
    std::size_t i = 0;
    while (i < size) {
        if (data[i] >= 0x20) {
            std::size_t end = i + 1;
            while (end < size && data[end] >= 0x20)
                ++end;
            m_sink({ CommandKind::Text, 0, viewOf(data + i, end - i), 0 });
            i = end;
            continue;
        }
        const auto split = splitOne(data + i, size - i);
        i += split.used;
        if (split.used == 0 || m_skip > 0)
            break;
    }
    return i;
}

void CommandSplitter::feedPending(std::string_view& bytes)
{
    // The pending command takes only the bytes it still needs, and runs as soon as it has them:
    // a command completed by the last bytes of a read must not wait for the next read.
    auto split = splitOne(bytesOf(m_pending), m_pending.size());
    while (split.used == 0) {
        if (bytes.empty())
            return;
        const auto missing = split.need > m_pending.size() ? split.need - m_pending.size() : 1;
        const auto wanted = std::min<std::uint64_t>(bytes.size(), missing);
        m_pending.append(bytes.substr(0, wanted));
        bytes.remove_prefix(wanted);
        split = splitOne(bytesOf(m_pending), m_pending.size());
    }
    // What the command did not take (after an unknown prefix or broken data) comes first.
    const std::string rest = m_pending.substr(split.used);
    m_pending.clear();
    feed(rest);
}

CommandSplitter::Split CommandSplitter::splitOne(const unsigned char* p, std::size_t available)
{
    if (!table::isPrefix(p[0])) {
        const auto code = control(static_cast<char>(p[0]));
        const auto kind = table::findCommand(code) ? CommandKind::Known : CommandKind::Unknown;
        m_sink({ kind, code, viewOf(p, 1), 0 });
        return { 1, 0, true };
    }
    if (available < 2)
        return { 0, 2, false };
    const auto code = commandCode(p[0], p[1]);
    const auto* row = table::findCommand(code);
    if (!row) {
        const auto length = unknownLength(p);
        m_sink({ CommandKind::Unknown, code, viewOf(p, length), 0 });
        return { length, 0, true };
    }
    const auto extent = row->extent(p, available);
    if (extent.total == 0)
        return { 0, extent.need, false };
    if (extent.broken) {
        m_sink({ CommandKind::Unknown, code, viewOf(p, extent.header), 0 });
        return { extent.header, 0, true };
    }
    if (extent.total > kMaxCommandBytes) {
        m_skip = extent.total - extent.header;
        m_skipCode = code;
        m_sink({ CommandKind::Oversized, code, viewOf(p, extent.header), m_skip });
        return { extent.header, 0, true };
    }
    if (extent.total > available)
        return { 0, extent.total, true };
    m_sink({ CommandKind::Known, code, viewOf(p, extent.total), 0 });
    return { static_cast<std::size_t>(extent.total), 0, true };
}

} // namespace escpos
