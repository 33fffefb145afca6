// The IP editor under the keyboard and the mouse: typing, auto-advance, correction, the keys
// that move between fields, input-method commits, and the focus entering and leaving.
#include "IPEditFixture.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QMessageBox>

using Events = std::vector<std::string>;

TEST_F(IPEditFixture, TypingAnAddressAdvancesThroughTheFields)
{
    edit->setIPString("1.2.3.4");
    key(Qt::Key_Tab);
    ASSERT_EQ(edit->focusedFieldIndex(), 0);
    field(0).selectAll();
    type("198");
    EXPECT_EQ(edit->focusedFieldIndex(), 1);
    EXPECT_EQ(field(1).selectedText(), "2");
    type("168");
    EXPECT_EQ(edit->focusedFieldIndex(), 2);
    type("007");
    EXPECT_EQ(edit->focusedFieldIndex(), 3);
    EXPECT_EQ(field(2).text(), "007");
    type("9");
    EXPECT_EQ(edit->IPString(), "198.168.7.9");
    EXPECT_EQ(takeEvents(),
        (Events { "change 19.2.3.4", "change 198.2.3.4", "change 198.1.3.4", "change 198.16.3.4",
            "change 198.168.3.4", "change 198.168.0.4", "change 198.168.7.4",
            "change 198.168.7.9" }));
}

TEST_F(IPEditFixture, ThreeHundredIsReportedThenCorrectedTo255)
{
    focusField(1, 0);
    field(1).clear();
    takeEvents();
    type("300");
    EXPECT_EQ(takeEvents(),
        (Events { "change 0.3.0.0", "change 0.30.0.0", "error 1 shows 300", "change 0.255.0.0" }));
    EXPECT_EQ(field(1).text(), "255");
    EXPECT_EQ(field(1).caretColumn(), 0);
    EXPECT_EQ(edit->focusedFieldIndex(), 1);
    EXPECT_FALSE(edit->error());
}

TEST_F(IPEditFixture, DeletingAllDigitsKeepsTheValueQuietly)
{
    edit->setIPString("1.2.34.4");
    focusField(2, 2);
    key(Qt::Key_Backspace);
    EXPECT_EQ(takeEvents(), (Events { "change 1.2.3.4" }));
    key(Qt::Key_Backspace);
    EXPECT_EQ(field(2).text(), "");
    EXPECT_TRUE(takeEvents().empty());
    EXPECT_EQ(edit->IPString(), "1.2.3.4");
}

TEST_F(IPEditFixture, DotMovesOnOnlyFromAFilledFieldWithoutSelection)
{
    focusField(0, 1);
    type(".");
    EXPECT_EQ(edit->focusedFieldIndex(), 1);
    EXPECT_EQ(field(1).selectedText(), "0"); // selected, the next digit replaces it
    type("."); // with a selection: discarded
    EXPECT_EQ(edit->focusedFieldIndex(), 1);
    field(1).clear();
    type("."); // empty: discarded
    EXPECT_EQ(edit->focusedFieldIndex(), 1);
    EXPECT_EQ(field(1).text(), "");
    type("5.6");
    EXPECT_EQ(edit->IPString(), "0.5.6.0");
}

TEST_F(IPEditFixture, BackspaceOnAWholeSelectionEmptiesAndMovesBack)
{
    edit->setIPString("1.22.3.4");
    focusField(2, 0);
    field(2).selectAll();
    key(Qt::Key_Backspace);
    EXPECT_EQ(field(2).text(), "");
    EXPECT_EQ(edit->focusedFieldIndex(), 1);
    EXPECT_EQ(field(1).caretColumn(), 2);
    EXPECT_FALSE(field(1).hasSelectedText());
    // At column 0 with no selection it only moves; nothing is deleted.
    field(1).placeCaret(0);
    key(Qt::Key_Backspace);
    EXPECT_EQ(edit->focusedFieldIndex(), 0);
    EXPECT_EQ(field(1).text(), "22");
    EXPECT_EQ(edit->IPString(), "1.22.3.4");
}

