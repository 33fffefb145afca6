// The credits mode through a recording view, with the registry store in a fresh folder.
#include "credits/CreditTexts.h"
#include "credits/CreditsMode.h"
#include "credits/UrlOpener.h"
#include "platform/MessageBoxes.h"
#include "platform/Registry.h"
#include "support/TempDir.h"
#include "tests/credits/StoredCredits.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

using namespace credits;
using Control = CreditsControl;
using Caption = CreditsCaption;

namespace {

// The default test text of the main window: its first line is empty.
const std::string defaultMemo
    = "\r\nHello!How are you!\r\nQuillet v1.0!\r\nThank you very much!\r\n\r\n";

class RecordingView : public CreditsView {
public:
    std::string memo = defaultMemo;
    std::map<Caption, std::string> captions;
    std::vector<Control> shown;

    std::string firstMemoLine() const override
    {
        return memo.substr(0, memo.find_first_of("\r\n"));
    }
    void setMemoLines(const std::vector<std::string>& lines) override { memo = memoText(lines); }
    void setCaption(Caption which, const std::string& text) override { captions[which] = text; }
    void showControl(Control which) override { shown.push_back(which); }
};

std::vector<std::string> creditLines()
{
    return { plainText(texts::creditLine1), plainText(texts::creditLine2),
        plainText(texts::creditLine3) };
}

const std::vector<Control> allControls
    = { Control::Logo, Control::CopyrightLabel, Control::WebAddressLabel, Control::WebsiteButton };

template <typename Operation> std::string registryErrorOf(Operation operation)
{
    try {
        operation();
    } catch (const platform::ERegistryException& error) {
        return error.what();
    }
    return "no error";
}

// Every test starts with an empty store of its own and records boxes and opened addresses.
class CreditsMode : public ::testing::Test {
protected:
    void SetUp() override
    {
        setUrlOpener([this](const std::string& address) { opened.push_back(address); });
    }
    void TearDown() override { setUrlOpener({}); }
    std::string storeFile() const { return m_config.store(); }
    void blockStoreWrites() const { std::filesystem::create_directories(storeFile() + ".tmp"); }

    testsupport::TestConfigHome m_config;
    platform::RecordingMessageService messages;
    std::vector<std::string> opened;
    RecordingView view;
};

} // namespace

TEST_F(CreditsMode, OnlyAWholeFirstLineTriggers)
{
    for (const ScrambledText* phrase : { &texts::triggerPhrase1, &texts::triggerPhrase2,
             &texts::triggerPhrase3, &texts::triggerPhrase4 }) {
        const std::string text = plainText(*phrase);
        EXPECT_TRUE(checkTriggerPhrase(text)) << text;
        std::string otherCase = text;
        otherCase[0] = static_cast<char>(otherCase[0] ^ 0x20);
        for (const std::string& near : { text + " ", " " + text, text + "x", text.substr(1),
                 text.substr(0, text.size() - 1), otherCase, text + '\0' })
            EXPECT_FALSE(checkTriggerPhrase(near)) << '"' << near << '"';

        view.memo = "first line\r\n" + text + "\r\n";
        revealIfTriggered(view);
        view.memo = text + " \r\nmore\r\n";
        revealIfTriggered(view);
        EXPECT_TRUE(view.shown.empty()) << text;
    }
    EXPECT_FALSE(checkTriggerPhrase(""));
    view.memo = defaultMemo;
    revealIfTriggered(view);
    EXPECT_EQ(view.memo, defaultMemo);
    EXPECT_FALSE(std::filesystem::exists(storeFile()));
}

TEST_F(CreditsMode, ARevealIsRememberedAndFoundAtTheNextStart)
{
    checkCreditsMarker(view);
    EXPECT_EQ(view.memo, defaultMemo) << "no marker in an empty store";
    EXPECT_FALSE(std::filesystem::exists(storeFile())) << "looking writes nothing";

    view.memo = plainText(texts::triggerPhrase2) + "\r\nsecond\r\n";
    revealIfTriggered(view);
    std::vector<std::string> withEmptyLine = creditLines();
    withEmptyLine.emplace_back();
    EXPECT_EQ(view.memo, memoText(withEmptyLine));
    EXPECT_EQ(view.captions.at(Caption::CopyrightLabel), plainText(texts::creditLine1));
    EXPECT_EQ(view.shown,
        std::vector<Control>({ Control::CopyrightLabel, Control::Logo, Control::CopyrightLabel,
            Control::WebAddressLabel, Control::WebsiteButton }));

    creditstest::expectRevealValuesStored();

    RecordingView nextStart;
    nextStart.captions[Caption::CopyrightLabel] = "stored caption";
    checkCreditsMarker(nextStart);
    EXPECT_EQ(nextStart.memo, memoText(creditLines())) << "three lines, no empty fourth";
    EXPECT_EQ(nextStart.shown, allControls);
    EXPECT_EQ(nextStart.captions.at(Caption::CopyrightLabel), "stored caption");
    EXPECT_EQ(nextStart.captions.size(), 1u);

    revealCredits(nextStart);
    EXPECT_EQ(nextStart.memo, memoText(withEmptyLine)) << "a reveal can be repeated";
    EXPECT_TRUE(messages.boxes().empty());
}

