// The hidden credits mode in the window: trigger phrases typed as the test text's first line,
// the marker at start, a store that refuses the reveal, and the website actions. Presses go to
// a FIFO standing in for a parallel printer; the store lives in a fresh configuration folder.
#include "app/ClickableLabel.h"
#include "app/TForm1.h"
#include "credits/CreditTexts.h"
#include "credits/CreditsView.h"
#include "credits/UrlOpener.h"
#include "platform/AnsiText.h"
#include "platform/Registry.h"
#include "tests/app/WindowTestMachine.h"
#include "tests/credits/StoredCredits.h"
#include "tests/printer/PrinterFifo.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>
#include <gtest/gtest.h>

using namespace testsupport;
using credits::plainText;
namespace texts = credits::texts;

namespace {

std::vector<std::string> creditLines()
{
    return { plainText(texts::creditLine1), plainText(texts::creditLine2),
        plainText(texts::creditLine3) };
}

std::string revealedMemo()
{
    std::vector<std::string> lines = creditLines();
    lines.emplace_back();
    return credits::memoText(lines);
}

QString qt(const std::string& ansi)
{
    return QString::fromStdString(platform::ansiToUtf8(ansi));
}

const credits::ScrambledText* const triggerPhrases[] = { &texts::triggerPhrase1,
    &texts::triggerPhrase2, &texts::triggerPhrase3, &texts::triggerPhrase4 };

class Form1Credits : public testing::Test {
protected:
    void SetUp() override
    {
        credits::setUrlOpener([this](const std::string& address) { opened.push_back(address); });
    }
    void TearDown() override { credits::setUrlOpener({}); }

    std::unique_ptr<app::TForm1> startWithLpt()
    {
        auto form = machine.startWindow();
        form->RadioButton2->click();
        return form;
    }
    void typeFirstLine(app::TForm1& form, const std::string& line)
    {
        form.setMemo1Text(line + "\r\nsecond line\r\n");
    }
    // Which of Image1, Label3, Label4 and Button4 are shown.
    static std::vector<bool> panelShown(const app::TForm1& form)
    {
        return { !form.Image1->isHidden(), !form.Label3->isHidden(), !form.Label4->isHidden(),
            !form.Button4->isHidden() };
    }

    WindowTestMachine machine;
    PrinterFifo lpt1 { machine.sysRoot() + "/dev/lp0" };
    std::vector<std::string> opened;
};

const std::vector<bool> allShown { true, true, true, true };
const std::vector<bool> noneShown { false, false, false, false };

} // namespace

TEST_F(Form1Credits, TheWindowStartsWithTheStartupCaptionAndTheCreditsHidden)
{
    const auto form = startWithLpt();
    EXPECT_EQ(form->windowTitle(), qt(plainText(texts::startupCaption)));
    EXPECT_EQ(panelShown(*form), noneShown);
    // The default text's first line is empty, so a press reveals nothing.
    press(*form, "Button2");
    EXPECT_EQ(panelShown(*form), noneShown);
    EXPECT_EQ(lpt1.take(), std::string("\x1D\x56\x42\x00", 4));
}

TEST_F(Form1Credits, PrintTestWithATriggerPhrasePrintsTheCreditText)
{
    for (const credits::ScrambledText* phrase : triggerPhrases) {
        const auto form = startWithLpt();
        typeFirstLine(*form, plainText(*phrase));
        press(*form, "Button1");
        EXPECT_EQ(lpt1.take(), "\x1B@" + revealedMemo() + "\r\n\x1B@");
        EXPECT_EQ(form->memo1Bytes(), revealedMemo());
        EXPECT_EQ(form->Label3->text(), qt(plainText(texts::creditLine1)));
        EXPECT_EQ(panelShown(*form), allShown);
    }
    EXPECT_TRUE(machine.boxes.boxes().empty());
}

