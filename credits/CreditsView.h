#pragma once
// What the credits mode needs of the main window. The window implements this interface; the
// credits logic stays testable without a display.

#include <string>
#include <vector>

namespace credits {

// The concealed controls, hidden until the credits are revealed.
enum class CreditsControl {
    Logo, // Image1, the logo picture (creditsLogo())
    CopyrightLabel, // Label3
    WebAddressLabel, // Label4
    WebsiteButton, // Button4, "Visit Official Website"
};

// The captions the credits mode sets.
enum class CreditsCaption {
    Window, // the main window's caption
    CopyrightLabel, // Label3
    WebAddressLabel, // Label4
};

// All texts are 8-bit (the host's ANSI code page, Windows-1252), as the rest of the window's
// logic handles them.
class CreditsView {
public:
    virtual ~CreditsView() = default;
    // The first line of Memo1 as the memo shows it; empty when the memo is empty.
    virtual std::string firstMemoLine() const = 0;
    // Replaces the whole text of Memo1: afterwards it is memoText(lines).
    virtual void setMemoLines(const std::vector<std::string>& lines) = 0;
    virtual void setCaption(CreditsCaption which, const std::string& text) = 0;
    // Makes the control visible; showing a visible control again changes nothing.
    virtual void showControl(CreditsControl which) = 0;
};

// The memo text that holds these lines: each line followed by CR LF, so {"a", ""} is
// "a\r\n\r\n" and no lines is the empty text.
std::string memoText(const std::vector<std::string>& lines);

} // namespace credits
