#include "serial/ComTranslation.h"

#include "i18n/gnugettext.h"

namespace cport {

std::string comTranslate(const std::string& text)
{
    return gnugettext::loadBuiltinText(text);
}

} // namespace cport
