#include "printer/TestActions.h"

namespace printer {

namespace {

const std::string initialisePrinter("\x1B\x40", 2);

} // namespace

std::string printTestBytes(const std::string& text)
{
    return initialisePrinter + text + "\r\n" + initialisePrinter;
}

std::string cutPaperBytes()
{
    return std::string("\x1D\x56\x42\x00", 4);
}

std::string cashDrawerBytes()
{
    return std::string("\x1B\x70\x00\x32\x32\x0D", 6);
}

} // namespace printer
