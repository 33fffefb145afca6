#include "cli/TargetConnection.h"

#include "cli/SerialArgument.h"

namespace cli {

TargetConnection::TargetConnection(const Target& target)
    : m_target(target)
{
    if (target.kind == printer::Connection::Com)
        applySerialSettings(target.serial, m_port);
}

bool TargetConnection::isChecked(printer::Connection connection) const
{
    return connection == m_target.kind;
}

} // namespace cli
