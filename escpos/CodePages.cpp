#include "escpos/CodePages.h"

#include <algorithm>
#include <charconv>
#include <iterator>

namespace escpos {

namespace {

// The common tables of Epson-compatible printers. IBM's PC1118 and PC1119 are the Lithuanian
// standards glibc knows as CP774 (LST 1283) and CP772 (LST 1284).
constexpr CodePage kCodePages[] = {
    { 0, "PC437", "CP437" },
    { 1, "Katakana", "" },
    { 2, "PC850", "CP850" },
    { 3, "PC860", "CP860" },
    { 4, "PC863", "CP863" },
    { 5, "PC865", "CP865" },
    { 11, "PC851", "IBM851" },
    { 12, "PC853", "" },
    { 13, "PC857", "IBM857" },
    { 14, "PC737", "CP737" },
    { 15, "ISO8859-7", "ISO-8859-7" },
    { 16, "WPC1252", "CP1252" },
    { 17, "PC866", "CP866" },
    { 18, "PC852", "CP852" },
    { 19, "PC858", "IBM858" },
    { 32, "PC720", "" },
    { 33, "WPC775", "CP775" },
    { 34, "PC855", "IBM855" },
    { 35, "PC861", "IBM861" },
    { 36, "PC862", "IBM862" },
    { 37, "PC864", "IBM864" },
    { 38, "PC869", "IBM869" },
    { 39, "ISO8859-2", "ISO-8859-2" },
    { 40, "ISO8859-15", "ISO-8859-15" },
    { 41, "PC1098", "" },
    { 42, "PC1118", "CP774" },
    { 43, "PC1119", "CP772" },
    { 44, "PC1125", "CP1125" },
    { 45, "WPC1250", "CP1250" },
    { 46, "WPC1251", "CP1251" },
    { 47, "WPC1253", "CP1253" },
    { 48, "WPC1254", "CP1254" },
    { 49, "WPC1255", "CP1255" },
    { 50, "WPC1256", "CP1256" },
    { 51, "WPC1257", "CP1257" },
    { 52, "WPC1258", "CP1258" },
    { 53, "KZ-1048", "RK1048" },
    { 254, "Page 254 (blank)", "" },
    { 255, "Page 255 (user-defined)", "" },
};

bool sameLetters(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

} // namespace

const CodePage* findCodePageNamed(std::string_view text)
{
    unsigned number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error == std::errc() && end == text.data() + text.size() && !text.empty())
        return number < 256 ? findCodePage(std::uint8_t(number)) : nullptr;
    const auto page
        = std::find_if(std::begin(kCodePages), std::end(kCodePages), [text](const CodePage& p) {
              return sameLetters(p.name, text)
                  || (!p.iconvName.empty() && sameLetters(p.iconvName, text));
          });
    return page == std::end(kCodePages) ? nullptr : page;
}

const CodePage* findCodePage(std::uint8_t number)
{
    const auto page = std::find_if(std::begin(kCodePages), std::end(kCodePages),
        [number](const CodePage& p) { return p.number == number; });
    return page == std::end(kCodePages) ? nullptr : page;
}

std::span<const CodePage> codePages()
{
    return kCodePages;
}

} // namespace escpos
