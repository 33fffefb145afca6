#include "escpos/CommandTable.h"

#include "escpos/CommandDetails.h"

#include <array>

namespace escpos::table {

namespace {

constexpr Extent needBytes(std::size_t n)
{
    return { n, 0, 0, false };
}
constexpr Extent whole(std::uint64_t total)
{
    return { 0, total, static_cast<std::size_t>(total), false };
}
// A command whose data follows a header of `header` bytes.
constexpr Extent withData(std::size_t header, std::uint64_t data)
{
    return { 0, header + data, header, false };
}
constexpr Extent broken(std::size_t dropped)
{
    return { 0, dropped, dropped, true };
}

// Two bytes (prefix and function) then N parameter bytes.
template <std::size_t N> Extent fixed(const unsigned char*, std::size_t)
{
    return whole(2 + N);
}

Extent single(const unsigned char*, std::size_t)
{
    return whole(1);
}

std::uint64_t le16(const unsigned char* p)
{
    return p[0] | std::uint64_t(p[1]) << 8;
}

// Ends at a zero byte found from `from` on, at most `limit` bytes later; without one the
// command is broken and only its first `from` bytes are dropped.
Extent untilZero(const unsigned char* p, std::size_t available, std::size_t from, std::size_t limit)
{
    for (std::size_t i = from; i < available && i <= from + limit; ++i)
        if (p[i] == 0)
            return whole(i + 1);
    if (available > from + limit)
        return broken(from);
    return needBytes(available + 1);
}

Extent dleEotLength(const unsigned char* p, std::size_t available)
{
    if (available < 3)
        return needBytes(3);
    return whole(p[2] == 7 || p[2] == 8 ? 4 : 3);
}

Extent dleDc4Length(const unsigned char* p, std::size_t available)
{
    if (available < 3)
        return needBytes(3);
    switch (p[2]) {
    case 1:
    case 2:
        return whole(5);
    case 7:
        return whole(4);
    case 8:
        return whole(10);
    default:
        return whole(3);
    }
}

Extent tabPositionsLength(const unsigned char* p, std::size_t available)
{
    return untilZero(p, available, 2, 32);
}

Extent bitImageLength(const unsigned char* p, std::size_t available)
{
    if (available < 5)
        return needBytes(5);
    const auto columns = le16(p + 3);
    switch (p[2]) {
    case 0:
    case 1:
        return withData(5, columns);
    case 32:
    case 33:
        return withData(5, 3 * columns);
    default:
        return broken(5);
    }
}

// ESC & y c1 c2, then for each character from c1 to c2 its width x and y*x bytes.
Extent userCharactersLength(const unsigned char* p, std::size_t available)
{
    if (available < 5)
        return needBytes(5);
    const std::size_t height = p[2];
    std::size_t end = 5;
    for (int c = p[3]; c <= p[4]; ++c) {
        if (available <= end)
            return needBytes(end + 1);
        end += 1 + height * p[end];
    }
    return whole(end);
}

// GS ( x pL pH and FS ( x pL pH: the 16-bit length counts the bytes after it.
Extent lengthAfterName(const unsigned char* p, std::size_t available)
{
    if (available < 5)
        return needBytes(5);
    return withData(5, le16(p + 3));
}

Extent extendedGraphicsLength(const unsigned char* p, std::size_t available)
{
    if (available < 7)
        return needBytes(7);
    const std::uint64_t length
        = p[3] | std::uint64_t(p[4]) << 8 | std::uint64_t(p[5]) << 16 | std::uint64_t(p[6]) << 24;
    return withData(7, length);
}

Extent cutLength(const unsigned char* p, std::size_t available)
{
    if (available < 3)
        return needBytes(3);
    switch (p[2]) {
    case 0:
    case 1:
    case 48:
    case 49:
        return whole(3);
    case 65:
    case 66:
    case 97:
    case 98:
    case 103:
    case 104:
        return whole(4);
    default:
        return broken(3);
    }
}

Extent downloadedImageLength(const unsigned char* p, std::size_t available)
{
    if (available < 4)
        return needBytes(4);
    return withData(4, std::uint64_t(p[2]) * p[3] * 8);
}

Extent rasterImageLength(const unsigned char* p, std::size_t available)
{
    if (available < 8)
        return needBytes(8);
    return withData(8, le16(p + 4) * le16(p + 6));
}

// Barcode data: types 0-6 end at a zero byte, types 65-79 carry their length.
Extent barcodeLength(const unsigned char* p, std::size_t available)
{
    if (available < 3)
        return needBytes(3);
    const auto type = p[2];
    if (type <= 6)
        return untilZero(p, available, 3, 255);
    if (type < 65 || type > 79)
        return broken(3);
    if (available < 4)
        return needBytes(4);
    return withData(4, p[3]);
}

// clang-format off
constexpr CommandRow kRows[] = {
    { control('\t'), "HT", "horizontal tab", single, 1 },
    { control('\n'), "LF", "line feed", single, 1 },
    { control('\f'), "FF", "form feed", single, 1 },
    { control('\r'), "CR", "carriage return", single, 1 },
    { control('\x18'), "CAN", "cancel", single, 1 },

    { dle('\x04'), "DLE EOT", "real-time status", dleEotLength, 2, 1, detail::realTimeStatus },
    { dle('\x05'), "DLE ENQ", "real-time request", fixed<1>, 2, 1 },
    { dle('\x14'), "DLE DC4", "real-time command", dleDc4Length, 2, 8 },

    { esc('\f'), "ESC FF", "print page", fixed<0> },
    { esc(' '), "ESC SP", "character spacing", fixed<1>, 2, 1 },
    { esc('!'), "ESC !", "print mode", fixed<1>, 2, 1, detail::printMode },
    { esc('$'), "ESC $", "absolute position", fixed<2>, 2, 2, detail::dotsParameter },
    { esc('%'), "ESC %", "user-defined characters", fixed<1>, 2, 1, detail::onOff },
    { esc('&'), "ESC &", "define user-defined characters", userCharactersLength, 2, 3 },
    { esc('*'), "ESC *", "bit image", bitImageLength, 2, 3, detail::bitImage },
    { esc('-'), "ESC -", "underline", fixed<1>, 2, 1, detail::underline },
    { esc('2'), "ESC 2", "default line spacing", fixed<0> },
    { esc('3'), "ESC 3", "line spacing", fixed<1>, 2, 1 },
    { esc('<'), "ESC <", "return home", fixed<0> },
    { esc('='), "ESC =", "peripheral device", fixed<1>, 2, 1 },
    { esc('?'), "ESC ?", "cancel user-defined character", fixed<1>, 2, 1 },
    { esc('@'), "ESC @", "initialize", fixed<0> },
    { esc('D'), "ESC D", "tab positions", tabPositionsLength, 2, 0, detail::tabPositions },
    { esc('E'), "ESC E", "emphasis", fixed<1>, 2, 1, detail::onOff },
    { esc('G'), "ESC G", "double strike", fixed<1>, 2, 1, detail::onOff },
    { esc('J'), "ESC J", "feed dots", fixed<1>, 2, 1 },
    { esc('L'), "ESC L", "page mode", fixed<0> },
    { esc('M'), "ESC M", "font", fixed<1>, 2, 1, detail::font },
    { esc('R'), "ESC R", "international character set", fixed<1>, 2, 1 },
    { esc('S'), "ESC S", "standard mode", fixed<0> },
    { esc('T'), "ESC T", "print direction", fixed<1>, 2, 1 },
    { esc('V'), "ESC V", "rotate 90 degrees", fixed<1>, 2, 1, detail::onOff },
    { esc('W'), "ESC W", "page-mode area", fixed<8>, 2, 8 },
    { esc('\\'), "ESC \\", "relative position", fixed<2>, 2, 2, detail::dotsParameter },
    { esc('a'), "ESC a", "justification", fixed<1>, 2, 1, detail::justification },
    { esc('c'), "ESC c", "sensors and panel buttons", fixed<2>, 2, 2 },
    { esc('d'), "ESC d", "feed lines", fixed<1>, 2, 1 },
    { esc('e'), "ESC e", "reverse feed lines", fixed<1>, 2, 1 },
    { esc('i'), "ESC i", "partial cut", fixed<0> },
    { esc('m'), "ESC m", "partial cut", fixed<0> },
    { esc('p'), "ESC p", "drawer pulse", fixed<3>, 2, 3, detail::drawerPin },
    { esc('r'), "ESC r", "colour", fixed<1>, 2, 1 },
    { esc('t'), "ESC t", "code table", fixed<1>, 2, 1, detail::codeTable },
    { esc('u'), "ESC u", "peripheral status", fixed<1>, 2, 1 },
    { esc('v'), "ESC v", "paper status", fixed<0> },
    { esc('{'), "ESC {", "upside-down", fixed<1>, 2, 1, detail::onOff },

    { fs('!'), "FS !", "Kanji print mode", fixed<1>, 2, 1 },
    { fs('&'), "FS &", "Kanji mode on", fixed<0> },
    { fs('('), "FS (", "extended function", lengthAfterName, 3, 2 },
    { fs('-'), "FS -", "Kanji underline", fixed<1>, 2, 1 },
    { fs('.'), "FS .", "Kanji mode off", fixed<0> },
    { fs('C'), "FS C", "Kanji code system", fixed<1>, 2, 1 },
    { fs('S'), "FS S", "Kanji spacing", fixed<2>, 2, 2 },
    { fs('W'), "FS W", "Kanji quadruple size", fixed<1>, 2, 1 },
    { fs('p'), "FS p", "print NV image", fixed<2>, 2, 2 },

    { gs('!'), "GS !", "character size", fixed<1>, 2, 1, detail::characterSize },
    { gs('$'), "GS $", "absolute vertical position", fixed<2>, 2, 2, detail::dotsParameter },
    { gs('('), "GS (", "extended function", lengthAfterName, 3, 2, detail::twoDimensionalCode },
    { gs('*'), "GS *", "define downloaded image", downloadedImageLength, 2, 2 },
    { gs('/'), "GS /", "print downloaded image", fixed<1>, 2, 1 },
    { gs('8'), "GS 8", "extended graphics", extendedGraphicsLength, 3, 4 },
    { gs(':'), "GS :", "macro definition", fixed<0> },
    { gs('B'), "GS B", "reverse", fixed<1>, 2, 1, detail::onOff },
    { gs('H'), "GS H", "HRI position", fixed<1>, 2, 1 },
    { gs('I'), "GS I", "printer ID", fixed<1>, 2, 1, detail::printerId },
    { gs('L'), "GS L", "left margin", fixed<2>, 2, 2, detail::dotsParameter },
    { gs('P'), "GS P", "motion units", fixed<2>, 2, 2 },
    { gs('T'), "GS T", "print position to line start", fixed<1>, 2, 1 },
    { gs('V'), "GS V", "", cutLength, 2, 2, detail::cut },
    { gs('W'), "GS W", "print width", fixed<2>, 2, 2, detail::dotsParameter },
    { gs('\\'), "GS \\", "relative vertical position", fixed<2>, 2, 2, detail::dotsParameter },
    { gs('^'), "GS ^", "run macro", fixed<3>, 2, 3 },
    { gs('a'), "GS a", "automatic status back", fixed<1>, 2, 1 },
    { gs('b'), "GS b", "smoothing", fixed<1>, 2, 1, detail::onOff },
    { gs('f'), "GS f", "HRI font", fixed<1>, 2, 1 },
    { gs('h'), "GS h", "barcode height", fixed<1>, 2, 1 },
    { gs('k'), "GS k", "barcode", barcodeLength, 2, 1, detail::barcode },
    { gs('r'), "GS r", "transmit status", fixed<1>, 2, 1 },
    { gs('v'), "GS v", "raster image", rasterImageLength, 3, 5, detail::rasterImage },
    { gs('w'), "GS w", "barcode module width", fixed<1>, 2, 1 },
};
// clang-format on

// One slot per possible command code of the four prefixes and the control bytes.
class Index {
public:
    Index()
    {
        for (const auto& row : kRows)
            m_rows[slot(row.code)] = &row;
    }
    const CommandRow* find(CommandCode code) const
    {
        const auto s = slot(code);
        return s < m_rows.size() ? m_rows[s] : nullptr;
    }

private:
    static std::size_t slot(CommandCode code)
    {
        const auto prefix = code >> 8, function = code & 0xFF;
        const int group = prefix == 0 ? 0
            : prefix == 0x10          ? 1
            : prefix == 0x1B          ? 2
            : prefix == 0x1C          ? 3
            : prefix == 0x1D          ? 4
                                      : 5;
        return std::size_t(group) * 256 + function;
    }
    std::array<const CommandRow*, 5 * 256> m_rows {};
};

} // namespace

const CommandRow* findCommand(CommandCode code)
{
    static const Index index;
    return index.find(code);
}

} // namespace escpos::table
