#pragma once
// Every text of the credits mode, kept only in scrambled form (see Scramble.h) and turned into
// plain text at the moment it is used. The plain forms exist nowhere in the sources; make a new
// stored text with tools/scramble-text.

#include "credits/Scramble.h"

namespace credits::texts {

// The window's caption at start (and after a click on the web-address label).
extern const ScrambledText startupCaption;

// The window's caption after a click on the website button.
extern const ScrambledText secondCaption;

// The key the marker check opens first (created when missing), from the root.
extern const ScrambledText markerKeyA;

// The marker itself: a sub-key of marker key A.
extern const ScrambledText markerSubKeyB;

// The key the marker check opens last (created when missing), from the root.
extern const ScrambledText markerKeyC;

// The first credit line of the memo, also the copyright label's caption after a reveal.
extern const ScrambledText creditLine1;

// The second credit line.
extern const ScrambledText creditLine2;

// The third credit line.
extern const ScrambledText creditLine3;

// The four phrases that reveal the credits when typed as the memo's whole first line.
extern const ScrambledText triggerPhrase1;
extern const ScrambledText triggerPhrase2;
extern const ScrambledText triggerPhrase3;
extern const ScrambledText triggerPhrase4;

// The key a reveal tests, relative to \SOFTWARE\ ...
extern const ScrambledText testedKeyD;

// ... and creates when it is missing.
extern const ScrambledText createdKeyE;

// The key a reveal writes its values into, from the root.
extern const ScrambledText valueKeyF;

// The three values a reveal writes: names and texts.
extern const ScrambledText valueName1;
extern const ScrambledText valueData1;
extern const ScrambledText valueName2;
extern const ScrambledText valueData2;
extern const ScrambledText valueName3;
extern const ScrambledText valueData3;

// The copyright label's caption set by the website button and label.
extern const ScrambledText copyrightLine;

// The web-address label's caption.
extern const ScrambledText webAddressText;

// The address the website button and label open.
extern const ScrambledText webAddress;

} // namespace credits::texts
