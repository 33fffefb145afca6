#pragma once
// The printer pane offscreen on a connection the test chooses, with its message boxes recorded.

#include "diagnostics/PrinterPane.h"
#include "diagnostics/StatusLight.h"
#include "platform/MessageBoxes.h"
#include "printer/SendToPrinter.h"
#include "tests/diagnostics/TestConnection.h"

#include <QAbstractButton>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>
#include <stdexcept>

namespace testsupport {

inline const std::string kCut("\x1D\x56\x42\x00", 4);

class PaneTest : public testing::Test {
protected:
    diagnostics::StatusLight& light(const char* key)
    {
        auto* found = pane.findChild<diagnostics::StatusLight*>(QString("light-") + key);
        if (!found)
            throw std::runtime_error(std::string("no light ") + key);
        return *found;
    }
    void click(const char* name)
    {
        QTest::mouseClick(pane.findChild<QAbstractButton*>(name), Qt::LeftButton);
    }
    QString summary() { return pane.findChild<QLabel*>("StatusSummary")->text(); }
    void sendPress(const std::string& bytes)
    {
        pane.press(
            bytes, [this](const std::string& b) { return printer::sendToPrinter(connection, b); });
    }

    platform::RecordingMessageService boxes;
    TestConnection connection;
    diagnostics::PrinterPane pane { connection };
};

} // namespace testsupport
