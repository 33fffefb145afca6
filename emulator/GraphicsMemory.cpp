#include "emulator/GraphicsMemory.h"

#include <algorithm>
#include <utility>

namespace emulator {

using escpos::gs;

namespace {

// The widest graphics a printer accepts into its memories.
constexpr int kMaxGraphicsWidth = 8192;

std::uint8_t byteAt(std::string_view bytes, std::size_t i)
{
    return i < bytes.size() ? static_cast<std::uint8_t>(bytes[i]) : 0;
}

int le16At(std::string_view bytes, std::size_t i)
{
    return byteAt(bytes, i) | byteAt(bytes, i + 1) << 8;
}

std::string keyText(std::string_view parameters)
{
    return "\"" + std::string(1, char(byteAt(parameters, 0))) + char(byteAt(parameters, 1)) + "\"";
}

std::string sizeText(int width, int height)
{
    return std::to_string(width) + "x" + std::to_string(height) + " dots";
}

GraphicsOutcome refusedGraphics(std::string reason)
{
    GraphicsOutcome outcome;
    outcome.refusal = std::move(reason);
    return outcome;
}

GraphicsOutcome noted(std::string note)
{
    GraphicsOutcome outcome;
    outcome.note = std::move(note);
    return outcome;
}

// A size of graphics to be stored: refused before anything is kept when it is out of bounds.
std::string sizeRefusal(const std::string& what, int width, int height)
{
    if (width < 1 || height < 1)
        return what + " refused: it has no dots";
    if (width > kMaxGraphicsWidth || height > kMaxImageHeight)
        return what + " refused: " + sizeText(width, height) + ", at most "
            + sizeText(kMaxGraphicsWidth, kMaxImageHeight);
    return {};
}

} // namespace

// GS ( L pL pH m fn ... and GS 8 L p1 p2 p3 p4 m fn ...: the function and the bytes after it.
GraphicsOutcome GraphicsMemory::apply(const escpos::Command& command, int areaWidth)
{
    const std::size_t functionAt = command.code == gs('8') ? 8 : 6;
    const auto function = command.at(functionAt);
    const auto parameters = command.bytes.substr(std::min(functionAt + 1, command.bytes.size()));
    switch (function) {
    case 112:
    case 113:
        return storeInBuffer(parameters, function == 112 ? DotOrder::Rows : DotOrder::Columns);
    case 2:
    case 50:
        if (!m_buffered)
            return refusedGraphics("graphics printed from the print buffer, which holds none");
        return draw(*std::exchange(m_buffered, std::nullopt), areaWidth, "graphics");
    case 67:
    case 68:
        return define(m_nv, parameters, function == 67 ? DotOrder::Rows : DotOrder::Columns);
    case 83:
    case 84:
        return define(m_download, parameters, function == 83 ? DotOrder::Rows : DotOrder::Columns);
    case 69:
        return printStored(m_nv, parameters, areaWidth);
    case 85:
        return printStored(m_download, parameters, areaWidth);
    case 66:
        return erase(m_nv, parameters);
    case 82:
        return erase(m_download, parameters);
    case 65:
        return eraseAll(m_nv, parameters);
    case 81:
        return eraseAll(m_download, parameters);
    default:
        return {}; // settings and capacity queries: nothing to store or print
    }
}

// a bx by c xL xH yL yH d...: planes of several colours or tones stored one after the other are
// merged while their size stays the same.
GraphicsOutcome GraphicsMemory::storeInBuffer(std::string_view parameters, DotOrder order)
{
    Stored graphics { {}, le16At(parameters, 4), le16At(parameters, 6), order,
        std::clamp<int>(byteAt(parameters, 1), 1, 2),
        std::clamp<int>(byteAt(parameters, 2), 1, 2) };
    const std::string what = "graphics for the print buffer";
    if (auto reason = sizeRefusal(what, graphics.width, graphics.height); !reason.empty())
        return refusedGraphics(reason);
    const auto needed
        = static_cast<std::size_t>(packedBytes(graphics.width, graphics.height, order));
    const auto dots = parameters.substr(std::min<std::size_t>(8, parameters.size()));
    if (dots.size() < needed)
        return refusedGraphics(what + " refused: " + std::to_string(dots.size()) + " bytes of dots, "
            + std::to_string(needed) + " needed");
    graphics.dots.assign(dots.substr(0, needed));
    if (m_buffered && m_buffered->width == graphics.width && m_buffered->height == graphics.height
        && m_buffered->order == order) {
        for (std::size_t i = 0; i < needed; ++i)
            m_buffered->dots[i] |= graphics.dots[i];
    } else {
        m_buffered = std::move(graphics);
    }
    return noted(
        "graphics of " + sizeText(m_buffered->width, m_buffered->height) + " in the print buffer");
}

// a kc1 kc2 b xL xH yL yH, then b times: c d...
GraphicsOutcome GraphicsMemory::define(Memory& memory, std::string_view parameters, DotOrder order)
{
    const std::uint16_t key = le16At(parameters, 1);
    const int planes = byteAt(parameters, 3);
    Stored graphics { {}, le16At(parameters, 4), le16At(parameters, 6), order, 1, 1 };
    const std::string what = std::string(memory.name) + " " + keyText(parameters.substr(1));
    if (auto reason = sizeRefusal(what, graphics.width, graphics.height); !reason.empty())
        return refusedGraphics(reason);
    const auto planeBytes
        = static_cast<std::size_t>(packedBytes(graphics.width, graphics.height, order));
    if (planes < 1 || parameters.size() < 8 + planes * (1 + planeBytes))
        return refusedGraphics(what + " refused: its data is shorter than " + std::to_string(planes)
            + " colour planes of " + sizeText(graphics.width, graphics.height));
    const auto existing = memory.graphics.find(key);
    const long long freed = existing == memory.graphics.end() ? 0 : existing->second.dots.size();
    if (memory.bytes - freed + static_cast<long long>(planeBytes) > kMaxStoredBytes)
        return refusedGraphics(what + " refused: the memory holds at most "
            + std::to_string(kMaxStoredBytes) + " bytes of graphics");
    graphics.dots.assign(planeBytes, 0);
    for (int plane = 0; plane < planes; ++plane) {
        const auto data = parameters.substr(8 + plane * (1 + planeBytes) + 1, planeBytes);
        for (std::size_t i = 0; i < planeBytes; ++i)
            graphics.dots[i] |= data[i];
    }
    memory.bytes += static_cast<long long>(planeBytes) - freed;
    memory.graphics[key] = std::move(graphics);
    return noted(
        what + " defined, " + sizeText(memory.graphics[key].width, memory.graphics[key].height));
}

// kc1 kc2 x y: x and y double the width and height when 2.
GraphicsOutcome GraphicsMemory::printStored(
    const Memory& memory, std::string_view parameters, int areaWidth)
{
    const std::string what = std::string(memory.name) + " " + keyText(parameters);
    const auto found = memory.graphics.find(le16At(parameters, 0));
    if (found == memory.graphics.end())
        return refusedGraphics(what + " is not defined: nothing printed");
    auto graphics = found->second;
    graphics.scaleX = std::clamp<int>(byteAt(parameters, 2), 1, 2);
    graphics.scaleY = std::clamp<int>(byteAt(parameters, 3), 1, 2);
    return draw(graphics, areaWidth, what);
}

GraphicsOutcome GraphicsMemory::erase(Memory& memory, std::string_view parameters)
{
    const std::string what = std::string(memory.name) + " " + keyText(parameters);
    const auto found = memory.graphics.find(le16At(parameters, 0));
    if (found == memory.graphics.end())
        return noted(what + " is not defined: nothing deleted");
    memory.bytes -= static_cast<long long>(found->second.dots.size());
    memory.graphics.erase(found);
    return noted(what + " deleted");
}

// d1 d2 d3 = "CLR", so that a stray byte never clears a memory.
GraphicsOutcome GraphicsMemory::eraseAll(Memory& memory, std::string_view parameters)
{
    if (parameters.substr(0, 3) != "CLR")
        return refusedGraphics(std::string("deleting all ") + memory.name + " refused: \"CLR\" is missing");
    memory.graphics.clear();
    memory.bytes = 0;
    return noted(std::string("all ") + memory.name + " deleted");
}

GraphicsOutcome GraphicsMemory::draw(const Stored& graphics, int areaWidth, const std::string& what)
{
    auto result = packedImage(graphics.dots, graphics.width, graphics.height, graphics.order,
        graphics.scaleX, graphics.scaleY, areaWidth, what.c_str());
    if (!result.refusal.empty())
        return refusedGraphics(result.refusal);
    GraphicsOutcome outcome;
    outcome.print = std::move(result.bitmap);
    outcome.note = what + " printed, " + sizeText(outcome.print->width, outcome.print->height);
    return outcome;
}

} // namespace emulator
