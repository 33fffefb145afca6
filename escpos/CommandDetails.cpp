#include "escpos/CommandDetails.h"

#include "escpos/CodePages.h"

#include <array>
#include <string_view>

namespace escpos::detail {

namespace {

// The parameter after the name: most one-parameter commands read bit 0 or the digit form.
std::uint8_t firstParam(const Command& command)
{
    return command.at(2);
}

std::string join(std::string_view a, std::string_view b)
{
    if (a.empty())
        return std::string(b);
    return std::string(a) + ", " + std::string(b);
}

std::string dots(unsigned count)
{
    return std::to_string(count) + " dots";
}

} // namespace

std::string printMode(const Command& command)
{
    const auto n = firstParam(command);
    std::string modes;
    if (n & 0x01)
        modes = join(modes, "font B");
    if (n & 0x08)
        modes = join(modes, "emphasized");
    if (n & 0x10)
        modes = join(modes, "double height");
    if (n & 0x20)
        modes = join(modes, "double width");
    if (n & 0x80)
        modes = join(modes, "underline");
    return modes.empty() ? "normal" : modes;
}

std::string onOff(const Command& command)
{
    return firstParam(command) & 1 ? "on" : "off";
}

std::string underline(const Command& command)
{
    switch (firstParam(command)) {
    case 1:
    case '1':
        return "1 dot";
    case 2:
    case '2':
        return "2 dots";
    default:
        return "off";
    }
}

std::string justification(const Command& command)
{
    switch (firstParam(command)) {
    case 1:
    case '1':
        return "center";
    case 2:
    case '2':
        return "right";
    default:
        return "left";
    }
}

std::string codeTable(const Command& command)
{
    const auto* page = findCodePage(firstParam(command));
    return page ? std::string(page->name) : "unknown table";
}

std::string font(const Command& command)
{
    const auto n = firstParam(command);
    return n == 1 || n == '1' ? "B" : "A";
}

std::string drawerPin(const Command& command)
{
    const auto m = firstParam(command);
    return m == 1 || m == '1' ? "pin 5" : "pin 2";
}

std::string characterSize(const Command& command)
{
    const auto n = firstParam(command);
    return "width x" + std::to_string((n >> 4) + 1) + " height x" + std::to_string((n & 0x0F) + 1);
}

std::string dotsParameter(const Command& command)
{
    return dots(command.le16(2));
}

std::string cut(const Command& command)
{
    switch (firstParam(command)) {
    case 0:
    case 48:
        return "full cut";
    case 1:
    case 49:
        return "partial cut";
    case 65:
        return "full cut after feed";
    case 66:
        return "partial cut after feed";
    case 97:
        return "full cut at the cutting position";
    case 98:
        return "partial cut at the cutting position";
    case 103:
        return "full cut after feed and reverse feed";
    case 104:
        return "partial cut after feed and reverse feed";
    default:
        return "of an unknown kind";
    }
}

std::string rasterImage(const Command& command)
{
    return std::to_string(command.le16(4) * 8) + "x" + std::to_string(command.le16(6)) + " dots";
}

std::string bitImage(const Command& command)
{
    const auto m = firstParam(command);
    const bool tall = m == 32 || m == 33;
    return std::to_string(command.le16(3)) + "x" + (tall ? "24" : "8") + " dots";
}

std::string barcode(const Command& command)
{
    static constexpr std::array<std::string_view, 16> kNames
        = { "UPC-A", "UPC-E", "EAN13", "EAN8", "CODE39", "ITF", "CODABAR", "CODE93", "CODE128",
              "GS1-128", "GS1 DataBar Omnidirectional", "GS1 DataBar Truncated",
              "GS1 DataBar Limited", "GS1 DataBar Expanded", "Code128 auto", "unknown" };
    const auto m = firstParam(command);
    const bool counted = m >= 65;
    const std::size_t index = counted ? m - 65 : m;
    const auto name = index < kNames.size() ? kNames[index] : std::string_view("unknown");
    const std::size_t dataStart = counted ? 4 : 3;
    std::string data;
    for (std::size_t i = dataStart; i < command.bytes.size(); ++i) {
        const auto byte = command.at(i);
        if (byte == 0 && !counted)
            break;
        data += byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '.';
    }
    return std::string(name) + " \"" + data + "\"";
}

std::string twoDimensionalCode(const Command& command)
{
    if (command.at(2) != 'k')
        return {};
    const auto symbol = command.at(5), function = command.at(6);
    const std::string kind = symbol == 49 ? "QR code" : symbol == 48 ? "PDF417" : "2D code";
    // PDF417's settings differ from the other symbols' at the same function numbers.
    if (symbol == 48 && function >= 65 && function <= 68) {
        static const char* const kSettings[] = { "columns", "rows", "module width", "row height" };
        return kind + " " + kSettings[function - 65] + " " + std::to_string(command.at(7));
    }
    switch (function) {
    case 65:
        return kind + " model";
    case 67:
        return kind + " module size " + std::to_string(command.at(7));
    case 69:
        return kind + " error correction";
    case 80: {
        const auto data = command.bytes.substr(std::min<std::size_t>(8, command.bytes.size()));
        return kind + " store " + std::to_string(data.size()) + " bytes";
    }
    case 81:
        return kind + " print";
    case 82:
        return kind + " transmit size";
    default:
        return kind + " function " + std::to_string(function);
    }
}

std::string realTimeStatus(const Command& command)
{
    switch (firstParam(command)) {
    case 1:
        return "printer";
    case 2:
        return "offline cause";
    case 3:
        return "error cause";
    case 4:
        return "paper sensor";
    default:
        return "of an unknown kind";
    }
}

std::string printerId(const Command& command)
{
    switch (firstParam(command)) {
    case 1:
    case 49:
        return "model";
    case 2:
    case 50:
        return "type";
    case 3:
    case 51:
        return "version";
    case 65:
        return "firmware";
    case 66:
        return "maker";
    case 67:
        return "model name";
    case 68:
        return "serial number";
    default:
        return "of an unknown kind";
    }
}

std::string tabPositions(const Command& command)
{
    std::string text;
    for (std::size_t i = 2; i + 1 < command.bytes.size(); ++i)
        text += (text.empty() ? "" : " ") + std::to_string(command.at(i));
    return text.empty() ? "cleared" : text;
}

} // namespace escpos::detail
