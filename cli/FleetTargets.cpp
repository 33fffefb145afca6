#include "cli/FleetTargets.h"

#include "cli/Arguments.h"
#include "cli/InputBytes.h"
#include "cli/UsageError.h"

#include <sstream>

namespace cli {

namespace {

std::string withoutComment(const std::string& line)
{
    const std::string kept = line.substr(0, line.find('#'));
    const auto first = kept.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return kept.substr(first, kept.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> wordsOf(const std::string& text)
{
    std::istringstream stream(text);
    std::vector<std::string> words;
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

// The line must name one connection and nothing else: checked as the command line would be.
void checkConnection(const std::vector<std::string>& words)
{
    std::vector<std::string> arguments = words;
    arguments.push_back("status");
    const Invocation invocation = parseArguments(arguments);
    if (words.empty() || words[0].rfind("--", 0) != 0 || !invocation.target)
        throw UsageError("not a connection (--com, --lpt or --net)");
    if (invocation.action != Action::Status || invocation.json || invocation.hex
        || invocation.timeoutGiven || invocation.wait.count() != 0)
        throw UsageError("a connection alone, no options");
}

} // namespace

std::vector<FleetTarget> readFleetTargets(const std::string& path)
{
    std::istringstream lines(readInputBytes(path));
    std::vector<FleetTarget> targets;
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        std::string text = withoutComment(line);
        if (text.empty())
            continue;
        auto words = wordsOf(text);
        try {
            checkConnection(words);
        } catch (const UsageError& error) {
            throw UsageError(path + ":" + std::to_string(number) + ": " + error.message());
        }
        targets.push_back({ std::move(text), std::move(words) });
    }
    if (targets.empty())
        throw UsageError(path + ": no targets");
    return targets;
}

} // namespace cli
