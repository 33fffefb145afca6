// The pane's "Capabilities" tab, offscreen, against the real virtual printer over loopback TCP:
// the page printed and its items listed, the ticks saved as a profile with the identity the
// printer gives, and the sample text in the ticked tables.
#include "diagnostics/CapabilitiesTab.h"
#include "escpos/PrinterProfile.h"
#include "support/TcpListener.h"
#include "support/TempDir.h"
#include "tests/diagnostics/PaneTest.h"
#include "tests/emulator/PrinterProcess.h"

#include <QLineEdit>
#include <QListWidget>
#include <filesystem>

using testsupport::PrinterProcess;

namespace {

// The text of a GS I answer as the printer frames it (5F text 00).
std::string askedText(const std::string& address, char n)
{
    testsupport::RawClient client(address, 9100);
    client.send(std::string("\x1dI") + n);
    std::string reply;
    for (std::string byte = client.receive(1); !byte.empty() && byte != std::string(1, '\0');
         byte = client.receive(1))
        reply += byte;
    return reply.substr(1);
}

class CapabilitiesTabTest : public testsupport::PaneTest {
protected:
    void SetUp() override
    {
        printer = std::make_unique<PrinterProcess>(std::vector<std::string> {
            "--tcp", address + ":9100", "--out", out.path(), "--pause", "1" });
        printer->waitForLine("ready");
        connection.address = address;
        tab = pane.findChild<diagnostics::CapabilitiesTab*>("CapabilitiesTab");
        ASSERT_NE(tab, nullptr);
    }
    // The decoded commands of a receipt the printer reports.
    std::string logOf(const std::string& picture)
    {
        return out.readFile(std::filesystem::path(picture).stem().string() + ".txt");
    }
    QListWidget& list() { return *tab->findChild<QListWidget*>("CapabilityItems"); }
    void tick(int number) { list().item(number - 1)->setCheckState(Qt::Checked); }

    const std::string address = testsupport::randomLoopbackAddress();
    testsupport::TempDir out, files;
    std::unique_ptr<PrinterProcess> printer;
    diagnostics::CapabilitiesTab* tab = nullptr;
};

} // namespace

TEST_F(CapabilitiesTabTest, PagePrintedTickedSavedAndSampleInTheTickedTables)
{
    tab->findChild<QLineEdit*>("CodeTables")->setText("16,PC852,46");
    click("PrintCapabilityPage");
    EXPECT_TRUE(boxes.boxes().empty());
    ASSERT_EQ(list().count(), 19);
    EXPECT_EQ(list().item(1)->text(), "2. ESC t 18 - PC852");
    EXPECT_EQ(list().item(18)->text(), "19. Full cut (GS V 65)");
    const auto page = logOf(printer->waitForLine("receipt "));
    EXPECT_NE(page.find("text \"3. ESC t 46 - WPC1251\""), std::string::npos) << page;
    EXPECT_NE(
        logOf(printer->waitForLine("receipt ")).find("GS V 65 0 full cut"), std::string::npos);
    EXPECT_GT(pane.transcript().transcript().byteCount(), 5000u);

    tick(1); // WPC1252
    tick(3); // WPC1251
    tick(9); // GS v 0
    tick(15); // QR code by GS ( k
    ASSERT_TRUE(tab->saveProfile(QString::fromStdString(files.file("profile.json"))));
    const auto profile = escpos::readProfile(files.readFile("profile.json"));
    EXPECT_EQ(profile.vendor, askedText(address, 'B'));
    EXPECT_EQ(profile.model, askedText(address, 'C'));
    EXPECT_EQ(profile.firmware, askedText(address, 'A'));
    EXPECT_FALSE(profile.vendor.empty());
    EXPECT_EQ(profile.codePages,
        (std::vector<std::pair<int, std::string>> { { 16, "CP1252" }, { 46, "CP1251" } }));
    const auto feature = [&](const std::string& name) {
        for (const auto& [key, on] : profile.features)
            if (key == name)
                return on ? 1 : 0;
        return -1;
    };
    EXPECT_EQ(feature("bitImageRaster"), 1);
    EXPECT_EQ(feature("qrCode"), 1);
    EXPECT_EQ(feature("graphics"), 0);
    EXPECT_EQ(feature("paperFullCut"), 0);
    EXPECT_NE(profile.notes.find("International sets (ESC R 0-17)"), std::string::npos);
    EXPECT_EQ(profile.widthDots, 576);

    tab->findChild<QLineEdit*>("SampleText")->setText("Grüße Привет 中");
    click("PrintSampleText");
    const auto sample = logOf(printer->waitForLine("receipt "));
    EXPECT_NE(sample.find("ESC t 16 code table WPC1252\ntext \"Grüße \""), std::string::npos)
        << sample;
    EXPECT_NE(sample.find("ESC t 46 code table WPC1251\ntext \"Привет ?\""), std::string::npos)
        << sample;
    EXPECT_NE(tab->findChild<QLabel*>("CapabilitiesNote")->text().indexOf("中"), -1);
}

TEST_F(CapabilitiesTabTest, NothingIsSentForAListThatNamesNoTable)
{
    tab->findChild<QLineEdit*>("CodeTables")->setText("16, PC999");
    EXPECT_FALSE(tab->printPage());
    EXPECT_EQ(tab->findChild<QLabel*>("CapabilitiesNote")->text(), "unknown code table 'PC999'");
    EXPECT_EQ(pane.transcript().transcript().byteCount(), 0u);
    EXPECT_FALSE(tab->saveProfile(QString::fromStdString(files.file("none.json"))));
    EXPECT_FALSE(tab->printSampleText()) << "nothing ticked";
    tab->findChild<QLineEdit*>("SampleTable")->setText("PC999");
    EXPECT_FALSE(tab->printSampleText());
    EXPECT_EQ(tab->findChild<QLabel*>("CapabilitiesNote")->text(), "Not a code table: PC999");
}
