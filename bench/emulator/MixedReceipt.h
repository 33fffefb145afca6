#pragma once
// One receipt as point-of-sale programs send them: a header in large emphasized type, item lines
// with tabs and right-aligned prices, underlined and reversed text, a 576 by 200 dot raster logo
// (unless left out), a 256 by 64 dot stamp stored and printed as graphics (GS 8 L, GS ( L), a
// rule in the box characters of code table 1, a page-mode block of a label turned down its
// right side beside text, an EAN-13 barcode, a QR code, a drawer pulse and a cut.

#include <string>

namespace bench {

inline std::string mixedReceipt(int number, bool withLogo = true)
{
    using namespace std::string_literals;
    std::string bytes = "\x1b@\x1bt\x13\x1b"
                        "a1\x1b!\x38"
                        "QUILLET STORE\n\x1b!\x00"s;
    if (withLogo)
        bytes += "\x1dv0\x00\x48\x00\xc8\x00"s;
    for (int row = 0; row < (withLogo ? 200 : 0); ++row)
        for (int column = 0; column < 72; ++column)
            bytes += static_cast<char>(
                (row / 8 + column) % 3 == 0 ? 0xFF : (row * 7 + column) & 0x81);
    bytes += "\x1b"
             "a0Receipt "
        + std::to_string(number) + "\n";
    for (int item = 0; item < 12; ++item)
        bytes += "Item " + std::to_string(item) + "\tcoffee beans\x1b$\xc0\x01"
            + std::to_string(3 + item) + ",50 \xd5\n";
    bytes += "\x1b-\x01Subtotal\x1b-\x00\n\x1d"
             "B\x01 TOTAL 54,00 \xd5 \x1d"
             "B\x00\n"s;
    // Graphics for the print buffer: 2 + 10 parameter bytes and 32 bytes by 64 rows of dots.
    bytes += "\x1d"
             "8L\x0c\x08\x00\x00\x30\x70\x30\x01\x01\x31\x00\x01\x40\x00"s;
    for (int row = 0; row < 64; ++row)
        for (int column = 0; column < 32; ++column)
            bytes += static_cast<char>((row + column) % 5 == 0 ? 0xF0 : 0x0F);
    bytes += "\x1d(L\x02\x00\x30\x32\x1bt\x01"s + std::string(48, '\x95') + "\n\x1bt\x13";
    // Page mode: a 576 by 160 dot area, text across, then a label down its right side.
    bytes += "\x1bL\x1bW\x00\x00\x00\x00\x40\x02\xa0\x00Order "s + std::to_string(number)
        + "\nPick-up at the counter\n\x1bT\x03\x1d$\x00\x00PAID\x0c"s;
    bytes += "\x1b"
             "E\x01\x1b"
             "a2Thank you!\x1b"
             "E\x00\n\x1b"
             "a1"s;
    bytes += "\x1dh\x50\x1dw\x02\x1dH\x02\x1dk\x43\x0d"
             "4006381333931"s;
    const std::string url = "https://example.org/receipt/" + std::to_string(number);
    bytes += "\x1d(k\x03\x00\x31\x43\x05\x1d(k"s + char(url.size() + 3) + "\x00\x31\x50\x30"s + url;
    bytes += "\x1d(k\x03\x00\x31\x51\x30\x1bp\x00\x32\x32\x1dV\x42\x10"s;
    return bytes;
}

} // namespace bench
