#pragma once
// The ESC/POS byte sequences of the three test actions. Byte strings are std::string: they are
// length-counted, and zero bytes are data.

#include <string>

namespace printer {

// "Print Test": ESC @, the test text exactly as given (already 8-bit, line breaks as CR LF),
// CR LF, ESC @.
std::string printTestBytes(const std::string& text);

// "Cut Paper": GS V 66 0, feed to the cutting position and cut partially.
std::string cutPaperBytes();

// "Cash Drawer": ESC p 0 50 50 (pin 2, 100 ms on and off), then CR.
std::string cashDrawerBytes();

} // namespace printer
