#include "escpos/CapabilityPage.h"

#include <algorithm>
#include <stdexcept>

namespace escpos {

namespace {

constexpr std::uint8_t kCommonTables[] = { 0, 1, 2, 3, 4, 5, 16, 17, 18, 19, 45, 46, 47, 48, 255 };

struct KindInfo {
    CapabilityKind kind;
    const char* name;
    const char* feature; // the profile's feature it proves, or nullptr
};

// The items after the code tables, in the order they print.
constexpr KindInfo kItems[] = {
    { CapabilityKind::InternationalSets, "International sets (ESC R 0-17)", nullptr },
    { CapabilityKind::PrintModes, "Print modes (ESC !)", nullptr },
    { CapabilityKind::CharacterSizes, "Character sizes (GS ! 2x-4x)", nullptr },
    { CapabilityKind::Decorations, "Emphasis, underline, reverse, upside-down", nullptr },
    { CapabilityKind::Fonts, "Fonts A and B (ESC M)", nullptr },
    { CapabilityKind::RasterImage, "Image by GS v 0 (raster)", "bitImageRaster" },
    { CapabilityKind::BitImage8, "Image by ESC * 8-dot", "bitImageColumn" },
    { CapabilityKind::BitImage24, "Image by ESC * 24-dot", "highDensity" },
    { CapabilityKind::Graphics, "Image by GS ( L (graphics)", "graphics" },
    { CapabilityKind::BarcodesA, "Barcode by GS k function A", "barcodeA" },
    { CapabilityKind::BarcodesB, "Barcodes by GS k function B", "barcodeB" },
    { CapabilityKind::QrCode, "QR code by GS ( k", "qrCode" },
    { CapabilityKind::Pdf417, "PDF417 by GS ( k", "pdf417Code" },
    { CapabilityKind::QrImage, "QR code as an image (GS v 0)", nullptr },
    { CapabilityKind::PartialCut, "Partial cut (GS V 66)", "paperPartCut" },
    { CapabilityKind::FullCut, "Full cut (GS V 65)", "paperFullCut" },
};

std::string trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

// The name a profile gives a table: iconv's where there is one, as escpos-printer-db names them.
std::string profileTableName(const CodePage& page)
{
    return std::string(page.iconvName.empty() ? page.name : page.iconvName);
}

} // namespace

std::vector<const CodePage*> commonCodeTables()
{
    std::vector<const CodePage*> tables;
    for (const auto n : kCommonTables)
        tables.push_back(findCodePage(n));
    return tables;
}

std::vector<const CodePage*> parseCodeTableList(std::string_view list)
{
    std::vector<const CodePage*> tables;
    if (trimmed(list) == "all") {
        for (const auto& page : codePages())
            tables.push_back(&page);
        return tables;
    }
    for (std::size_t start = 0; start <= list.size();) {
        const auto comma = std::min(list.find(',', start), list.size());
        const auto word = trimmed(list.substr(start, comma - start));
        const CodePage* page = findCodePageNamed(word);
        if (!page)
            throw std::invalid_argument("unknown code table '" + word + "'");
        if (std::find(tables.begin(), tables.end(), page) == tables.end())
            tables.push_back(page);
        start = comma + 1;
    }
    return tables;
}

std::vector<CapabilityItem> capabilityItems(const std::vector<const CodePage*>& tables)
{
    std::vector<CapabilityItem> items;
    for (const CodePage* page : tables)
        items.push_back({ int(items.size()) + 1, CapabilityKind::CodeTable, page,
            "ESC t " + std::to_string(page->number) + " - " + std::string(page->name) });
    for (const auto& info : kItems)
        items.push_back({ int(items.size()) + 1, info.kind, nullptr, info.name });
    return items;
}

PrinterProfile profileFromTicks(const std::vector<CapabilityItem>& items,
    const std::vector<bool>& printedRight, PrinterProfile base)
{
    base.codePages.clear();
    base.features.clear();
    std::string wrong;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const bool right = i < printedRight.size() && printedRight[i];
        const auto& item = items[i];
        if (item.kind == CapabilityKind::CodeTable) {
            if (right)
                base.codePages.emplace_back(
                    item.codeTable->number, profileTableName(*item.codeTable));
            continue;
        }
        const auto info = std::find_if(std::begin(kItems), std::end(kItems),
            [&](const KindInfo& k) { return k.kind == item.kind; });
        if (info->feature)
            base.features.emplace_back(info->feature, right);
        else if (!right)
            wrong += (wrong.empty() ? "" : "; ") + item.name;
    }
    if (!wrong.empty())
        base.notes
            += (base.notes.empty() ? "" : " ") + std::string("Not printed right: ") + wrong + ".";
    if (base.fonts.empty())
        base.fonts = standardFonts(base.widthDots);
    return base;
}

} // namespace escpos
