// The serial component's messages through the translator: its error table is translated at
// its module start in the current domain ("default"), the error-code suffix at each error; the
// component's own domain "cport" serves the built-in-text list only.
#include "TranslatorFixture.h"
#include "platform/AnsiText.h"
#include "platform/MessageBoxes.h"
#include "serial/CPort.h"
#include "serial/ComApplication.h"
#include "serial/core/ComError.h"

using motest::TranslatorFixture;

namespace {

// The message of the error a port raises when its device does not exist.
std::string openFailureMessage()
{
    testsupport::TestSysRoot emptyMachine;
    cport::TComPort port;
    port.setPort("ttyMissing0");
    try {
        port.openPort();
    } catch (const cport::EComPort& error) {
        return error.what();
    }
    return "no error";
}

class ComponentTexts : public TranslatorFixture {
protected:
    ~ComponentTexts() override { cport::endComModule(); }
};

} // namespace

TEST_F(ComponentTexts, ErrorsAreTranslatedFromTheDefaultCatalogSuffixIncluded)
{
    motest::writeCatalog(catalog("de"),
        { { "Unable to open com port", "COM-Port kann nicht geöffnet werden" },
            { " (win error code: %d)", " (Windows-Fehler: %d)" } });
    start("de_DE.UTF-8");
    EXPECT_EQ(openFailureMessage(), "Unable to open com port (Windows-Fehler: 2)")
        << "the table is translated at the module start, the suffix at each error";
    cport::startComModule();
    EXPECT_EQ(openFailureMessage(),
        platform::utf8ToAnsi("COM-Port kann nicht geöffnet werden (Windows-Fehler: 2)"));
    EXPECT_EQ(cport::EComPort(14).what(), std::string("Cannot set property while connected"));
    cport::endComModule();
    EXPECT_EQ(cport::comErrorText(1), "Unable to open com port");
}

TEST_F(ComponentTexts, ALoneComponentCatalogLeavesTheMessagesUntranslated)
{
    motest::writeCatalog(catalog("de", "cport"),
        { { "Unable to open com port", "COM-Port kann nicht geöffnet werden" },
            { "Cannot set property while connected", "Port ist offen" },
            { " (win error code: %d)", " (Windows-Fehler: %d)" } });
    start("de_DE.UTF-8");
    cport::startComModule();
    EXPECT_EQ(openFailureMessage(), "Unable to open com port (win error code: 2)");
    EXPECT_EQ(cport::EComPort(14).what(), std::string("Cannot set property while connected"));
    // The domain is registered all the same: built-in texts still reach its catalog.
    EXPECT_EQ(
        gnugettext::translateBuiltinText("Cannot set property while connected"), "Port ist offen");
}

TEST_F(ComponentTexts, ASuffixTranslationThatDoesNotFitFallsBackToTheOriginal)
{
    motest::writeCatalog(catalog("de"), { { " (win error code: %d)", " (Fehler: %s %s)" } });
    start("de");
    cport::startComModule();
    EXPECT_EQ(
        cport::EComPort(2, 5).what(), std::string("WriteFile function failed (win error code: 5)"));
}

TEST_F(ComponentTexts, ADamagedCatalogIsReportedAtStartAndTheTableStaysAsBuilt)
{
    motest::writeBytes(catalog("de"), std::string(64, 'x'));
    start("de");
    platform::RecordingMessageService boxes;
    cport::startComModule();
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_NE(boxes.boxes()[0].text.find("This file is not a valid GNU gettext mo file: "),
        std::string::npos);
    EXPECT_EQ(cport::EComPort(14).what(), std::string("Cannot set property while connected"));
}
