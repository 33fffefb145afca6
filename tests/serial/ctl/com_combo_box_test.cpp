// The port-bound combo box in the offscreen application: binding, code selections, user picks
// by keyboard, the port's destruction and the loading state.
#include "PtyPair.h"
#include "platform/MessageBoxes.h"
#include "serial/CPort.h"
#include "serial/ctl/ComComboBox.h"
#include "support/TempDir.h"

#include <QSignalSpy>
#include <QStringList>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace {

using namespace cport;

QStringList entries(const QComboBox& box)
{
    QStringList texts;
    for (int i = 0; i < box.count(); ++i)
        texts << box.itemText(i);
    return texts;
}

class ComComboBoxTest : public ::testing::Test {
protected:
    void addPorts(std::initializer_list<const char*> names)
    {
        std::filesystem::create_directories(root.file("sys/class/tty"));
        for (const char* name : names)
            std::filesystem::create_directories(
                root.file(std::string("sys/class/tty/") + name + "/device/driver"));
    }

    // Picks an entry as the operator does, with the keyboard: the arrow key from a neighbour.
    void pick(TComComboBox& box, int index)
    {
        const bool fromBelow = index + 1 < box.count();
        box.setCurrentIndex(fromBelow ? index + 1 : index - 1);
        QTest::keyClick(&box, fromBelow ? Qt::Key_Up : Qt::Key_Down);
        ASSERT_EQ(box.currentIndex(), index);
    }

    testsupport::TestSysRoot root;
    TComPort port;
    TComComboBox box;
    QSignalSpy clicks { &box, &TComComboBox::clicked };
    QSignalSpy changes { &box, &TComComboBox::changed };
};

TEST_F(ComComboBoxTest, StartsAsAnEmptyPickOnlyList)
{
    EXPECT_FALSE(box.isEditable());
    EXPECT_EQ(box.ComProperty(), cpNone);
    EXPECT_EQ(box.ComPort(), nullptr);
    EXPECT_FALSE(box.AutoApply());
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(box.Text(), QString());
}

TEST_F(ComComboBoxTest, PropertyFirstThenPortSelectsThePortValue)
{
    port.setBaudRate(br19200);
    box.setComProperty(cpBaudRate);
    EXPECT_EQ(box.count(), 16);
    EXPECT_EQ(box.currentIndex(), 0); // no port yet: the first entry
    box.setComPort(&port);
    EXPECT_EQ(box.ComPort(), &port);
    EXPECT_EQ(box.Text(), "19200");

    // Binding the same port again changes nothing.
    box.setCurrentIndex(2);
    box.setComPort(&port);
    EXPECT_EQ(box.currentIndex(), 2);

    // With the port bound, rebinding a property selects the port's value, or nothing.
    port.FlowControl().setControlRTS(rtsToggle);
    box.setComProperty(cpFlowControl);
    EXPECT_EQ(entries(box), QStringList({ "Hardware", "Software", "None", "Custom" }));
    EXPECT_EQ(box.Text(), "Custom");
    box.setComProperty(cpNone);
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(box.currentIndex(), -1);
    EXPECT_EQ(clicks.count() + changes.count(), 0);
}

TEST_F(ComComboBoxTest, PortListSelectsThePortOrNothing)
{
    EXPECT_THROW(box.setComProperty(cpPort), EComPort); // no sys/class/tty in the root
    EXPECT_EQ(box.ComProperty(), cpPort);
    EXPECT_EQ(box.currentIndex(), -1);

    addPorts({});
    box.setComPort(&port);
    box.setComProperty(cpPort);
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(box.currentIndex(), -1);

    addPorts({ "ttyUSB0", "ttyS0" });
    box.setComProperty(cpPort);
    EXPECT_EQ(entries(box), QStringList({ "ttyS0", "ttyUSB0" }));
    EXPECT_EQ(box.currentIndex(), -1); // "COM1" is not listed
    port.setPort("ttyusb0");
    box.showPortValue();
    EXPECT_EQ(box.Text(), "ttyUSB0");
}

TEST_F(ComComboBoxTest, TextSelectsIgnoringCase)
{
    addPorts({ "COM1", "COM2" });
    box.setComProperty(cpPort);
    box.setCurrentIndex(-1);
    EXPECT_EQ(box.Text(), QString());
    struct Case {
        const char* written;
        const char* shown;
    };
    for (const Case c : { Case { "com2", "COM2" }, Case { "COM9", "COM2" }, Case { "", "COM2" },
             Case { "Com1", "COM1" } }) {
        box.setText(c.written);
        EXPECT_EQ(box.Text(), c.shown) << c.written;
    }
    EXPECT_EQ(clicks.count() + changes.count(), 0);
}

