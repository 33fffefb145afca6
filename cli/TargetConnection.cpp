#include "cli/TargetConnection.h"

#include "cli/SerialSpec.h"
#include "platform/LptDevice.h"
#include "serial/DevicePath.h"

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

std::string TargetConnection::devicePath() const
{
    switch (m_target.kind) {
    case printer::Connection::Com:
        return cport::comDevicePath(m_target.serial.port);
    case printer::Connection::Lpt:
        return platform::lptDevicePath(m_target.lptDevice);
    case printer::Connection::Ethernet:
        break;
    }
    return {};
}

} // namespace cli
