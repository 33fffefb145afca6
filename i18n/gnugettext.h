#pragma once
// gnugettext: run-time translation of the program's built-in texts from GNU gettext .mo
// catalogs in "<folder of the executable>/locale/<language>/LC_MESSAGES/<domain>.mo".
// Texts are UTF-8. The module is started once during program start-up and ended at exit;
// every function may be called from any thread.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace gnugettext {

// What module start needs to know about the executable.
struct ModuleSetup {
    std::string executablePath;
    // The file position of the chain of embedded catalogs (0: none).
    std::uint64_t embeddedChainOffset = 0;
};

// This program's executable and its own embedded-catalog marker.
ModuleSetup thisExecutable();

// Module start: scans the embedded catalogs, creates the built-in-text domain list
// ("default"), and the translator (language from LANG or the user's locale, domain "default"
// bound to the catalog folder and selected), then installs loadBuiltinText as the loader of
// the runtime's built-in texts (platform/BuiltinTexts.h). A running module is ended first.
void startGnuGettext(const ModuleSetup& setup = thisExecutable());
// Module end: removes the loader of built-in texts, destroys the translator (closing every
// catalog), the domain list and the embedded-catalog table. Translation then leaves every
// text unchanged.
void endGnuGettext();

// msgid in the current domain ("default"). Before start and after end: msgid unchanged.
// Raises platform::Exception when a catalog exists but cannot be read, or when its
// translation of msgid is empty or not valid UTF-8.
std::string translateText(std::string_view msgid);
// msgid in the named domain, with the same rules.
std::string translateInDomain(std::string_view domain, std::string_view msgid);

// The longest translation taken for a short built-in text (a button caption, an error
// message). A catalog that answers more (a hostile one turning "OK" into 20 MB would stall
// every message box) is ignored for that text and reported once on the standard error stream.
inline constexpr std::size_t builtinTextLimit = 4096;

// translateText for a short built-in text of a component (the serial component's messages):
// a translation longer than builtinTextLimit is ignored.
std::string translateShortText(std::string_view msgid);
// A built-in text through the built-in-text domain list: the first domain whose result
// differs from text answers; a translation longer than builtinTextLimit counts as none.
// Before start and after end: text unchanged.
std::string translateBuiltinText(std::string_view text);
// Appends a domain to the built-in-text domain list (the serial component adds "cport").
void addBuiltinTextDomain(std::string_view name);
// The 8-bit form of a built-in text: translateBuiltinText, then Windows-1252.
std::string loadBuiltinText(std::string_view text);

// Set the language (empty: from LANG or the user's locale), a domain's catalog folder, and
// the current domain. Raise platform::Exception when the module is not started.
void chooseLanguage(const std::string& code);
void bindDomain(std::string_view domain, const std::string& directory);
void selectDomain(std::string_view domain);

// The language code in use ("de_DE"), empty when the module is not started.
std::string languageCode();

} // namespace gnugettext