TEST_F(ComComboBoxTest, PickRaisesClickThenStoresThenChange)
{
    box.setComProperty(cpBaudRate);
    box.setComPort(&port);
    std::vector<std::string> seen;
    QObject::connect(&box, &TComComboBox::clicked,
        [&] { seen.push_back("click at " + std::to_string(port.BaudRate())); });
    QObject::connect(&box, &TComComboBox::changed,
        [&] { seen.push_back("change at " + std::to_string(port.BaudRate())); });

    pick(box, 9); // "19200", AutoApply off: the port keeps 9600
    EXPECT_EQ(port.BaudRate(), br9600);
    box.selector().applyToPort(); // the pick was stored
    EXPECT_EQ(port.BaudRate(), br19200);

    box.setAutoApply(true);
    EXPECT_EQ(port.BaudRate(), br19200); // setting the flag applies nothing
    pick(box, 7); // "9600"
    EXPECT_EQ(port.BaudRate(), br9600);
    EXPECT_EQ(seen,
        (std::vector<std::string> { "click at 7", "change at 7", "click at 9", "change at 7" }));
}

// The main window puts a list of its own into a baud-rate selector.
TEST_F(ComComboBoxTest, PickFromEntriesOfOnesOwn)
{
    box.setComProperty(cpBaudRate);
    box.setComPort(&port);
    box.setAutoApply(true);
    box.clear();
    box.addItems({ "2400", "4800", "9600", "19200", "38400", "57600", "115200" });
    box.setCurrentIndex(3);
    pick(box, 6);
    EXPECT_EQ(port.BaudRate(), br115200);
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(ComComboBoxTest, DestroyedPortSelectsTheFirstEntryQuietly)
{
    auto doomed = std::make_unique<TComPort>();
    doomed->setDataBits(dbSeven);
    TComComboBox other;
    QSignalSpy otherChanges(&other, &TComComboBox::changed);
    for (TComComboBox* each : { &box, &other }) {
        each->setComProperty(cpDataBits);
        each->setComPort(doomed.get());
        EXPECT_EQ(each->Text(), "7");
    }
    doomed.reset();
    for (TComComboBox* each : { &box, &other }) {
        EXPECT_EQ(each->ComPort(), nullptr);
        EXPECT_EQ(each->Text(), "5");
    }
    EXPECT_EQ(clicks.count() + changes.count() + otherChanges.count(), 0);
}

// Only the bound port is followed; a combo box that goes first leaves the port nothing to call.
TEST_F(ComComboBoxTest, FollowsOnlyTheBoundPort)
{
    auto first = std::make_unique<TComPort>();
    auto second = std::make_unique<TComPort>();
    second->setStopBits(sbTwoStopBits);
    box.setComProperty(cpStopBits);
    box.setComPort(first.get());
    box.setComPort(second.get());
    EXPECT_EQ(box.Text(), "2");
    first.reset();
    box.setCurrentIndex(1);
    box.setComPort(nullptr); // forgets the port, keeps the selection
    second.reset();
    EXPECT_EQ(box.currentIndex(), 1);

    auto early = std::make_unique<TComComboBox>();
    early->setComProperty(cpParity);
    early->setComPort(&port);
    early.reset(); // `port` goes after the test body
}

// The main window's start on a machine listing COM3 and COM4 but no COM1.
TEST_F(ComComboBoxTest, LoadingShowsTheRecordedEntryWhenThePortValueIsMissing)
{
    addPorts({ "COM4", "COM3" });
    box.beginLoading();
    box.setComProperty(cpPort);
    box.setComPort(&port); // "COM1": no match, the entry recorded by the fill stays
    EXPECT_TRUE(box.isLoading());
    EXPECT_EQ(box.currentIndex(), -1); // recorded only
    box.endLoading();
    EXPECT_EQ(box.Text(), "COM3");
    EXPECT_EQ(clicks.count() + changes.count(), 0);
}

TEST_F(ComComboBoxTest, LoadingShowsThePortValueWhenListed)
{
    addPorts({ "COM4", "COM3" });
    port.setPort("COM4");
    box.beginLoading();
    box.setComProperty(cpPort);
    box.setComPort(&port);
    box.endLoading();
    EXPECT_EQ(box.Text(), "COM4");

    // A second load with nothing listed shows nothing.
    std::filesystem::remove_all(root.path() + "/sys/class/tty/COM3");
    std::filesystem::remove_all(root.path() + "/sys/class/tty/COM4");
    box.beginLoading();
    box.setComProperty(cpPort);
    box.endLoading();
    EXPECT_EQ(box.currentIndex(), -1);
}

// A failing write into the port ends the pick in the default error report, without OnChange.
TEST_F(ComComboBoxTest, PickThatThePortRefusesIsReported)
{
    addPorts({ "ttyMissing" });
    platform::RecordingMessageService messages;
    serialtest::PtyPair line;
    port.setEvents({});
    port.setPort(line.slavePath());
    port.openPort();
    box.setComProperty(cpPort);
    box.setComPort(&port);
    box.setAutoApply(true);
    box.addItem("spare"); // a neighbour to pick from
    pick(box, 0);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(changes.count(), 0);
    ASSERT_EQ(messages.boxes().size(), 1u);
    EXPECT_EQ(messages.boxes()[0].kind, platform::MessageKind::Error);
    EXPECT_EQ(messages.boxes()[0].text, "Unable to open com port (win error code: 2)");
    EXPECT_FALSE(port.Connected());
}

} // namespace
