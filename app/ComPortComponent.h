#pragma once
// The window's serial port object as a named child of the window, so that it is created, found
// (findChild by objectName "CP") and destroyed with the other controls. The port itself knows
// nothing of Qt.

#include "serial/CPort.h"

#include <QObject>

namespace app {

class ComPortComponent : public QObject {
    Q_OBJECT
public:
    explicit ComPortComponent(QObject* parent = nullptr)
        : QObject(parent)
    {
    }

    cport::TComPort& port() { return m_port; }

    // Between the two, the stored settings are only recorded (see TCustomComPort).
    void beginLoading() { m_port.beginLoading(); }
    void endLoading() { m_port.endLoading(); }

private:
    cport::TComPort m_port;
};

} // namespace app
