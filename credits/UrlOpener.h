#pragma once
// Opening a web address in the desktop's browser, as a replaceable function: the application
// installs one that calls QDesktopServices::openUrl, tests install one that records the address.

#include <functional>
#include <string>

namespace credits {

using UrlOpener = std::function<void(const std::string& address)>;

// Installs the opener used from now on and returns the one it replaces. An empty function
// (the state at start) makes opening do nothing. GUI thread only.
UrlOpener setUrlOpener(UrlOpener opener);

// Hands the address to the installed opener. Whether the browser came up is not checked.
void openWebAddress(const std::string& address);

} // namespace credits
