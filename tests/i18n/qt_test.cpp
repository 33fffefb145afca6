// Qt's stock texts in real (offscreen) widgets, translated through a test catalog.

#include "TranslatorFixture.h"
#include "i18n/qt/Localization.h"
#include "platform/MessageBoxes.h"

#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

#include <memory>

using namespace gnugettext;
using namespace motest;

namespace {

// The OK button's caption without its mnemonic marker (GNOME's theme asks for "&OK").
QString okCaption()
{
    QMessageBox box(QMessageBox::Information, "Quillet", "Text", QMessageBox::Ok);
    box.show();
    return box.button(QMessageBox::Ok)->text().remove('&');
}

QStringList contextMenuTexts()
{
    QLineEdit edit("some text");
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << action->text().section('\t', 0, 0);
    return texts;
}

} // namespace

class QtStockTexts : public TranslatorFixture {
protected:
    ~QtStockTexts() override { endLocalization(); }
};

TEST_F(QtStockTexts, MessageBoxAndEditMenuAreTranslatedWhileLocalizationRuns)
{
    writeCatalog(catalog("de"),
        { { "OK", "Jawohl" }, { "&OK", "&Jawohl" }, { "&Copy", "&Kopieren" },
            { "Print Test", "Drucktest" }, { "Line\nbreak", "Zeilen\numbruch" } });
    m_environment.set("LANG", std::string("de_DE.UTF-8"));
    ASSERT_EQ(okCaption(), "OK");

    startLocalization({ executable(), 0 });
    EXPECT_EQ(okCaption(), "Jawohl");
    EXPECT_TRUE(contextMenuTexts().contains("&Kopieren"))
        << contextMenuTexts().join('|').toStdString();
    // The program's own classes are never translated, and Qt gets its own line ends.
    EXPECT_EQ(QCoreApplication::translate("TForm1", "Print Test"), "Print Test");
    EXPECT_EQ(QCoreApplication::translate("QMessageBox", "Line\nbreak"), "Zeilen\numbruch");
    EXPECT_EQ(QCoreApplication::translate("QMessageBox", "Untranslated"), "Untranslated");

    endLocalization();
    EXPECT_EQ(okCaption(), "OK");
    EXPECT_TRUE(contextMenuTexts().contains("&Copy"));
    EXPECT_EQ(translateText("OK"), "OK");
}

TEST_F(QtStockTexts, UnreadableCatalogLeavesTextsAndIsReportedOnce)
{
    writeBytes(catalog("de"), "not a catalog at all, but long enough for a header");
    m_environment.set("LANG", std::string("de"));
    platform::RecordingMessageService boxes;
    startLocalization({ executable(), 0 });
    EXPECT_EQ(okCaption(), "OK");
    EXPECT_EQ(okCaption(), "OK");
    QCoreApplication::processEvents();
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].kind, platform::MessageKind::Error);
    EXPECT_EQ(boxes.boxes()[0].text,
        "This file is not a valid GNU gettext mo file: " + catalog("de") + ".");
}

// Every length beyond the 4 KB bound is refused alike: 2 MB is far beyond it, and keeps the
// catalog quick to make with msgfmt (20 MB took 10 s of processor time).
TEST_F(QtStockTexts, AHostileTwoMegabyteButtonCaptionLeavesTheBuiltInOne)
{
    const std::string huge(2 << 20, 'O');
    writeCatalog(catalog("de"), { { "OK", huge }, { "&OK", huge }, { "&Copy", "&Kopieren" } });
    m_environment.set("LANG", std::string("de"));
    startLocalization({ executable(), 0 });
    testing::internal::CaptureStderr();
    EXPECT_EQ(okCaption(), "OK");
    EXPECT_EQ(okCaption(), "OK");
    const std::string report = testing::internal::GetCapturedStderr();
    EXPECT_NE(report.find("suspicious catalog " + catalog("de")), std::string::npos) << report;
    EXPECT_EQ(report.find("suspicious", report.find("suspicious") + 1), std::string::npos)
        << "reported once: " << report;
    // The rest of the catalog still serves.
    EXPECT_TRUE(contextMenuTexts().contains("&Kopieren"));
}
