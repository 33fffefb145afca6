#include "cli/PrometheusText.h"

#include "cli/ExitCode.h"
#include "platform/AtomicFile.h"

#include <cstdio>
#include <filesystem>

namespace cli {

namespace {

// A label value: backslash, double quote and line feed escaped.
std::string labelValue(const std::string& text)
{
    std::string escaped;
    for (const char c : text) {
        if (c == '\\' || c == '"')
            escaped += '\\';
        escaped += c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    return '"' + escaped + '"';
}

// The members of the "conditions" object of a status JSON whose value is true or false,
// as (name, value); a condition its question left unanswered (null) is not told.
std::vector<std::pair<std::string, bool>> toldConditions(const std::string& json)
{
    std::vector<std::pair<std::string, bool>> told;
    const auto start = json.find("\"conditions\":{");
    if (start == std::string::npos)
        return told;
    const auto end = json.find('}', start);
    std::size_t at = start + 14;
    while (at < end) {
        const auto nameEnd = json.find('"', at + 1);
        const std::string name = json.substr(at + 1, nameEnd - at - 1);
        const auto valueStart = nameEnd + 2;
        const auto valueEnd = std::min(json.find(',', valueStart), end);
        const std::string value = json.substr(valueStart, valueEnd - valueStart);
        if (value == "true" || value == "false")
            told.emplace_back(name, value == "true");
        at = valueEnd + 1;
    }
    return told;
}

std::string metricName(std::string condition)
{
    for (char& c : condition)
        if (c == '-')
            c = '_';
    return condition;
}

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

} // namespace

std::string prometheusText(const std::vector<FleetResult>& results)
{
    std::string up
        = "# HELP quillet_printer_up Whether the printer answered its status questions.\n"
          "# TYPE quillet_printer_up gauge\n";
    std::string conditions
        = "# HELP quillet_printer_condition Whether a condition holds, as the printer told it.\n"
          "# TYPE quillet_printer_condition gauge\n";
    std::string seconds = "# HELP quillet_printer_check_seconds How long the check took.\n"
                          "# TYPE quillet_printer_check_seconds gauge\n";
    for (const auto& result : results) {
        const std::string target = "target=" + labelValue(result.target);
        const bool answered = result.exitCode == exitDone || result.exitCode == exitPrinterFault;
        up += "quillet_printer_up{" + target + "} " + (answered ? "1" : "0") + '\n';
        for (const auto& [name, value] : toldConditions(result.statusJson))
            conditions += "quillet_printer_condition{" + target + ",condition=\"" + metricName(name)
                + "\"} " + (value ? "1" : "0") + '\n';
        seconds += "quillet_printer_check_seconds{" + target + "} " + number(result.seconds) + '\n';
    }
    return up + conditions + seconds;
}

int writePrometheusFile(const std::string& path, const std::string& text)
{
    const std::string folder = std::filesystem::absolute(path).parent_path().string();
    const platform::WriterLock lock(folder, platform::WriterLock::Kind::Folder);
    if (lock.error() != 0)
        return lock.error();
    return platform::replaceWholeFile(path, text);
}

} // namespace cli
