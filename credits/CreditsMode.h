#pragma once
// The hidden credits mode: a marker in the registry store at start, or a trigger phrase typed as
// the whole first line of the test text, reveals the credit lines, the copyright label, the
// web-address label, the website button and the logo. Every text comes from CreditTexts.h and is
// unscrambled at the moment it is used. GUI thread only.

#include "credits/CreditsView.h"

#include <string_view>

namespace credits {

// Start-up step 1: sets the window caption to the start-up caption text.
void setStartupCaption(CreditsView& view);

// Start-up step 5: when the marker key is in the store, puts the three credit lines in the memo
// (no empty fourth line) and shows the logo, the copyright label (keeping its caption), the
// web-address label and the website button. A missing key ends the check silently; a store
// file that cannot be read is shown in the error box and the start goes on without credits.
void checkCreditsMarker(CreditsView& view);

// Whether line is exactly one of the four trigger phrases: same length, same bytes.
bool checkTriggerPhrase(std::string_view line);

// Puts the three credit lines and an empty fourth in the memo, sets and shows the copyright
// label, writes the three values into the store and shows the other concealed controls.
// Raises ERegistryException when the store refuses the key or a value; the memo and the
// copyright label have been updated by then, the other controls stay as they were.
void revealCredits(CreditsView& view);

// The first steps of every test press (and of the two website actions): reveals the credits
// when the memo's first line is a trigger phrase. Raises what revealCredits raises, which must
// end the press before anything is sent.
void revealIfTriggered(CreditsView& view);

// The click on the website button (Button4): sets the copyright and web-address captions, shows
// the web-address label and the button, sets the second window caption, reveals on a trigger
// phrase, then opens the web address (through openWebAddress).
void Button4Click(CreditsView& view);

// The click on the web-address label (Label4): as Button4Click, with the start-up caption.
void Label4Click(CreditsView& view);

} // namespace credits
