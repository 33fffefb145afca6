#pragma once
// The one place where the serial component's own texts (its error table and the error-code
// suffix) are translated. Until the localization module takes over it returns its argument.

#include <string>

namespace cport {

// The translation of a built-in text of the component, or the text itself.
std::string comTranslate(const std::string& text);

} // namespace cport
