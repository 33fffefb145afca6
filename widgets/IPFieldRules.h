#pragma once
// What one octet field of the IP editor does with its text, its typed characters and its arrow
// keys, and which field a focus move goes to. No Qt here, so the rules are tested directly.

#include <cstdint>
#include <string_view>

namespace widgets {

constexpr int ipFieldCount = 4;
constexpr int ipFieldMaxLength = 3;

// The outcome of validating a field's text.
struct FieldVerdict {
    enum Kind {
        Empty, // nothing to judge: value and error flag stay as they are
        Valid, // an octet: clear the error flag and store value
        Invalid, // not an octet: report the error and correct the field to "255"
    };
    Kind kind;
    std::uint8_t value = 0;
};

FieldVerdict checkFieldText(std::string_view text);

// Whether validation hands the focus on: a valid field filled to its three characters with
// the caret after the last one (a replacement from code leaves the caret at 0, so never then).
bool shouldAdvance(bool error, int textLength, int caretColumn);

// What a typed character (after key translation) does in a field.
enum class CharAction {
    Apply, // the text box's ordinary handling: insert a digit, delete for Backspace
    FocusNext, // "." ends the field: move on with the next field's text selected
    PreviousThenApply, // Backspace at column 0: move back, then still apply it here
    Discard,
};

CharAction charAction(char32_t character, bool textEmpty, bool hasSelection, int caretColumn);

// The only characters a field takes in, however they arrive (typed, or committed by an input
// method after a dead key or compose sequence).
bool isFieldDigit(char32_t character);

// What a Left or Right arrow key does in a field.
enum class ArrowAction {
    Ordinary, // the text box moves its caret
    FocusNext, // consumed: move to the next field, caret at its start (nothing in the last)
    FocusPrevious, // consumed: move to the previous field, caret at its end (nothing in the first)
};

ArrowAction arrowAction(bool rightArrow, int textLength, int caretColumn);

// The field a focus move lands in, or -1 when there is none (no field focused, or the move
// would leave the row).
int nextFieldIndex(int focusedIndex);
int previousFieldIndex(int focusedIndex);

} // namespace widgets
