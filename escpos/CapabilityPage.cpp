#include "escpos/CapabilityPage.h"

#include "escpos/CapabilityImages.h"

namespace escpos {

namespace {

const char* const kInternationalSets[] = { "USA", "France", "Germany", "United Kingdom",
    "Denmark I", "Sweden", "Italy", "Spain I", "Japan", "Norway", "Denmark II", "Spain II",
    "Latin America", "Korea", "Slovenia/Croatia", "China", "Vietnam", "Arabia" };

std::string command(std::initializer_list<int> bytes)
{
    std::string out;
    for (const int b : bytes)
        out += char(b);
    return out;
}

// 16 columns of bytes 0x80 to 0xFF in two groups of 8, a row for each high digit.
std::string codeTableGrid(const CodePage& page)
{
    std::string out = command({ 0x1B, 't', page.number }) + "  01234567 89ABCDEF\n";
    for (int high = 8; high < 16; ++high) {
        out += "0123456789ABCDEF"[high];
        out += ' ';
        for (int low = 0; low < 16; ++low) {
            if (low == 8)
                out += ' ';
            out += char(high << 4 | low);
        }
        out += '\n';
    }
    return out + command({ 0x1B, 't', 0 });
}

std::string internationalSets()
{
    std::string out;
    for (int n = 0; n < 18; ++n) {
        std::string label = (n < 10 ? " " : "") + std::to_string(n) + " " + kInternationalSets[n];
        label.resize(20, ' ');
        out += command({ 0x1B, 'R', n }) + label + "#$@[\\]^`{|}~\n";
    }
    return out + command({ 0x1B, 'R', 0 });
}

// Lines each printed in a mode and followed by the command that ends it.
std::string styledLines(
    std::initializer_list<std::pair<std::string, std::string>> lines, const std::string& end)
{
    std::string out;
    for (const auto& [on, text] : lines)
        out += on + text + "\n" + end;
    return out;
}

std::string printModes()
{
    const std::string reset = command({ 0x1B, '!', 0 });
    return styledLines(
        { { reset, "ESC ! 0 normal" }, { command({ 0x1B, '!', 1 }), "ESC ! 1 font B" },
            { command({ 0x1B, '!', 8 }), "ESC ! 8 emphasized" },
            { command({ 0x1B, '!', 16 }), "ESC ! 16 double height" },
            { command({ 0x1B, '!', 32 }), "ESC ! 32 double width" },
            { command({ 0x1B, '!', 128 }), "ESC ! 128 underline" } },
        reset);
}

std::string characterSizes()
{
    return styledLines(
        { { command({ 0x1D, '!', 0x11 }), "2x" }, { command({ 0x1D, '!', 0x22 }), "3x" },
            { command({ 0x1D, '!', 0x33 }), "4x" } },
        command({ 0x1D, '!', 0 }));
}

std::string decorations()
{
    return command({ 0x1B, 'E', 1 }) + "ESC E emphasized\n" + command({ 0x1B, 'E', 0 })
        + command({ 0x1B, '-', 1 }) + "ESC - 1 underline\n" + command({ 0x1B, '-', 2 })
        + "ESC - 2 thick underline\n" + command({ 0x1B, '-', 0 }) + command({ 0x1D, 'B', 1 })
        + "GS B reverse\n" + command({ 0x1D, 'B', 0 }) + command({ 0x1B, '{', 1 })
        + "ESC { upside-down\n" + command({ 0x1B, '{', 0 });
}

std::string fonts()
{
    return command({ 0x1B, 'M', 0 }) + "ESC M 0 font A ABCabc123\n" + command({ 0x1B, 'M', 1 })
        + "ESC M 1 font B ABCabc123\n" + command({ 0x1B, 'M', 0 });
}

// Readable text below, 64 dots tall, modules of 2 dots.
const std::string kBarcodeSetup = command({ 0x1D, 'H', 2, 0x1D, 'h', 64, 0x1D, 'w', 2 });

std::string barcodesA()
{
    const auto& [name, data] = pageSymbols().barcodeA;
    return kBarcodeSetup + name + " (GS k 2)\n" + command({ 0x1D, 'k', 2 }) + data
        + std::string(1, '\0') + "\n";
}

std::string barcodesB()
{
    static const int kTypes[] = { 65, 66, 67, 68, 69, 70, 71, 72, 73 };
    std::string out = kBarcodeSetup;
    for (std::size_t i = 0; i < std::size(kTypes); ++i) {
        const auto& [name, data] = pageSymbols().barcodes[i];
        std::string sent = kTypes[i] == 73 ? "{B" + data : data; // CODE128 starts in code set B
        out += name + " (GS k " + std::to_string(kTypes[i]) + ")\n"
            + command({ 0x1D, 'k', kTypes[i], int(sent.size()) }) + sent + "\n";
    }
    return out;
}

// GS ( k pL pH cn fn parameters.
std::string symbolFunction(int symbol, int function, const std::string& parameters)
{
    const std::size_t length = parameters.size() + 2;
    return command({ 0x1D, '(', 'k', int(length & 0xFF), int(length >> 8), symbol, function })
        + parameters;
}

std::string qrCode()
{
    return symbolFunction('1', 'A', command({ '2', 0 })) + symbolFunction('1', 'C', command({ 6 }))
        + symbolFunction('1', 'E', command({ '1' }))
        + symbolFunction('1', 'P', "0" + pageSymbols().qrCode) + symbolFunction('1', 'Q', "0")
        + "\n";
}

std::string pdf417()
{
    return symbolFunction('0', 'A', command({ 0 })) + symbolFunction('0', 'B', command({ 0 }))
        + symbolFunction('0', 'C', command({ 3 })) + symbolFunction('0', 'D', command({ 3 }))
        + symbolFunction('0', 'E', command({ '0', '1' }))
        + symbolFunction('0', 'P', "0" + pageSymbols().pdf417) + symbolFunction('0', 'Q', "0")
        + "\n";
}

std::string itemBody(const CapabilityItem& item)
{
    switch (item.kind) {
    case CapabilityKind::CodeTable:
        return codeTableGrid(*item.codeTable);
    case CapabilityKind::InternationalSets:
        return internationalSets();
    case CapabilityKind::PrintModes:
        return printModes();
    case CapabilityKind::CharacterSizes:
        return characterSizes();
    case CapabilityKind::Decorations:
        return decorations();
    case CapabilityKind::Fonts:
        return fonts();
    case CapabilityKind::RasterImage:
        return rasterImageBytes(testImage());
    case CapabilityKind::BitImage8:
    case CapabilityKind::BitImage24:
        return bitImageBytes(testImage(), item.kind == CapabilityKind::BitImage24);
    case CapabilityKind::Graphics:
        return graphicsBytes(testImage());
    case CapabilityKind::BarcodesA:
        return barcodesA();
    case CapabilityKind::BarcodesB:
        return barcodesB();
    case CapabilityKind::QrCode:
        return qrCode();
    case CapabilityKind::Pdf417:
        return pdf417();
    case CapabilityKind::QrImage:
        return rasterImageBytes(pageQrCodeImage(6));
    case CapabilityKind::PartialCut:
        return command({ 0x1D, 'V', 66, 0 });
    case CapabilityKind::FullCut:
        return command({ 0x1D, 'V', 65, 0 });
    }
    return {};
}

} // namespace

const PageSymbols& pageSymbols()
{
    static const PageSymbols symbols { { "EAN13", "590123412345" },
        { { "UPC-A", "01234567890" }, { "UPC-E", "0123456" }, { "EAN13", "400638133393" },
            { "EAN8", "9638507" }, { "CODE39", "QUILLET-39" }, { "ITF", "1234567895" },
            { "CODABAR", "A40156B" }, { "CODE93", "QUILLET-93" }, { "CODE128", "Quillet-128" } },
        "Quillet QR by GS ( k", "Quillet PDF417 by GS ( k", "Quillet QR as an image" };
    return symbols;
}

std::string capabilityPageBytes(const std::vector<CapabilityItem>& items)
{
    std::string out = command({ 0x1B, '@' }) + "Quillet capability page\n"
        + std::to_string(items.size()) + " items: mark on the screen what printed right.\n";
    for (const auto& item : items) {
        // The header is plain ASCII, which every table prints alike, after a blank line.
        out += "\n" + std::to_string(item.number) + ". " + item.name + "\n";
        out += itemBody(item);
    }
    return out;
}

} // namespace escpos
