#include "serial/ComTranslation.h"

namespace cport {

std::string comTranslate(const std::string& text)
{
    return text;
}

} // namespace cport
