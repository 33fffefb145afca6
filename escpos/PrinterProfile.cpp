#include "escpos/PrinterProfile.h"

#include "escpos/Json.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace escpos {

namespace {

constexpr std::string_view kFeatures[] = { "barcodeA", "barcodeB", "bitImageColumn",
    "bitImageRaster", "graphics", "highDensity", "paperFullCut", "paperPartCut", "pdf417Code",
    "pulseBel", "pulseStandard", "qrCode", "starCommands" };
constexpr std::string_view kMembers[] = { "vendor", "model", "name", "firmware", "notes",
    "codePages", "colors", "features", "fonts", "media" };

JsonValue text(const std::string& s)
{
    return { s };
}

JsonValue number(int n)
{
    return { double(n) };
}

std::string displayName(const PrinterProfile& profile)
{
    if (profile.vendor.empty() || profile.model.empty())
        return profile.vendor + profile.model;
    return profile.vendor + " " + profile.model;
}

// Reads the fields of an entry, collecting each problem instead of stopping at the first.
class Reader {
public:
    explicit Reader(const JsonValue& entry)
        : m_entry(entry)
    {
    }
    PrinterProfile read();

private:
    void problem(const std::string& what) { m_problems += what + "\n"; }
    std::string string(
        const JsonValue* parent, const std::string& path, std::string_view name, bool required);
    int positive(const JsonValue* parent, const std::string& path, std::string_view name);
    const JsonValue::Object* object(const JsonValue* value, const std::string& path);
    void readCodePages(PrinterProfile& profile);
    void readFeatures(PrinterProfile& profile);
    void readMedia(PrinterProfile& profile);
    void readFonts(PrinterProfile& profile);

    const JsonValue& m_entry;
    std::string m_problems;
};

std::string Reader::string(
    const JsonValue* parent, const std::string& path, std::string_view name, bool required)
{
    const JsonValue* value = parent ? parent->member(name) : nullptr;
    if (!value) {
        if (required)
            problem(path + std::string(name) + ": missing");
        return {};
    }
    if (!value->string()) {
        problem(path + std::string(name) + ": not a string");
        return {};
    }
    return *value->string();
}

int Reader::positive(const JsonValue* parent, const std::string& path, std::string_view name)
{
    const JsonValue* value = parent ? parent->member(name) : nullptr;
    const double* n = value ? value->number() : nullptr;
    if (!n || *n < 1 || *n > 100000 || std::floor(*n) != *n) {
        problem(path + std::string(name) + (value ? ": not a positive whole number" : ": missing"));
        return 0;
    }
    return int(*n);
}

const JsonValue::Object* Reader::object(const JsonValue* value, const std::string& path)
{
    if (!value)
        problem(path + ": missing");
    else if (!value->isObject())
        problem(path + ": not an object");
    return value ? value->object() : nullptr;
}

// A member name that is a table or font number: decimal, 0 to 255.
bool numberKey(const std::string& key, int& n)
{
    const auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), n);
    return error == std::errc() && end == key.data() + key.size() && n >= 0 && n < 256
        && (key.size() == 1 || key[0] != '0');
}

void Reader::readCodePages(PrinterProfile& profile)
{
    const auto* pages = object(m_entry.member("codePages"), "codePages");
    for (const auto& [key, value] : pages ? *pages : JsonValue::Object {}) {
        int n = 0;
        if (!numberKey(key, n))
            problem("codePages." + key + ": not a table number (0 to 255)");
        else if (!value.string())
            problem("codePages." + key + ": not a string");
        else
            profile.codePages.emplace_back(n, *value.string());
    }
}

void Reader::readFeatures(PrinterProfile& profile)
{
    const auto* features = object(m_entry.member("features"), "features");
    for (const auto& [key, value] : features ? *features : JsonValue::Object {}) {
        if (std::find(std::begin(kFeatures), std::end(kFeatures), key) == std::end(kFeatures))
            problem("features." + key + ": not a known feature");
        else if (!value.flag())
            problem("features." + key + ": not true or false");
        else
            profile.features.emplace_back(key, *value.flag());
    }
}

