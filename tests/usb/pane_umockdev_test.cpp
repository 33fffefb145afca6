// The printer pane's USB connection against fake printers on umockdev's testbed: the printers
// the listing finds, questions, the window's presses and typed bytes going to the chosen one
// (never to the window's connection) with the transcript, and the kernel's driver detached
// only while the box is ticked and attached again after. Runs under umockdev-wrapper; without
// it, skipped.
#include "FakeUsbPrinter.h"

#include "tests/diagnostics/PaneTest.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>

namespace {

const std::string kVendorClass = "/dev/bus/usb/001/004";
const std::string kHeld = "/dev/bus/usb/001/005";

class UsbPane : public testsupport::PaneTest {
protected:
    static void SetUpTestSuite()
    {
        s_printers = testsupport::FakeUsbPrinters::create(USB_PRINTERS,
            { { kVendorClass, false, {} },
                { kHeld, false, {}, "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-5/1-5:1.0" } },
            s_why);
    }
    static void TearDownTestSuite() { s_printers.reset(); }
    void SetUp() override
    {
        if (!s_printers)
            GTEST_SKIP() << s_why;
        // The window's connection must never be used meanwhile.
        connection.chosen = printer::Connection::Lpt;
        connection.lptName = "/nonexistent/lp0";
        pane.findChild<QCheckBox*>("UseUsb")->setChecked(true);
    }
    void choose(int row) { pane.findChild<QListWidget*>("UsbPrinters")->setCurrentRow(row); }
    void pressUsb(const std::string& bytes)
    {
        pane.press(bytes, [](const std::string&) -> printer::Delivery {
            throw std::logic_error("sent to the window's connection");
        });
    }

    static inline std::unique_ptr<testsupport::FakeUsbPrinters> s_printers;
    static inline std::string s_why;
};

TEST_F(UsbPane, QuestionsPressesAndTypedBytesGoToTheChosenPrinter)
{
    auto* list = pane.findChild<QListWidget*>("UsbPrinters");
    ASSERT_EQ(list->count(), 4); // found when the box was ticked
    EXPECT_EQ(list->item(0)->text().toStdString(), "1-4  04b8:0202  no serial number");
    EXPECT_EQ(list->currentRow(), 0);

    click("QueryStatus");
    EXPECT_TRUE(boxes.boxes().empty()) << boxes.boxes()[0].text;
    EXPECT_EQ(light("online").words(), "online");
    const std::string before = s_printers->received(kVendorClass);
    EXPECT_EQ(before.substr(0, 3), "\x10\x04\x01");
    EXPECT_GE(pane.transcript().transcript().byteCount(), before.size() + 4);

    pressUsb(testsupport::kCut);
    pane.findChild<QLineEdit*>("RawBytes")->setText("1b 40,0A");
    click("SendRaw");
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_EQ(s_printers->received(kVendorClass).substr(before.size()),
        testsupport::kCut + "\x1B\x40\x0A");

    pane.findChild<QLineEdit*>("RawBytes")->setText("1b 4");
    click("SendRaw");
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_NE(boxes.boxes()[0].text.find("hexadecimal"), std::string::npos);
}

TEST_F(UsbPane, TheKernelsDriverIsDetachedOnlyWhileTheBoxIsTicked)
{
    choose(1);
    EXPECT_NE(pane.findChild<QLabel*>("UsbPrinterLines")->text().toStdString().find("usblp"),
        std::string::npos);
    EXPECT_THROW(pressUsb(testsupport::kCut), std::exception);
    EXPECT_EQ(s_printers->received(kHeld), "");

    pane.findChild<QCheckBox*>("DetachDriver")->setChecked(true);
    pressUsb(testsupport::kCut);
    EXPECT_EQ(s_printers->received(kHeld), testsupport::kCut);
    EXPECT_EQ(s_printers->driverOf(kHeld), "usblp");
}

} // namespace
