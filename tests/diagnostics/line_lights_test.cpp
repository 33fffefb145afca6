// The line lights with a scripted device (pseudo-terminals have no modem lines): changes of
// CTS, DSR, DCD and RI reach the lights on the GUI thread while "Keep port open" holds the
// port, and the port closes with the pane.
#include "FakeComDevice.h"
#include "diagnostics/PrinterPane.h"
#include "diagnostics/StatusLight.h"
#include "platform/MessageBoxes.h"
#include "serial/core/DeviceRecords.h"
#include "serial/ctl/QtSyncWakeUp.h"
#include "tests/diagnostics/TestConnection.h"

#include <QCheckBox>
#include <QTest>
#include <gtest/gtest.h>
#include <thread>

using namespace diagnostics;

namespace {

class LineLights : public testing::Test {
protected:
    LineLights()
    {
        connection.chosen = printer::Connection::Com;
        connection.port->setPort("COM7");
    }
    QString words(const char* key)
    {
        return pane.findChild<StatusLight*>(QString("light-") + key)->words();
    }
    // Waits on the event loop until the light reads `expected`.
    bool becomes(const char* key, const QString& expected)
    {
        for (int i = 0; i < 500 && words(key) != expected; ++i)
            QTest::qWait(10);
        return words(key) == expected;
    }
    void change(std::uint32_t modem, std::uint32_t event)
    {
        {
            std::lock_guard lock(script->mutex);
            script->modem = modem;
        }
        script->post(event);
    }

    cport::QtSyncWakeUp wakeUp;
    platform::RecordingMessageService boxes;
    std::shared_ptr<serialtest::FakeScript> script = std::make_shared<serialtest::FakeScript>();
    testsupport::TestConnection connection { std::make_unique<serialtest::FakeComDevice>(script) };
    PrinterPane pane { connection };
};

} // namespace

TEST_F(LineLights, EachModemLineChangeReachesItsLightOnTheGuiThread)
{
    pane.findChild<QCheckBox*>("KeepPortOpen")->setChecked(true);
    ASSERT_TRUE(boxes.boxes().empty());
    ASSERT_TRUE(connection.port->Connected());
    EXPECT_EQ(words("CTS"), "CTS: not available"); // until a line event proves the lines exist

    std::vector<std::thread::id> deliveredOn;
    auto ctsLight = connection.port->OnCTSChange;
    connection.port->OnCTSChange = [&](cport::TCustomComPort& port, bool on) {
        deliveredOn.push_back(std::this_thread::get_id());
        ctsLight(port, on);
    };
    using namespace cport;
    change(MS_CTS_ON, EV_CTS);
    EXPECT_TRUE(becomes("CTS", "CTS: on"));
    EXPECT_EQ(words("DSR"), "DSR: off");
    change(MS_CTS_ON | MS_DSR_ON, EV_DSR);
    EXPECT_TRUE(becomes("DSR", "DSR: on"));
    change(MS_DSR_ON | MS_RLSD_ON, EV_RLSD | EV_CTS);
    EXPECT_TRUE(becomes("DCD", "DCD: on"));
    EXPECT_TRUE(becomes("CTS", "CTS: off"));
    change(MS_RING_ON, EV_RING | EV_DSR | EV_RLSD);
    EXPECT_TRUE(becomes("RI", "RI: on"));
    EXPECT_TRUE(becomes("DCD", "DCD: off"));
    ASSERT_FALSE(deliveredOn.empty());
    for (const auto thread : deliveredOn)
        EXPECT_EQ(thread, std::this_thread::get_id());
}

TEST_F(LineLights, ClosingThePaneClosesThePortAndStopsTheLights)
{
    pane.findChild<QCheckBox*>("KeepPortOpen")->setChecked(true);
    ASSERT_TRUE(connection.port->Connected());
    pane.paneClosed();
    EXPECT_FALSE(connection.port->Connected());
    {
        std::lock_guard lock(script->mutex);
        EXPECT_FALSE(script->open);
    }
    EXPECT_EQ(words("CTS"), "CTS: port closed");
    EXPECT_FALSE(connection.port->OnRing);
}

TEST_F(LineLights, SwitchingTheConnectionClosesThePort)
{
    pane.findChild<QCheckBox*>("KeepPortOpen")->setChecked(true);
    ASSERT_TRUE(connection.port->Connected());
    connection.chosen = printer::Connection::Lpt;
    pane.connectionChanged();
    EXPECT_FALSE(connection.port->Connected());
    EXPECT_FALSE(pane.findChild<QCheckBox*>("KeepPortOpen")->isChecked());
}
