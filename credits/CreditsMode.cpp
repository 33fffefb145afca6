#include "credits/CreditsMode.h"

#include "credits/CreditTexts.h"
#include "credits/UrlOpener.h"
#include "platform/ErrorReport.h"
#include "platform/Registry.h"

#include <exception>

namespace credits {

namespace {

std::vector<std::string> creditLines()
{
    return { plainText(texts::creditLine1), plainText(texts::creditLine2),
        plainText(texts::creditLine3) };
}

void showAllCreditsControls(CreditsView& view)
{
    for (const auto control : { CreditsControl::Logo, CreditsControl::CopyrightLabel,
             CreditsControl::WebAddressLabel, CreditsControl::WebsiteButton })
        view.showControl(control);
}

bool markerPresent()
{
    platform::TRegistry registry;
    return registry.openKey(plainText(texts::markerKeyA), true)
        && registry.keyExists(plainText(texts::markerSubKeyB))
        && registry.openKey(plainText(texts::markerKeyC), true);
}

void writeRevealValues()
{
    platform::TRegistry registry;
    // Whether this opens is not checked: the paths below then start from the root.
    registry.openKey("\\SOFTWARE\\", false);
    if (!registry.keyExists(plainText(texts::testedKeyD)))
        registry.createKey(plainText(texts::createdKeyE));
    // Not checked either: the values then go to whichever key is open.
    registry.openKey(plainText(texts::valueKeyF), false);
    registry.writeString(plainText(texts::valueName1), plainText(texts::valueData1));
    registry.writeString(plainText(texts::valueName2), plainText(texts::valueData2));
    registry.writeString(plainText(texts::valueName3), plainText(texts::valueData3));
}

void websiteAction(CreditsView& view, const ScrambledText& windowCaption)
{
    view.setCaption(CreditsCaption::CopyrightLabel, plainText(texts::copyrightLine));
    view.setCaption(CreditsCaption::WebAddressLabel, plainText(texts::webAddressText));
    view.showControl(CreditsControl::WebAddressLabel);
    view.showControl(CreditsControl::WebsiteButton);
    view.setCaption(CreditsCaption::Window, plainText(windowCaption));
    revealIfTriggered(view);
    openWebAddress(plainText(texts::webAddress));
}

} // namespace

void setStartupCaption(CreditsView& view)
{
    view.setCaption(CreditsCaption::Window, plainText(texts::startupCaption));
}

void checkCreditsMarker(CreditsView& view)
{
    bool present = false;
    try {
        present = markerPresent();
    } catch (const platform::ERegistryFileError&) {
        // A damaged store must not stop the program: say so and start without credits.
        platform::reportException(std::current_exception());
    }
    if (!present)
        return;
    view.setMemoLines(creditLines());
    showAllCreditsControls(view);
}

bool checkTriggerPhrase(std::string_view line)
{
    for (const ScrambledText* phrase : { &texts::triggerPhrase1, &texts::triggerPhrase2,
             &texts::triggerPhrase3, &texts::triggerPhrase4 }) {
        if (line == plainText(*phrase))
            return true;
    }
    return false;
}

void revealCredits(CreditsView& view)
{
    std::vector<std::string> lines = creditLines();
    const std::string copyright = lines.front();
    lines.emplace_back();
    view.setMemoLines(lines);
    view.setCaption(CreditsCaption::CopyrightLabel, copyright);
    view.showControl(CreditsControl::CopyrightLabel);
    writeRevealValues();
    showAllCreditsControls(view);
}

void revealIfTriggered(CreditsView& view)
{
    if (checkTriggerPhrase(view.firstMemoLine()))
        revealCredits(view);
}

void Button4Click(CreditsView& view)
{
    websiteAction(view, texts::secondCaption);
}

void Label4Click(CreditsView& view)
{
    websiteAction(view, texts::startupCaption);
}

} // namespace credits
