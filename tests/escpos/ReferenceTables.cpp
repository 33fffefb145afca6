#include "ReferenceTables.h"

#include <cstdio>
#include <memory>
#include <regex>

namespace testsupport {

namespace {

// ESC t numbers and the names glibc publishes the same tables under.
const std::map<int, std::string> kCharmaps = { { 0, "IBM437" }, { 2, "IBM850" }, { 3, "IBM860" },
    { 4, "IBM863" }, { 5, "IBM865" }, { 11, "IBM851" }, { 13, "IBM857" }, { 14, "CP737" },
    { 15, "ISO-8859-7" }, { 16, "CP1252" }, { 17, "IBM866" }, { 18, "IBM852" }, { 19, "IBM858" },
    { 33, "CP775" }, { 34, "IBM855" }, { 35, "IBM861" }, { 36, "IBM862" }, { 37, "IBM864" },
    { 38, "IBM869" }, { 39, "ISO-8859-2" }, { 40, "ISO-8859-15" }, { 42, "CP774" }, { 43, "CP772" },
    { 44, "CP1125" }, { 45, "CP1250" }, { 46, "CP1251" }, { 47, "CP1253" }, { 48, "CP1254" },
    { 49, "CP1255" }, { 50, "CP1256" }, { 51, "CP1257" }, { 52, "CP1258" }, { 53, "RK1048" } };

} // namespace

std::map<int, char32_t> charmap(const std::string& name)
{
    static const std::regex line(R"(^<U([0-9A-F]{4,8})>\s+/x([0-9a-f]{2})\s)");
    std::map<int, char32_t> cells;
    const std::string command = "zcat /usr/share/i18n/charmaps/" + name + ".gz 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    char buffer[512];
    std::smatch match;
    while (pipe && std::fgets(buffer, sizeof buffer, pipe.get())) {
        const std::string row(buffer);
        if (std::regex_search(row, match, line))
            cells.emplace(std::stoi(match[2], nullptr, 16), std::stoul(match[1], nullptr, 16));
    }
    return cells;
}

std::optional<std::string> charmapOfTable(std::uint8_t table)
{
    const auto found = kCharmaps.find(table);
    return found == kCharmaps.end() ? std::nullopt : std::optional(found->second);
}

std::map<int, char32_t> publishedTable(std::uint8_t table)
{
    const auto name = charmapOfTable(table);
    if (!name)
        return {};
    auto cells = charmap(*name);
    // glibc's IBM857 predates IBM's revision of code page 857 that put the euro sign at 0xD5.
    if (table == 13 && !cells.empty())
        cells.emplace(0xD5, U'€');
    return cells;
}

std::u32string decodeThroughReference(const std::string& bytes)
{
    std::map<int, std::map<int, char32_t>> loaded;
    const std::map<int, char32_t>* current = nullptr;
    std::u32string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == 0x1B && i + 2 < bytes.size() && bytes[i + 1] == 't') {
            const int table = static_cast<unsigned char>(bytes[i + 2]);
            if (!loaded.count(table))
                loaded[table] = publishedTable(std::uint8_t(table));
            current = &loaded[table];
            i += 2;
            continue;
        }
        if (byte < 0x80 || !current) {
            text += char32_t(byte);
            continue;
        }
        const auto found = current->find(byte);
        text += found == current->end() ? U'\uFFFD' : found->second;
    }
    return text;
}

} // namespace testsupport
