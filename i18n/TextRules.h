#pragma once
// The translator's text rules: the line-end rule (keys are looked up without carriage
// returns; results carry a carriage return before every line feed) and the UTF-8 check of a
// catalog's translations.

#include <string>
#include <string_view>

namespace gnugettext {

// text without any carriage return (byte 13).
std::string withoutCarriageReturns(std::string_view text);

// text with a carriage return inserted before every line feed that does not follow one.
std::string withCarriageReturns(std::string_view text);

// True when text is well-formed UTF-8 (no overlong forms, surrogates or values above U+10FFFF).
bool isValidUtf8(std::string_view text);

} // namespace gnugettext
