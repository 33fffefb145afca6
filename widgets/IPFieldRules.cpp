#include "widgets/IPFieldRules.h"

#include "widgets/IPText.h"

namespace widgets {

FieldVerdict checkFieldText(std::string_view text)
{
    if (text.empty())
        return { FieldVerdict::Empty };
    if (const auto octet = octetFromText(text))
        return { FieldVerdict::Valid, *octet };
    return { FieldVerdict::Invalid };
}

bool shouldAdvance(bool error, int textLength, int caretColumn)
{
    return !error && textLength == ipFieldMaxLength && caretColumn == ipFieldMaxLength;
}

bool isFieldDigit(char32_t character)
{
    return character >= U'0' && character <= U'9';
}

CharAction charAction(char32_t character, bool textEmpty, bool hasSelection, int caretColumn)
{
    if (isFieldDigit(character))
        return CharAction::Apply;
    if (character == U'.')
        return !textEmpty && !hasSelection ? CharAction::FocusNext : CharAction::Discard;
    if (character == U'\b')
        return caretColumn == 0 ? CharAction::PreviousThenApply : CharAction::Apply;
    return CharAction::Discard;
}

ArrowAction arrowAction(bool rightArrow, int textLength, int caretColumn)
{
    if (rightArrow)
        return textLength <= caretColumn ? ArrowAction::FocusNext : ArrowAction::Ordinary;
    return caretColumn == 0 ? ArrowAction::FocusPrevious : ArrowAction::Ordinary;
}

int nextFieldIndex(int focusedIndex)
{
    return focusedIndex >= 0 && focusedIndex < ipFieldCount - 1 ? focusedIndex + 1 : -1;
}

int previousFieldIndex(int focusedIndex)
{
    return focusedIndex > 0 && focusedIndex < ipFieldCount ? focusedIndex - 1 : -1;
}

} // namespace widgets
