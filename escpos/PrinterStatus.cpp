#include "escpos/PrinterStatus.h"

#include <algorithm>
#include <array>

namespace escpos {

namespace {

constexpr std::uint8_t kDle = 0x10, kEot = 0x04, kGs = 0x1D, kGsI = 0x49, kGsR = 0x72;
constexpr std::uint8_t kFixedMask = 0x93, kFixedValue = 0x12;
constexpr std::uint8_t kXon = 0x11, kXoff = 0x13, kTextStart = 0x5F;

// Which bits of which reply report each condition. A condition on two bits (paper near end,
// paper end) is reported when either is set and encoded with both, as printers send it.
struct StatusBits {
    StatusQuery query;
    std::uint8_t mask;
    Condition condition;
    std::string_view key;
    std::string_view words;
};

constexpr std::array<StatusBits, kConditionCount> kStatusBits = { {
    { StatusQuery::Printer, 0x04, Condition::DrawerPin3High, "drawer-open", "drawer pin 3 high" },
    { StatusQuery::Printer, 0x08, Condition::Offline, "offline", "offline" },
    { StatusQuery::Printer, 0x20, Condition::WaitingForRecovery, "waiting-for-recovery",
        "waiting for online recovery" },
    { StatusQuery::Printer, 0x40, Condition::FeedButtonPressed, "feed-button",
        "feed button pressed" },
    { StatusQuery::OfflineCause, 0x04, Condition::CoverOpen, "cover-open", "cover open" },
    { StatusQuery::OfflineCause, 0x08, Condition::PaperFedByButton, "paper-feed",
        "paper being fed by the feed button" },
    { StatusQuery::OfflineCause, 0x20, Condition::StoppedByPaperEnd, "paper-end-stop",
        "printing stopped by paper end" },
    { StatusQuery::OfflineCause, 0x40, Condition::ErrorOccurred, "error", "error occurred" },
    { StatusQuery::ErrorCause, 0x04, Condition::RecoverableError, "recoverable-error",
        "recoverable error" },
    { StatusQuery::ErrorCause, 0x08, Condition::CutterError, "cutter-error", "cutter error" },
    { StatusQuery::ErrorCause, 0x20, Condition::UnrecoverableError, "unrecoverable-error",
        "unrecoverable error" },
    { StatusQuery::ErrorCause, 0x40, Condition::AutoRecoverableError, "auto-recoverable-error",
        "auto-recoverable error" },
    { StatusQuery::PaperSensor, 0x0C, Condition::PaperNearEnd, "paper-near-end", "paper near end" },
    { StatusQuery::PaperSensor, 0x60, Condition::PaperEnd, "paper-end", "paper end" },
} };

// The table is indexed by condition.
constexpr bool tableFollowsConditionOrder()
{
    for (std::size_t i = 0; i < kStatusBits.size(); ++i)
        if (static_cast<std::size_t>(kStatusBits[i].condition) != i)
            return false;
    return true;
}
static_assert(tableFollowsConditionOrder());

const StatusBits& rowOf(Condition condition)
{
    return kStatusBits[static_cast<std::size_t>(condition)];
}

} // namespace

std::string statusQueryBytes(StatusQuery query)
{
    return { static_cast<char>(kDle), static_cast<char>(kEot), static_cast<char>(query) };
}

bool hasStatusFixedBits(std::uint8_t reply)
{
    return (reply & kFixedMask) == kFixedValue;
}

std::vector<Condition> conditionsOf(StatusQuery query)
{
    std::vector<Condition> conditions;
    for (const auto& row : kStatusBits)
        if (row.query == query)
            conditions.push_back(row.condition);
    return conditions;
}

std::optional<ConditionSet> decodeStatus(StatusQuery query, std::uint8_t reply)
{
    if (!hasStatusFixedBits(reply))
        return std::nullopt;
    ConditionSet set;
    for (const auto& row : kStatusBits)
        if (row.query == query && (reply & row.mask) != 0)
            set.set(static_cast<std::size_t>(row.condition));
    return set;
}

std::uint8_t encodeStatus(StatusQuery query, const ConditionSet& state)
{
    std::uint8_t reply = kFixedValue;
    for (const auto& row : kStatusBits)
        if (row.query == query && state.test(static_cast<std::size_t>(row.condition)))
            reply |= row.mask;
    return reply;
}

std::string_view conditionKey(Condition condition)
{
    return rowOf(condition).key;
}

std::string_view conditionWords(Condition condition)
{
    return rowOf(condition).words;
}

std::optional<Condition> conditionFromKey(std::string_view key)
{
    const auto row = std::find_if(
        kStatusBits.begin(), kStatusBits.end(), [key](const StatusBits& r) { return r.key == key; });
    if (row == kStatusBits.end())
        return std::nullopt;
    return row->condition;
}

std::string idQueryBytes(IdQuery query)
{
    return { static_cast<char>(kGs), static_cast<char>(kGsI), static_cast<char>(query) };
}

bool idAnswersText(IdQuery query)
{
    return static_cast<std::uint8_t>(query) >= static_cast<std::uint8_t>(IdQuery::Firmware);
}

std::string sensorQueryBytes(SensorQuery query)
{
    return { static_cast<char>(kGs), static_cast<char>(kGsR), static_cast<char>(query) };
}

bool fitsSensorByte(std::uint8_t reply)
{
    return (reply & 0x90) == 0;
}

bool fitsIdByte(std::uint8_t reply)
{
    return reply != 0 && (reply & 0x80) == 0 && !hasStatusFixedBits(reply) && reply != kXon
        && reply != kXoff;
}

std::size_t replyLength(std::string_view question, std::string_view bytes)
{
    if (bytes.empty() || question.size() != 3)
        return kNoReply;
    const auto first = static_cast<std::uint8_t>(bytes[0]);
    const auto n = static_cast<std::uint8_t>(question[2]);
    if (question[0] == char(kDle) && question[1] == char(kEot))
        return hasStatusFixedBits(first) ? 1 : kNoReply;
    if (question[0] == char(kGs) && question[1] == char(kGsR))
        return fitsSensorByte(first) ? 1 : kNoReply;
    if (question[0] != char(kGs) || question[1] != char(kGsI))
        return kNoReply;
    if (!idAnswersText(static_cast<IdQuery>(n)))
        return fitsIdByte(first) ? 1 : kNoReply;
    if (first != kTextStart)
        return kNoReply;
    const auto end = bytes.find('\0');
    return end == std::string_view::npos ? kReplyIncomplete : end + 1;
}

std::string questionName(std::string_view question)
{
    const std::string n
        = question.size() == 3 ? std::to_string(static_cast<std::uint8_t>(question[2])) : "";
    if (question.size() == 3 && question[0] == char(kDle) && question[1] == char(kEot))
        return "DLE EOT " + n;
    if (question.size() == 3 && question[0] == char(kGs) && question[1] == char(kGsI))
        return "GS I " + n;
    if (question.size() == 3 && question[0] == char(kGs) && question[1] == char(kGsR))
        return "GS r " + n;
    return {};
}

} // namespace escpos
