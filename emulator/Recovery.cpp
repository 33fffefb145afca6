#include "emulator/Recovery.h"

namespace emulator {

RecoveryEffect applyRecovery(const escpos::Command& command, escpos::ConditionSet& conditions)
{
    constexpr auto kRecoverable = static_cast<std::size_t>(escpos::Condition::RecoverableError);
    if (command.kind != escpos::CommandKind::Known || !conditions.test(kRecoverable))
        return {};
    const auto n = command.at(2);
    if (command.code == escpos::dle('\x05') && (n == 1 || n == 2)) {
        conditions.reset(kRecoverable);
        return { n == 2, true };
    }
    if (command.code == escpos::dle('\x14') && n == 8)
        return { true, false };
    return {};
}

} // namespace emulator
