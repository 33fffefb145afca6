#include "printer/LptKernelView.h"

#include "platform/AsciiCase.h"

namespace printer {

namespace {

// LPGETSTATUS bits of the parallel port's status register.
constexpr int kErrorLineHigh = 0x08; // nFault: low means an error
constexpr int kSelected = 0x10;
constexpr int kPaperOut = 0x20;

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n\0");
    return text.substr(first, last - first + 1);
}

std::string* fieldOf(Ieee1284Id& id, std::string_view key)
{
    using platform::equalIgnoringCase;
    if (equalIgnoringCase(key, "MFG") || equalIgnoringCase(key, "MANUFACTURER"))
        return &id.maker;
    if (equalIgnoringCase(key, "MDL") || equalIgnoringCase(key, "MODEL"))
        return &id.model;
    if (equalIgnoringCase(key, "CMD") || equalIgnoringCase(key, "COMMAND SET"))
        return &id.commandSet;
    return nullptr;
}

} // namespace

LptLineStatus lptLineStatusFromByte(int status)
{
    return { (status & kPaperOut) != 0, (status & kSelected) != 0, (status & kErrorLineHigh) == 0 };
}

Ieee1284Id parseIeee1284Id(std::string_view text)
{
    Ieee1284Id id;
    while (!text.empty()) {
        const auto end = text.find(';');
        const auto pair = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view {} : text.substr(end + 1);
        const auto colon = pair.find(':');
        if (colon == std::string_view::npos)
            continue;
        if (auto* field = fieldOf(id, trimmed(pair.substr(0, colon))))
            *field = trimmed(pair.substr(colon + 1));
    }
    return id;
}

} // namespace printer
