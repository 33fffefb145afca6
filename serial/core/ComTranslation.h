#pragma once
// The one place where the serial component's own texts (its error table and the error-code
// suffix) are translated: through the translator's built-in-text domains ("default", then the
// component's own "cport").

#include <string>

namespace cport {

// The translation of a built-in text of the component in the 8-bit code page of messages, or
// the text itself when no catalog has one. Raises the translator's error for a catalog that cannot
// be read.
std::string comTranslate(const std::string& text);

} // namespace cport
