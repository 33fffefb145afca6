#include "serial/core/ComTranslation.h"

#include "i18n/gnugettext.h"
#include "platform/AnsiText.h"

namespace cport {

std::string comTranslate(const std::string& text)
{
    return platform::utf8ToAnsi(gnugettext::translateShortText(text));
}

} // namespace cport
