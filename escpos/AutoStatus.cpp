#include "escpos/AutoStatus.h"

namespace escpos {

namespace {

struct MessageBits {
    std::size_t byte;
    std::uint8_t mask;
    Condition condition;
    std::uint8_t enabledBy; // the GS a bit whose changes it reports
};

// A condition on two bits (paper near end, paper end) is read from either and sent with both.
constexpr MessageBits kMessageBits[] = {
    { 0, 0x04, Condition::DrawerPin3High, kAutoStatusDrawer },
    { 0, 0x08, Condition::Offline, kAutoStatusOnline },
    { 0, 0x20, Condition::CoverOpen, kAutoStatusOnline },
    { 0, 0x40, Condition::PaperFedByButton, kAutoStatusOnline },
    { 1, 0x04, Condition::RecoverableError, kAutoStatusErrors },
    { 1, 0x08, Condition::CutterError, kAutoStatusErrors },
    { 1, 0x20, Condition::UnrecoverableError, kAutoStatusErrors },
    { 1, 0x40, Condition::AutoRecoverableError, kAutoStatusErrors },
    { 2, 0x03, Condition::PaperNearEnd, kAutoStatusPaper },
    { 2, 0x0C, Condition::PaperEnd, kAutoStatusPaper },
};

constexpr std::uint8_t kFirstFixed = 0x10;

std::uint8_t byteAt(std::string_view message, std::size_t index)
{
    return index < message.size() ? static_cast<std::uint8_t>(message[index]) : 0;
}

} // namespace

std::string autoStatusCommand(std::uint8_t bits)
{
    return std::string { '\x1D', '\x61', static_cast<char>(bits) };
}

std::string autoStatusMessage(const ConditionSet& state)
{
    std::string message { static_cast<char>(kFirstFixed), '\0', '\0', '\0' };
    for (const auto& row : kMessageBits)
        if (state.test(static_cast<std::size_t>(row.condition)))
            message[row.byte] = static_cast<char>(byteAt(message, row.byte) | row.mask);
    return message;
}

bool autoStatusDiffers(std::uint8_t bits, std::string_view before, std::string_view after)
{
    for (const auto& row : kMessageBits)
        if ((bits & row.enabledBy)
            && ((byteAt(before, row.byte) ^ byteAt(after, row.byte)) & row.mask))
            return true;
    return false;
}

bool startsAutoStatus(std::uint8_t byte)
{
    return (byte & 0x93) == kFirstFixed;
}

bool continuesAutoStatus(std::uint8_t byte)
{
    return (byte & 0x90) == 0;
}

std::vector<Condition> autoStatusConditions(std::string_view message)
{
    std::vector<Condition> conditions;
    for (const auto& row : kMessageBits)
        if (byteAt(message, row.byte) & row.mask)
            conditions.push_back(row.condition);
    return conditions;
}

} // namespace escpos