TEST_F(IPEditFixture, ArrowsMoveAtTheEndsAndAreConsumedAtTheRowsEnds)
{
    edit->setIPString("1.22.3.44");
    focusField(1, 2);
    key(Qt::Key_Right);
    EXPECT_EQ(edit->focusedFieldIndex(), 2);
    EXPECT_EQ(field(2).caretColumn(), 0);
    key(Qt::Key_Left);
    EXPECT_EQ(edit->focusedFieldIndex(), 1);
    EXPECT_EQ(field(1).caretColumn(), 2);
    key(Qt::Key_Left); // in the middle: the caret moves
    EXPECT_EQ(edit->focusedFieldIndex(), 1);
    EXPECT_EQ(field(1).caretColumn(), 1);

    focusField(3, 2);
    key(Qt::Key_Right);
    EXPECT_EQ(edit->focusedFieldIndex(), 3);
    EXPECT_EQ(field(3).caretColumn(), 2);
    focusField(0, 0);
    key(Qt::Key_Left);
    EXPECT_EQ(edit->focusedFieldIndex(), 0);
    EXPECT_TRUE(before->text().isEmpty());
}

TEST_F(IPEditFixture, LettersSignsAndClipboardShortcutsAreDiscarded)
{
    edit->setIPString("1.2.3.4");
    QGuiApplication::clipboard()->setText("9");
    focusField(1, 1);
    type("a-+ x$");
    key(Qt::Key_V, Qt::ControlModifier);
    key(Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_EQ(field(1).text(), "2");
    EXPECT_TRUE(takeEvents().empty());
    EXPECT_EQ(edit->focusedFieldIndex(), 1);
}

TEST_F(IPEditFixture, ReadOnlyBlocksTypingButNotFocusMoves)
{
    edit->setIPString("1.2.3.4");
    edit->setReadOnly(true);
    focusField(0, 1);
    type("9");
    EXPECT_EQ(field(0).text(), "1");
    type(".");
    EXPECT_EQ(edit->focusedFieldIndex(), 1);
    key(Qt::Key_Right); // the first only collapses the selection "." left behind
    key(Qt::Key_Right);
    EXPECT_EQ(edit->focusedFieldIndex(), 2);
    key(Qt::Key_Left);
    EXPECT_EQ(edit->focusedFieldIndex(), 1);
    key(Qt::Key_Backspace);
    EXPECT_EQ(
        edit->focusedFieldIndex(), 1); // caret at the end after the move: stays, deletes nothing
    EXPECT_EQ(edit->IPString(), "1.2.3.4");
    EXPECT_TRUE(takeEvents().empty());
}

TEST_F(IPEditFixture, TheFocusEntersAtFieldZero)
{
    int entered = 0, exited = 0;
    edit->OnEnter = [&](QObject*) {
        ++entered;
        EXPECT_EQ(edit->focusedFieldIndex(), 0);
    };
    edit->OnExit = [&](QObject*) { ++exited; };

    // A click into field 2 from another control.
    QTest::mouseClick(&field(2), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(edit->focusedFieldIndex(), 0);
    EXPECT_EQ(entered, 1);
    // A second click, the control holding the focus, lands where it is aimed.
    QTest::mouseClick(&field(2), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(edit->focusedFieldIndex(), 2);
    EXPECT_EQ(entered, 1);

    // Tab walks the fields and then leaves; Backtab from outside comes back to field 0.
    key(Qt::Key_Tab);
    EXPECT_EQ(edit->focusedFieldIndex(), 3);
    key(Qt::Key_Tab);
    EXPECT_TRUE(after->hasFocus());
    EXPECT_EQ(exited, 1);
    key(Qt::Key_Backtab);
    EXPECT_EQ(edit->focusedFieldIndex(), 0);
    EXPECT_EQ(entered, 2);

    // From code: the control's focus is field 0's.
    before->setFocus();
    edit->setFocus();
    EXPECT_EQ(edit->focusedFieldIndex(), 0);
    EXPECT_EQ(entered, 3);
    EXPECT_EQ(exited, 2);
}

TEST_F(IPEditFixture, AClickOnTheSurfaceFocusesFieldZeroOnlyWhenNoFieldHasIt)
{
    // The surface between fields 0 and 1; the click bubbles up from it to the control.
    QWidget* surface = field(1).parentWidget();
    QTest::mouseClick(surface, Qt::LeftButton, {}, field(1).pos() - QPoint(2, 0));
    EXPECT_EQ(edit->focusedFieldIndex(), 0);
    focusField(3, 0);
    QTest::mouseClick(surface, Qt::LeftButton, {}, field(1).pos() - QPoint(2, 0));
    EXPECT_EQ(edit->focusedFieldIndex(), 3);
}

TEST_F(IPEditFixture, WithoutTabStopTabPassesTheControlBy)
{
    edit->setTabStop(false);
    key(Qt::Key_Tab);
    EXPECT_TRUE(after->hasFocus());
}

TEST_F(IPEditFixture, ATabOrderSetByTheWindowKeepsTheFieldsInOrder)
{
    // The window puts the control first, then before and after, in its own order.
    QWidget::setTabOrder(after, edit);
    QWidget::setTabOrder(edit, before);
    after->setFocus();
    std::vector<int> walk;
    for (int i = 0; i < 4; ++i) {
        key(Qt::Key_Tab);
        walk.push_back(edit->focusedFieldIndex());
    }
    EXPECT_EQ(walk, (std::vector<int> { 0, 1, 2, 3 }));
    EXPECT_EQ(field(3).selectedText(), "0"); // Tab selects, as in any text box
    key(Qt::Key_Backtab);
    EXPECT_EQ(edit->focusedFieldIndex(), 2);
    key(Qt::Key_Tab);
    key(Qt::Key_Tab);
    EXPECT_TRUE(before->hasFocus());
}

TEST_F(IPEditFixture, EnterAndEscapeAreLeftToTheWindow)
{
    focusField(1, 1);
    for (Qt::Key k : { Qt::Key_Return, Qt::Key_Escape }) {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(&field(1), &press);
        EXPECT_FALSE(press.isAccepted()) << k;
    }
    EXPECT_EQ(field(1).text(), "0");
    EXPECT_EQ(edit->focusedFieldIndex(), 1);
}

TEST_F(IPEditFixture, WithoutTabStopTabFromAFieldLeavesTheControl)
{
    edit->setTabStop(false);
    focusField(1, 0);
    key(Qt::Key_Tab);
    EXPECT_TRUE(after->hasFocus());
    focusField(2, 0);
    key(Qt::Key_Backtab);
    EXPECT_TRUE(before->hasFocus());
}

TEST_F(IPEditFixture, DestroyingTheControlWithTheFocusInsideIsQuiet)
{
    int exited = 0;
    edit->OnExit = [&](QObject*) { ++exited; };
    focusField(2, 0);
    delete edit;
    edit = nullptr;
    EXPECT_EQ(exited, 0);
    EXPECT_EQ(QApplication::focusWidget(), nullptr);
}

TEST_F(IPEditFixture, InputMethodCommitsKeepOnlyTheirDigits)
{
    edit->setIPString("1.2.3.4");
    focusField(1, 1);
    const auto commit = [this](const QString& text) {
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(&field(1), &event);
    };
    // A dead key followed by "a", or a compose sequence, delivers its character this way.
    commit(QStringLiteral("a"));
    commit(QStringLiteral("\u00e4"));
    EXPECT_EQ(field(1).text(), "2");
    EXPECT_TRUE(takeEvents().empty());
    commit(QStringLiteral("\u00bd5."));
    EXPECT_EQ(field(1).text(), "25");
    EXPECT_EQ(takeEvents(), std::vector<std::string> { "change 1.25.3.4" });
    EXPECT_FALSE(edit->error());
}

TEST_F(IPEditFixture, AModalBoxTakingTheFocusRaisesNoExit)
{
    int entered = 0, exited = 0;
    edit->OnEnter = [&](QObject*) { ++entered; };
    edit->OnExit = [&](QObject*) { ++exited; };
    focusField(2, 0);
    ASSERT_EQ(entered, 1);

    QMessageBox box(QMessageBox::Information, "Quillet", "Text", QMessageBox::Ok, window.get());
    box.setWindowModality(Qt::ApplicationModal);
    box.show();
    QApplication::setActiveWindow(&box);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    ASSERT_TRUE(box.isAncestorOf(QApplication::focusWidget()));
    EXPECT_EQ(exited, 0);

    box.close();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_EQ(edit->focusedFieldIndex(), 2);
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(exited, 0);
    // Leaving for another control of the window is an exit.
    after->setFocus();
    EXPECT_EQ(exited, 1);
}
