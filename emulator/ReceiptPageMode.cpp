// The print engine's page mode commands.
#include "emulator/ReceiptBuilder.h"

namespace emulator {

using escpos::control;
using escpos::esc;
using escpos::gs;

// Page mode's commands; FF, ESC FF and CAN act on the page while it is on.
bool ReceiptBuilder::applyPageMode(const escpos::Command& command)
{
    if (command.code == esc('L')) {
        if (!m_page.active()) {
            finishLine();
            m_page.enter(m_modes.alignment, m_modes.lineSpacing);
        }
        return true;
    }
    if (!m_page.active())
        return false;
    switch (command.code) {
    case esc('S'):
        m_page.leave();
        return true;
    case esc('W'):
        m_page.setArea(m_modes.across(command.le16(2)), m_modes.along(command.le16(4)),
            m_modes.across(command.le16(6)), m_modes.along(command.le16(8)));
        return true;
    case esc('T'):
        m_page.setDirection(command.at(2));
        return true;
    case gs('$'):
        m_page.setVertical(m_modes.along(command.le16(2)));
        return true;
    case gs('\\'):
        m_page.setVertical(
            m_page.vertical() + m_modes.along(static_cast<std::int16_t>(command.le16(2))));
        return true;
    case control('\f'):
    case esc('\f'):
        m_page.printOnto(m_paper);
        if (command.code == control('\f'))
            m_page.leave();
        return true;
    case control('\x18'):
        m_page.clear();
        return true;
    default:
        return false;
    }
}

} // namespace emulator
