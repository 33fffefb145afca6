#pragma once

#include "escpos/CodePages.h"
#include "escpos/PrinterProfile.h"

#include <string>
#include <string_view>
#include <vector>

namespace escpos {

// What one item of the capability page tries.
enum class CapabilityKind {
    CodeTable, // one ESC t table as a 16 x 8 grid of bytes 0x80 to 0xFF
    InternationalSets, // ESC R 0 to 17, the 12 positions each replaces
    PrintModes, // ESC ! font B, emphasis, double height and width, underline
    CharacterSizes, // GS ! 2x to 4x
    Decorations, // ESC E, ESC - 1 and 2, GS B, ESC {
    Fonts, // ESC M 0 and 1
    RasterImage, // the test picture by GS v 0
    BitImage8, // by ESC * 8-dot bands
    BitImage24, // by ESC * 24-dot bands
    Graphics, // by GS ( L store and print
    BarcodesA, // GS k function A (zero-ended)
    BarcodesB, // GS k function B, every symbology 65 to 73, readable text below
    QrCode, // GS ( k QR code
    Pdf417, // GS ( k PDF417
    QrImage, // a QR code as a GS v 0 picture, for printers without GS ( k
    PartialCut,
    FullCut,
};

// One numbered item of the page: the technician ticks it when it printed right.
struct CapabilityItem {
    int number = 0; // from 1, as the page prints it
    CapabilityKind kind = CapabilityKind::CodeTable;
    const CodePage* codeTable = nullptr; // CodeTable only
    std::string name; // plain ASCII, as the page heads the item
};

// The tables a page tries unless told otherwise: the common ones of Epson-compatible printers.
std::vector<const CodePage*> commonCodeTables();
// A list as the command line gives it: table numbers or names separated by commas ("0,16,PC852"),
// or "all" for every table known. Raises std::invalid_argument naming what is not a table.
std::vector<const CodePage*> parseCodeTableList(std::string_view list);

// The items of a page with these code tables, numbered in the order they print.
std::vector<CapabilityItem> capabilityItems(const std::vector<const CodePage*>& tables);

// The whole page: ESC @, a title, each item under the ASCII header "number. name", a partial
// and a full cut at the end.
std::string capabilityPageBytes(const std::vector<CapabilityItem>& items);

// The data the page's symbols carry, for whoever reads them back.
struct PageSymbols {
    std::pair<std::string, std::string> barcodeA; // symbology name, data (GS k 2)
    std::vector<std::pair<std::string, std::string>> barcodes; // GS k 65 to 73, in order
    std::string qrCode, pdf417, qrImage;
};
const PageSymbols& pageSymbols();

// A profile from the technician's ticks: `printedRight[i]` for items[i]. The ticked code tables
// in their order, the features the items prove, the rest said in the notes; identity (vendor,
// model, firmware, media) comes from `base`.
PrinterProfile profileFromTicks(const std::vector<CapabilityItem>& items,
    const std::vector<bool>& printedRight, PrinterProfile base);

} // namespace escpos
