// Printer profiles: written and read back unchanged, and held to the field list the README
// documents (required, optional, nothing else).
#include "escpos/Json.h"
#include "escpos/PrinterProfile.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <set>
#include <sstream>

namespace {

struct DocumentedField {
    std::string name;
    bool optional;
    std::string meaning;
};

// The rows of the README's table of profile fields.
std::vector<DocumentedField> documentedFields()
{
    std::ifstream file(std::getenv("QUILLET_README"));
    std::stringstream text;
    text << file.rdbuf();
    const std::string readme = text.str();
    const auto start = readme.find("## Printer capabilities and profiles");
    const auto section = readme.substr(start, readme.find("\n## ", start + 1) - start);
    static const std::regex row(R"(\n\| `(\w+)` \| ([^|]+) \| ([^\n]+) \|)");
    std::vector<DocumentedField> fields;
    for (std::sregex_iterator it(section.begin(), section.end(), row), end; it != end; ++it)
        fields.push_back(
            { (*it)[1], (*it)[2].str().find("optional") != std::string::npos, (*it)[3] });
    return fields;
}

escpos::PrinterProfile sample()
{
    escpos::PrinterProfile profile;
    profile.vendor = "EPSON";
    profile.model = "TM-T20II";
    profile.firmware = "1.01 ESC/POS";
    profile.notes = "Quotes \" and \\ and a line\nbreak, Grüße";
    profile.codePages = { { 16, "CP1252" }, { 0, "CP437" }, { 255, "Page 255 (user-defined)" } };
    profile.features = { { "qrCode", true }, { "pdf417Code", false }, { "paperPartCut", true } };
    profile.widthMm = 58;
    profile.widthDots = 384;
    profile.dpi = 203;
    profile.fonts = escpos::standardFonts(384);
    return profile;
}

std::string withoutMember(const std::string& json, const std::string& name)
{
    auto entry = escpos::parseJson(json);
    auto& members = std::get<escpos::JsonValue::Object>(entry.value);
    std::erase_if(members, [&](const auto& member) { return member.first == name; });
    return escpos::writeJson(entry);
}

std::string readError(const std::string& json)
{
    try {
        escpos::readProfile(json);
    } catch (const escpos::ProfileError& error) {
        return error.what();
    }
    return "";
}

} // namespace

TEST(PrinterProfile, RoundTripKeepsEveryFieldAndTheTablesOrder)
{
    const auto profile = sample();
    EXPECT_EQ(escpos::readProfile(escpos::profileJson(profile)), profile);
    EXPECT_EQ(escpos::standardFonts(384),
        (std::vector<escpos::ProfileFont> { { "Font A", 32 }, { "Font B", 42 } }));
    const auto json = escpos::profileJson(profile);
    EXPECT_NE(json.find("\"name\": \"EPSON TM-T20II\""), std::string::npos) << json;
    EXPECT_LT(json.find("\"16\""), json.find("\"0\""));
}

TEST(PrinterProfile, AnIdentityInAnotherCharacterSetStillGivesValidJson)
{
    // GS I answers in the printer's own character set: a byte that is no UTF-8 is written as
    // U+FFFD, so the file still reads back.
    auto profile = sample();
    profile.model = "TM-\xD4\x31";
    const auto read = escpos::readProfile(escpos::profileJson(profile));
    EXPECT_EQ(read.model,
        "TM-\xEF\xBF\xBD"
        "1");
}

TEST(PrinterProfile, FieldsAreTheReadmesRequiredAndOptionalOnes)
{
    const auto fields = documentedFields();
    ASSERT_GE(fields.size(), 9u) << "the README's table of profile fields";
    const auto json = escpos::profileJson(sample());
    std::set<std::string> written, documented;
    const auto entry = escpos::parseJson(json);
    for (const auto& [name, value] : *entry.object())
        written.insert(name);
    for (const auto& field : fields) {
        documented.insert(field.name);
        const auto error = readError(withoutMember(json, field.name));
        if (field.optional)
            EXPECT_EQ(error, "") << field.name;
        else
            EXPECT_EQ(error, field.name + ": missing") << field.name;
    }
    EXPECT_EQ(written, documented);
    EXPECT_EQ(readError("{\"extra\": 1," + json.substr(1)), "extra: not a profile field");
}

TEST(PrinterProfile, FeatureNamesAreTheReadmes)
{
    std::set<std::string> documented;
    for (const auto& field : documentedFields())
        if (field.name == "features") {
            static const std::regex name("`(\\w+)`");
            const auto& text = field.meaning.substr(field.meaning.find("`false`") + 7);
            for (std::sregex_iterator it(text.begin(), text.end(), name), end; it != end; ++it)
                documented.insert((*it)[1]);
        }
    const auto names = escpos::profileFeatureNames();
    EXPECT_EQ(documented, std::set<std::string>(names.begin(), names.end()));
}

TEST(PrinterProfile, EveryProblemIsNamed)
{
    const std::string bad = R"({"vendor": 1, "name": "x", "codePages": {"07": "A", "300": "B"},
        "features": {"qrCode": "yes", "laser": true}, "fonts": {"1": {"name": "B", "columns": 42}},
        "media": {"dpi": 203.5, "width": {"mm": 80}}})";
    EXPECT_EQ(readError(bad),
        "vendor: not a string\n"
        "codePages.07: not a table number (0 to 255)\n"
        "codePages.300: not a table number (0 to 255)\n"
        "features.qrCode: not true or false\n"
        "features.laser: not a known feature\n"
        "media.width.pixels: missing\n"
        "media.dpi: not a positive whole number\n"
        "fonts.1: fonts are numbered 0, 1, ... in order");
    EXPECT_EQ(readError("{\"vendor\": \"x\",\n  \"name\": }"),
        "not JSON: expected a value at line 2, column 11");
    EXPECT_EQ(readError("[]"), "a profile is a JSON object");
    EXPECT_EQ(readError(std::string(100, '[')), "not JSON: nested too deeply at line 1, column 66");
}
