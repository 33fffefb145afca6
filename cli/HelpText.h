#pragma once
// The texts of --help and --version.

#include <string>

namespace cli {

std::string helpText();
std::string versionText();

} // namespace cli
