// The rules of one octet field: validation, auto-advance, typed characters, arrows, moves.
#include "widgets/IPFieldRules.h"

#include <gtest/gtest.h>

using namespace widgets;

TEST(IPFieldRules, CheckFieldText)
{
    EXPECT_EQ(checkFieldText("").kind, FieldVerdict::Empty);
    const auto valid = checkFieldText("30");
    EXPECT_EQ(valid.kind, FieldVerdict::Valid);
    EXPECT_EQ(valid.value, 30);
    EXPECT_EQ(checkFieldText("007").value, 7);
    for (const char* bad : { "300", "abc", "-", "-5", "1 ", "2a" })
        EXPECT_EQ(checkFieldText(bad).kind, FieldVerdict::Invalid) << bad;
}

TEST(IPFieldRules, AdvanceOnlyWhenValidFullAndCaretAtTheEnd)
{
    EXPECT_TRUE(shouldAdvance(false, 3, 3));
    EXPECT_FALSE(shouldAdvance(true, 3, 3));
    EXPECT_FALSE(shouldAdvance(false, 2, 2));
    EXPECT_FALSE(shouldAdvance(false, 3, 0)); // after a replacement from code
    EXPECT_FALSE(shouldAdvance(false, 3, 2));
}

TEST(IPFieldRules, TypedCharacters)
{
    struct Case {
        char32_t character;
        bool empty;
        bool selection;
        int caret;
        CharAction action;
    };
    const Case cases[] = {
        { U'0', true, false, 0, CharAction::Apply }, { U'9', false, true, 1, CharAction::Apply },
        { U'.', false, false, 2, CharAction::FocusNext },
        { U'.', true, false, 0, CharAction::Discard },
        { U'.', false, true, 0, CharAction::Discard },
        { U'\b', false, false, 0, CharAction::PreviousThenApply },
        { U'\b', false, true, 0, CharAction::PreviousThenApply },
        { U'\b', true, false, 0, CharAction::PreviousThenApply },
        { U'\b', false, false, 2, CharAction::Apply },
        { U'a', false, false, 1, CharAction::Discard },
        { U'-', true, false, 0, CharAction::Discard },
        { U'\r', false, false, 1, CharAction::Discard },
        { U'\x16', false, false, 1, CharAction::Discard }, // Ctrl+V
        { U'\x7f', false, false, 1, CharAction::Discard }, // Ctrl+Backspace
        { U'\u0663', false, false, 1, CharAction::Discard }, // an Arabic-Indic digit
    };
    for (const auto& c : cases)
        EXPECT_EQ(charAction(c.character, c.empty, c.selection, c.caret), c.action)
            << static_cast<unsigned>(c.character) << " caret " << c.caret;
}

TEST(IPFieldRules, ArrowKeys)
{
    EXPECT_EQ(arrowAction(true, 3, 3), ArrowAction::FocusNext);
    EXPECT_EQ(arrowAction(true, 0, 0), ArrowAction::FocusNext);
    EXPECT_EQ(arrowAction(true, 3, 1), ArrowAction::Ordinary);
    EXPECT_EQ(arrowAction(true, 3, 0), ArrowAction::Ordinary); // whole text selected
    EXPECT_EQ(arrowAction(false, 3, 0), ArrowAction::FocusPrevious);
    EXPECT_EQ(arrowAction(false, 3, 2), ArrowAction::Ordinary);
}

TEST(IPFieldRules, FocusMovesStayInTheRow)
{
    const std::pair<int, int> next[] = { { -1, -1 }, { 0, 1 }, { 1, 2 }, { 2, 3 }, { 3, -1 } };
    for (const auto& [from, to] : next)
        EXPECT_EQ(nextFieldIndex(from), to) << from;
    const std::pair<int, int> previous[] = { { -1, -1 }, { 0, -1 }, { 1, 0 }, { 3, 2 }, { 4, -1 } };
    for (const auto& [from, to] : previous)
        EXPECT_EQ(previousFieldIndex(from), to) << from;
}
