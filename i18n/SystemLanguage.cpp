#include "i18n/SystemLanguage.h"

#include <cstdlib>

namespace gnugettext {

namespace {

struct Identifier {
    std::uint32_t identifier;
    std::string_view code;
};

// The locale identifiers the translator knows, in the order a bare language is matched.
constexpr Identifier identifiers[] = {
    { 1030, "da_DK" },
    { 1031, "de_DE" },
    { 1032, "el_GR" },
    { 1033, "en_US" },
    { 1034, "es_ES" },
    { 1035, "fi_FI" },
    { 1036, "fr_FR" },
    { 1039, "is_IS" },
    { 1040, "it_IT" },
    { 1042, "ko_KR" },
    { 1043, "nl_NL" },
    { 1044, "no_NO" },
    { 1045, "pl_PL" },
    { 1046, "pt_BR" },
    { 1049, "ru_RU" },
    { 1053, "sv_SE" },
    { 2057, "en_GB" },
    { 2060, "fr_BE" },
    { 2067, "nl_BE" },
    { 2068, "nn_NO" },
    { 2070, "pt_PT" },
    { 2077, "sv_FI" },
    { 3082, "es_ES" },
    { 3084, "fr_CA" },
    { 4103, "de_LU" },
};

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isTwoLetters(std::string_view text)
{
    return text.size() == 2 && isAsciiLetter(text[0]) && isAsciiLetter(text[1]);
}

// "ll_CC.codeset@modifier": the language and the country, without codeset and modifier.
struct LocaleName {
    std::string_view language;
    std::string_view country;
};

LocaleName splitLocaleName(std::string_view name)
{
    name = name.substr(0, name.find_first_of(".@"));
    const std::size_t underscore = name.find('_');
    if (underscore == std::string_view::npos)
        return { name, {} };
    return { name.substr(0, underscore), name.substr(underscore + 1) };
}

std::string_view environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace

std::uint32_t localeIdentifier(std::string_view localeName)
{
    const LocaleName name = splitLocaleName(localeName);
    // The exact language and country, else the first entry of the language: a country the
    // table does not know still gets the language's own identifier.
    const Identifier* sameLanguage = nullptr;
    for (const Identifier& entry : identifiers) {
        if (entry.code.substr(0, 2) != name.language)
            continue;
        if (entry.code.substr(3) == name.country)
            return entry.identifier;
        if (!sameLanguage)
            sameLanguage = &entry;
    }
    return sameLanguage ? sameLanguage->identifier : 0;
}

std::string languageCodeOfIdentifier(std::uint32_t identifier)
{
    for (const Identifier& entry : identifiers) {
        if (entry.identifier == identifier)
            return std::string(entry.code);
    }
    return "C";
}

std::string languageCodeOfLocale(std::string_view localeName)
{
    const LocaleName name = splitLocaleName(localeName);
    if (isTwoLetters(name.language) && isTwoLetters(name.country))
        return std::string(name.language) + '_' + std::string(name.country);
    return languageCodeOfIdentifier(localeIdentifier(localeName));
}

std::string systemLanguageCode()
{
    // The order in which the C library chooses the locale of messages.
    for (const char* variable : { "LC_ALL", "LC_MESSAGES", "LANG" }) {
        const std::string_view value = environment(variable);
        if (!value.empty())
            return languageCodeOfLocale(value);
    }
    return "C";
}

} // namespace gnugettext
