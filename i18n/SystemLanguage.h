#pragma once
// The user's language as the translator names it ("de_DE": language, underscore, country),
// found through the locale the user has set, with the table of locale identifiers as the
// fallback.

#include <cstdint>
#include <string>
#include <string_view>

namespace gnugettext {

// The language of the user's message locale (the first set of LC_ALL, LC_MESSAGES and LANG)
// as "ll_CC" when it names a two-letter language and a two-letter country; otherwise the
// code of its locale identifier; "C" as the last resort.
std::string systemLanguageCode();

// The language code of a locale name ("de_DE.UTF-8@euro" gives "de_DE", "de" gives the
// table's "de_DE", "C" and unknown names give "C").
std::string languageCodeOfLocale(std::string_view localeName);

// The locale identifier of a locale name, 0 when the table has none for its language.
std::uint32_t localeIdentifier(std::string_view localeName);

// The code of a locale identifier from the table; "C" for any other identifier.
std::string languageCodeOfIdentifier(std::uint32_t identifier);

} // namespace gnugettext