void Reader::readMedia(PrinterProfile& profile)
{
    const JsonValue* media = m_entry.member("media");
    if (!object(media, "media"))
        return;
    const JsonValue* width = media->member("width");
    if (object(width, "media.width")) {
        profile.widthMm = positive(width, "media.width.", "mm");
        profile.widthDots = positive(width, "media.width.", "pixels");
    }
    profile.dpi = positive(media, "media.", "dpi");
}

void Reader::readFonts(PrinterProfile& profile)
{
    const auto* fonts = object(m_entry.member("fonts"), "fonts");
    for (const auto& [key, value] : fonts ? *fonts : JsonValue::Object {}) {
        int n = 0;
        if (!numberKey(key, n) || n != int(profile.fonts.size())) {
            problem("fonts." + key + ": fonts are numbered 0, 1, ... in order");
            continue;
        }
        const std::string path = "fonts." + key + ".";
        if (!value.isObject())
            problem("fonts." + key + ": not an object");
        profile.fonts.push_back(
            { string(&value, path, "name", true), positive(&value, path, "columns") });
    }
}

PrinterProfile Reader::read()
{
    PrinterProfile profile;
    if (!m_entry.isObject())
        throw ProfileError("a profile is a JSON object");
    for (const auto& [key, value] : *m_entry.object())
        if (std::find(std::begin(kMembers), std::end(kMembers), key) == std::end(kMembers))
            problem(key + ": not a profile field");
    profile.vendor = string(&m_entry, "", "vendor", true);
    string(&m_entry, "", "name", true);
    profile.model = string(&m_entry, "", "model", false);
    profile.firmware = string(&m_entry, "", "firmware", false);
    profile.notes = string(&m_entry, "", "notes", false);
    readCodePages(profile);
    readFeatures(profile);
    readMedia(profile);
    readFonts(profile);
    if (!m_problems.empty())
        throw ProfileError(m_problems.substr(0, m_problems.size() - 1));
    return profile;
}

} // namespace

std::vector<std::string_view> profileFeatureNames()
{
    return { std::begin(kFeatures), std::end(kFeatures) };
}

std::vector<ProfileFont> standardFonts(int widthDots)
{
    return { { "Font A", widthDots / 12 }, { "Font B", widthDots / 9 } };
}

std::string profileJson(const PrinterProfile& profile)
{
    JsonValue::Object pages, features, fonts;
    for (const auto& [n, name] : profile.codePages)
        pages.push_back({ std::to_string(n), text(name) });
    for (const auto& [name, on] : profile.features)
        features.push_back({ name, JsonValue { on } });
    for (std::size_t i = 0; i < profile.fonts.size(); ++i)
        fonts.push_back({ std::to_string(i),
            JsonValue { JsonValue::Object { { "name", text(profile.fonts[i].name) },
                { "columns", number(profile.fonts[i].columns) } } } });
    const JsonValue width { JsonValue::Object {
        { "mm", number(profile.widthMm) }, { "pixels", number(profile.widthDots) } } };
    JsonValue::Object entry { { "vendor", text(profile.vendor) }, { "model", text(profile.model) },
        { "name", text(displayName(profile)) }, { "firmware", text(profile.firmware) },
        { "notes", text(profile.notes) }, { "codePages", { pages } },
        { "colors", { JsonValue::Object { { "0", text("black") } } } },
        { "features", { features } }, { "fonts", { fonts } },
        { "media", { JsonValue::Object { { "dpi", number(profile.dpi) }, { "width", width } } } } };
    return writeJson({ entry });
}

PrinterProfile readProfile(std::string_view json)
{
    try {
        return Reader(parseJson(json)).read();
    } catch (const JsonError& error) {
        throw ProfileError(std::string("not JSON: ") + error.what());
    }
}

} // namespace escpos