TEST_F(CreditsMode, ARefusedKeyEndsTheRevealAfterTheMemoAndCopyrightLabel)
{
    // A file where the store's folder belongs: nothing can be created.
    m_config.writeFile("quillet", "in the way");
    view.memo = plainText(texts::triggerPhrase4);
    EXPECT_EQ(registryErrorOf([&] { revealIfTriggered(view); }),
        "Failed to create key " + plainText(texts::createdKeyE));
    std::vector<std::string> withEmptyLine = creditLines();
    withEmptyLine.emplace_back();
    EXPECT_EQ(view.memo, memoText(withEmptyLine));
    EXPECT_EQ(view.captions.at(Caption::CopyrightLabel), plainText(texts::creditLine1));
    EXPECT_EQ(view.shown, std::vector<Control>({ Control::CopyrightLabel }));
}

TEST_F(CreditsMode, ARefusedValueEndsTheRevealAndTheWebsiteAction)
{
    platform::TRegistry().createKey(plainText(texts::valueKeyF));
    blockStoreWrites();
    view.memo = plainText(texts::triggerPhrase1) + "\r\n";
    EXPECT_EQ(registryErrorOf([&] { revealCredits(view); }),
        "Failed to set data for '" + plainText(texts::valueName1) + "'");
    EXPECT_EQ(view.shown, std::vector<Control>({ Control::CopyrightLabel }));

    view.memo = plainText(texts::triggerPhrase3);
    view.shown.clear();
    EXPECT_NE(registryErrorOf([&] { Button4Click(view); }), "no error");
    EXPECT_TRUE(opened.empty()) << "the address is not opened after a failed reveal";
}

TEST_F(CreditsMode, ADamagedStoreIsReportedAtStartAndTheStartGoesOn)
{
    m_config.writeFile("quillet/registry.reg", "not a store");
    checkCreditsMarker(view);
    ASSERT_EQ(messages.boxes().size(), 1u);
    EXPECT_EQ(messages.boxes()[0].kind, platform::MessageKind::Error);
    EXPECT_NE(messages.boxes()[0].text.find(storeFile()), std::string::npos);
    EXPECT_TRUE(view.shown.empty());

    view.memo = plainText(texts::triggerPhrase1);
    EXPECT_THROW(revealCredits(view), platform::ERegistryFileError);
    EXPECT_EQ(m_config.readFile("quillet/registry.reg"), "not a store");
}

TEST_F(CreditsMode, TheWebsiteButtonAndLabelOpenTheWebAddress)
{
    Button4Click(view);
    EXPECT_EQ(view.captions.at(Caption::CopyrightLabel), plainText(texts::copyrightLine));
    EXPECT_EQ(view.captions.at(Caption::WebAddressLabel), plainText(texts::webAddressText));
    EXPECT_EQ(view.captions.at(Caption::Window), plainText(texts::secondCaption));
    EXPECT_EQ(
        view.shown, std::vector<Control>({ Control::WebAddressLabel, Control::WebsiteButton }));
    EXPECT_EQ(view.memo, defaultMemo);
    EXPECT_EQ(opened, std::vector<std::string>({ plainText(texts::webAddress) }));

    view.shown.clear();
    view.memo = plainText(texts::triggerPhrase2);
    Label4Click(view);
    EXPECT_EQ(view.captions.at(Caption::Window), plainText(texts::startupCaption));
    EXPECT_EQ(view.shown.size(), 7u) << "the label and button, then a whole reveal";
    EXPECT_EQ(view.captions.at(Caption::CopyrightLabel), plainText(texts::creditLine1));
    EXPECT_EQ(opened.size(), 2u);
}

TEST_F(CreditsMode, TheStartupCaptionComesFromItsScrambledForm)
{
    setStartupCaption(view);
    EXPECT_EQ(view.captions.at(Caption::Window), plainText(texts::startupCaption));
    EXPECT_EQ(view.captions.at(Caption::Window).size(), 22u);
}
