#include "cli/StatusWatch.h"

#include "cli/JsonText.h"
#include "escpos/AutoStatus.h"
#include "escpos/Command.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace cli {

namespace {

// How often the watch looks at the clock while the printer is silent.
constexpr std::chrono::milliseconds kListenSlice { 100 };

std::string isoTime(std::chrono::system_clock::time_point when)
{
    const auto since = when.time_since_epoch();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since - seconds);
    const std::time_t whole = seconds.count();
    std::tm parts {};
    ::gmtime_r(&whole, &parts);
    char text[40];
    const auto length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &parts);
    char fraction[8];
    std::snprintf(fraction, sizeof fraction, ".%03dZ", static_cast<int>(ms.count()));
    return std::string(text, length) + fraction;
}

std::string jsonList(const std::vector<std::string>& items)
{
    std::string text = "[";
    for (std::size_t i = 0; i < items.size(); ++i)
        text += (i ? "," : "") + jsonString(items[i]);
    return text + "]";
}

} // namespace

std::string autoStatusJson(std::string_view message, std::chrono::system_clock::time_point when)
{
    std::vector<std::string> keys, words;
    for (const auto condition : escpos::autoStatusConditions(message)) {
        keys.emplace_back(escpos::conditionKey(condition));
        words.emplace_back(escpos::conditionWords(condition));
    }
    return "{\"format\":1,\"time\":\"" + isoTime(when)
        + "\",\"bytes\":" + jsonString(escpos::hexBytes(message))
        + ",\"conditions\":" + jsonList(keys) + ",\"words\":" + jsonList(words) + "}\n";
}

std::size_t watchAutoStatus(printer::PrinterLink& link, std::chrono::seconds duration,
    const std::function<void(const std::string&)>& write, const std::function<bool()>& stopped)
{
    std::size_t count = 0;
    const auto deadline = std::chrono::steady_clock::now() + duration;
    link.chooseAutoStatus(escpos::kAutoStatusAll);
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || stopped())
            break;
        for (const auto& message : link.listen(std::min(left, kListenSlice))) {
            write(autoStatusJson(message, std::chrono::system_clock::now()));
            ++count;
        }
    }
    link.chooseAutoStatus(0);
    return count;
}

} // namespace cli
