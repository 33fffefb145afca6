// The choice of language: LANG first, then the user's locale, then the identifier table.

#include "Environment.h"
#include "i18n/SystemLanguage.h"
#include "i18n/TGnuGettextInstance.h"

#include <gtest/gtest.h>

using namespace gnugettext;

TEST(Language, ChosenFromLangThenTheUserLocale)
{
    struct Case {
        std::optional<std::string> lang;
        std::optional<std::string> lcAll;
        std::optional<std::string> lcMessages;
        const char* expected;
    };
    const Case cases[] = {
        { "de_DE.UTF-8", {}, {}, "de_DE" },
        { "de_DE", {}, {}, "de_DE" },
        { "fr", {}, {}, "fr" },
        { "C", {}, {}, "C" },
        { "sr_RS.UTF-8@latin", {}, {}, "sr_RS" },
        // Only LANG counts while it is set.
        { "it_IT.UTF-8", "en_US.UTF-8", "fr_FR", "it_IT" },
        // Unset (or empty): the user's locale, in the C library's order.
        { std::nullopt, "en_US.UTF-8", "fr_FR", "en_US" },
        { "", std::nullopt, "fr_CA.UTF-8", "fr_CA" },
        { std::nullopt, std::nullopt, std::nullopt, "C" },
        // A locale without a two-letter country goes through the identifier table.
        { std::nullopt, "de", std::nullopt, "de_DE" },
        { std::nullopt, "pt.UTF-8", std::nullopt, "pt_BR" },
        { std::nullopt, "el", std::nullopt, "el_GR" },
        { std::nullopt, "ast_ES.UTF-8", std::nullopt, "C" },
        { std::nullopt, "POSIX", std::nullopt, "C" },
        { std::nullopt, "C.UTF-8", std::nullopt, "C" },
    };
    for (const Case& c : cases) {
        motest::ScopedEnvironment environment;
        environment.set("LANG", c.lang);
        environment.set("LC_ALL", c.lcAll);
        environment.set("LC_MESSAGES", c.lcMessages);
        const TGnuGettextInstance translator("/opt/quillet/quillet", nullptr);
        EXPECT_EQ(translator.language(), c.expected) << c.lang.value_or("(unset)");
        EXPECT_EQ(translator.catalogDirectory(), "/opt/quillet/locale");
        EXPECT_EQ(translator.currentDomain(), "default");
    }
}

TEST(Language, GivenCodeLosesItsCodeSet)
{
    motest::ScopedEnvironment environment;
    TGnuGettextInstance translator("/opt/quillet/quillet", nullptr);
    EXPECT_EQ(translator.language(), "C");
    translator.chooseLanguage("pt_BR.ISO-8859-1");
    EXPECT_EQ(translator.language(), "pt_BR");
    environment.set("LANG", std::string("nl_BE.UTF-8"));
    translator.chooseLanguage("");
    EXPECT_EQ(translator.language(), "nl_BE");
}

TEST(Language, IdentifierTable)
{
    // The codes of these identifiers are the ISO names of their language and country.
    const std::pair<std::uint32_t, const char*> table[] = {
        { 1032, "el_GR" },
        { 1042, "ko_KR" },
        { 2057, "en_GB" },
        { 2077, "sv_FI" },
        { 0, "C" },
        { 1041, "C" },
    };
    for (const auto& [identifier, code] : table)
        EXPECT_EQ(languageCodeOfIdentifier(identifier), code) << identifier;
    // A country the table lacks still gets its language's identifier.
    EXPECT_EQ(localeIdentifier("de_LU.UTF-8"), 4103u);
    EXPECT_EQ(localeIdentifier("de_CH"), 1031u);
    EXPECT_EQ(localeIdentifier("ja_JP"), 0u);
}