TEST_F(Form1Credits, CutPaperAndCashDrawerRevealAndStillSendTheirBytes)
{
    const struct {
        const char* button;
        std::string bytes;
    } presses[] = {
        { "Button2", std::string("\x1D\x56\x42\x00", 4) },
        { "Button3", std::string("\x1B\x70\x00\x32\x32\x0D", 6) },
    };
    for (const auto& p : presses) {
        const auto form = startWithLpt();
        typeFirstLine(*form, plainText(texts::triggerPhrase3));
        press(*form, p.button);
        EXPECT_EQ(lpt1.take(), p.bytes) << p.button;
        EXPECT_EQ(form->memo1Bytes(), revealedMemo()) << p.button;
        EXPECT_EQ(panelShown(*form), allShown) << p.button;
    }
}

TEST_F(Form1Credits, OnlyTheWholeFirstLineAsTypedTriggers)
{
    const auto form = startWithLpt();
    const std::string phrase = plainText(texts::triggerPhrase4);
    for (const std::string& text : { "first\r\n" + phrase + "\r\n", phrase + " \r\n" }) {
        form->setMemo1Text(text);
        press(*form, "Button2");
        EXPECT_EQ(form->memo1Bytes(), text);
    }
    // A first line that the narrow memo wraps on screen is still one line.
    form->Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    form->setMemo1Text(phrase + "\r\n");
    press(*form, "Button2");
    EXPECT_EQ(form->memo1Bytes(), revealedMemo());
}

TEST_F(Form1Credits, ARevealIsStoredAndTheNextStartShowsTheCredits)
{
    {
        const auto form = startWithLpt();
        typeFirstLine(*form, plainText(texts::triggerPhrase1));
        press(*form, "Button2");
        ASSERT_EQ(panelShown(*form), allShown);
    }
    creditstest::expectRevealValuesStored();

    const auto next = machine.startWindow();
    EXPECT_EQ(next->memo1Bytes(), credits::memoText(creditLines())) << "no empty fourth line";
    EXPECT_EQ(panelShown(*next), allShown);
    EXPECT_EQ(next->Label3->text(), "Copyright (C) Quillet") << "the stored caption stays";
    EXPECT_TRUE(machine.boxes.boxes().empty());
}

TEST_F(Form1Credits, AStoreThatRefusesTheRevealEndsThePressBeforeAnythingIsSent)
{
    std::filesystem::create_directories(machine.config.store() + ".tmp");
    const auto form = startWithLpt();
    typeFirstLine(*form, plainText(texts::triggerPhrase2));
    press(*form, "Button1");
    ASSERT_EQ(machine.boxes.boxes().size(), 1u);
    EXPECT_EQ(machine.boxes.boxes()[0].kind, platform::MessageKind::Error);
    EXPECT_EQ(machine.boxes.boxes()[0].text.rfind("Failed to ", 0), 0u)
        << machine.boxes.boxes()[0].text;
    EXPECT_EQ(form->memo1Bytes(), revealedMemo());
    EXPECT_EQ(panelShown(*form), std::vector<bool>({ false, true, false, false }));
    EXPECT_EQ(lpt1.take(), "");
}

TEST_F(Form1Credits, TheWebsiteButtonAndLabelOpenTheWebAddress)
{
    const auto form = startWithLpt();
    typeFirstLine(*form, plainText(texts::triggerPhrase1));
    press(*form, "Button2");
    ASSERT_EQ(panelShown(*form), allShown);
    opened.clear();

    form->show();
    press(*form, "Button4");
    EXPECT_EQ(form->windowTitle(), qt(plainText(texts::secondCaption)));
    EXPECT_EQ(form->Label3->text(), qt(plainText(texts::copyrightLine)));
    EXPECT_EQ(form->Label4->text(), qt(plainText(texts::webAddressText)));
    form->resize(form->width(), 480); // the label lies below the stored client area
    press(*form, "Label4");
    EXPECT_EQ(form->windowTitle(), qt(plainText(texts::startupCaption)));
    EXPECT_EQ(opened, std::vector<std::string>(2, plainText(texts::webAddress)));
    EXPECT_TRUE(machine.boxes.boxes().empty());
}
