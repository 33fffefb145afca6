#include "credits/UrlOpener.h"

#include <utility>

namespace credits {

namespace {

UrlOpener currentOpener;

} // namespace

UrlOpener setUrlOpener(UrlOpener opener)
{
    return std::exchange(currentOpener, std::move(opener));
}

void openWebAddress(const std::string& address)
{
    if (currentOpener)
        currentOpener(address);
}

} // namespace credits
