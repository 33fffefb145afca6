#include "escpos/CodePages.h"

#include <algorithm>
#include <iterator>

namespace escpos {

namespace {

constexpr CodePage kCodePages[] = {
    { 0, "PC437", "CP437" },
    { 2, "PC850", "CP850" },
    { 3, "PC860", "CP860" },
    { 4, "PC863", "CP863" },
    { 5, "PC865", "CP865" },
    { 16, "WPC1252", "CP1252" },
    { 17, "PC866", "CP866" },
    { 18, "PC852", "CP852" },
    { 19, "PC858", "CP858" },
    { 45, "WPC1250", "CP1250" },
    { 46, "WPC1251", "CP1251" },
    { 47, "WPC1253", "CP1253" },
    { 48, "WPC1254", "CP1254" },
};

} // namespace

const CodePage* findCodePage(std::uint8_t number)
{
    const auto page = std::find_if(std::begin(kCodePages), std::end(kCodePages),
        [number](const CodePage& p) { return p.number == number; });
    return page == std::end(kCodePages) ? nullptr : page;
}

} // namespace escpos
