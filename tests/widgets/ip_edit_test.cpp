// The IP editor as a whole: IPString, properties, pasting, layout and painting.
#include "IPEditFixture.h"
#include "IPStringCases.h"

#include "platform/Exception.h"
#include "platform/MessageBoxes.h"

#include <QClipboard>
#include <QFontInfo>
#include <QImage>

TEST_F(IPEditFixture, ANewControlReadsZeros)
{
    TIPEdit fresh;
    EXPECT_EQ(fresh.IPString(), "0.0.0.0");
    EXPECT_EQ(fresh.size(), QSize(125, 21));
    EXPECT_EQ(fresh.font().pointSize(), 9);
    EXPECT_TRUE(fresh.font().bold());
    EXPECT_EQ(fresh.cursor().shape(), Qt::IBeamCursor);
    EXPECT_EQ(fresh.borderStyle(), bsSingle);
    EXPECT_TRUE(fresh.tabStop());
    EXPECT_FALSE(fresh.readOnly());
    EXPECT_FALSE(fresh.error());
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(fresh.field(i).text(), "0");
        EXPECT_EQ(fresh.field(i).maxLength(), 3);
        EXPECT_EQ(fresh.field(i).index(), i);
    }
}

TEST_F(IPEditFixture, WritingIPStringFollowsTheTokenRulesAndRaisesNoChange)
{
    const auto write = [this](const char* text, const char* expected) {
        edit->setIPString(QString::fromLatin1(text));
        EXPECT_EQ(edit->IPString(), expected) << '"' << text << '"';
        EXPECT_FALSE(edit->error());
    };
    write("11.0.0.1", "11.0.0.1");
    write("1.2.3", "11.0.0.1");
    write("", "11.0.0.1");
    for (const auto& [text, expected] : iptest::tokenRuleCases)
        write(text, expected);
    write("192.168.123.100", "192.168.123.100");
    EXPECT_TRUE(takeEvents().empty());
    EXPECT_EQ(field(3).text(), "100");
    EXPECT_EQ(field(3).caretColumn(), 0);
    // A programmatic write never advances the focus, even into a focused field.
    focusField(1, 3);
    edit->setIPString("1.222.3.4");
    EXPECT_EQ(edit->focusedFieldIndex(), 1);
}

TEST_F(IPEditFixture, PastingAbcRaisesTheErrorThenShows255)
{
    edit->setIPString("1.2.3.4");
    focusField(2, 0);
    field(2).selectAll();
    QGuiApplication::clipboard()->setText("abc");
    field(2).paste();
    EXPECT_EQ(takeEvents(), (std::vector<std::string> { "error 2 shows abc", "change 1.2.255.4" }));
    EXPECT_EQ(field(2).text(), "255");
    EXPECT_EQ(field(2).caretColumn(), 0);
    EXPECT_FALSE(edit->error());
    EXPECT_EQ(edit->focusedFieldIndex(), 2);
    // A long paste is cut to three characters, then judged like typing.
    field(1).selectAll();
    QGuiApplication::clipboard()->setText("1234");
    field(1).paste();
    EXPECT_EQ(field(1).text(), "123");
    EXPECT_EQ(edit->IPString(), "1.123.255.4");
}

TEST_F(IPEditFixture, IPStringInsideOnErrorReadsTheComingCorrection)
{
    edit->setIPString("1.2.3.4");
    QString seen;
    edit->OnError = [&](QObject*, int) { seen = edit->IPString(); };
    field(1).setText("999");
    EXPECT_EQ(seen, "1.255.3.4");
    EXPECT_EQ(edit->IPString(), "1.255.3.4");
}

TEST_F(IPEditFixture, AThrowingHandlerIsReportedAndTheFieldStillCorrected)
{
    platform::RecordingMessageService boxes;
    edit->OnError = [](QObject*, int) { throw platform::EConvertError("bad octet"); };
    field(0).setText("x");
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "bad octet.");
    EXPECT_EQ(field(0).text(), "255");
    EXPECT_EQ(edit->IPString(), "255.0.0.0");
}

TEST_F(IPEditFixture, ReadOnlyTabStopAndCursorReachAllFields)
{
    edit->setReadOnly(true);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(field(i).isReadOnly());
    edit->setReadOnly(false);
    EXPECT_FALSE(field(3).isReadOnly());

    edit->setTabStop(false);
    EXPECT_FALSE(edit->tabStop());
    EXPECT_EQ(edit->focusPolicy(), Qt::NoFocus);
    edit->setTabStop(true);
    EXPECT_EQ(edit->focusPolicy(), Qt::TabFocus);

    edit->setCursor(Qt::PointingHandCursor);
    EXPECT_EQ(edit->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(field(1).cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(IPEditFixture, ColorIsTheBackgroundOfControlAndFields)
{
    edit->setFixedSize(137, 21);
    edit->setColor(Qt::yellow);
    EXPECT_EQ(edit->color(), QColor(Qt::yellow));
    EXPECT_EQ(field(0).palette().color(QPalette::Base), QColor(Qt::yellow));
    const QImage image = edit->grab().toImage();
    // Between field 0 and field 1, above the dot: the control's own background.
    const QPoint gap = edit->field(1).mapTo(edit, QPoint(-2, -1));
    EXPECT_EQ(image.pixelColor(gap), QColor(Qt::yellow));
}

// The main window's instance: 137 x 21, bold 10-point (13-pixel) font.
TEST_F(IPEditFixture, TheMainWindowLayoutAndItsDots)
{
    edit->setBorderStyle(bsNone);
    for (bool inPixels : { false, true }) {
        QFont f = edit->font();
        if (inPixels)
            f.setPixelSize(13);
        else
            f.setPointSize(10);
        f.setBold(true);
        edit->setFont(f);
        edit->setFixedSize(137, 21);
        const int xs[] = { 0, 34, 68, 102 };
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(field(i).geometry(), QRect(xs[i], 2, 30, 19)) << i << " " << inPixels;
        EXPECT_EQ(field(0).font().bold(), true);
    }
    // With the sunken border the fields keep their places inside the client area.
    edit->setBorderStyle(bsSingle);
    EXPECT_EQ(field(1).geometry(), QRect(34, 2, 30, 19));
    EXPECT_EQ(field(1).mapTo(edit, QPoint(0, 0)), QPoint(36, 4));

    edit->setIPString("192.168.123.100");
    const QImage image = edit->grab().toImage();
    ASSERT_TRUE(image.save(QStringLiteral("ip_edit_main_window.png")));
    // Each dot is dark ink in the gap after field k, at x = 30, 64, 98 of the client area.
    const auto layout = edit->currentLayout();
    for (int k = 0; k < 3; ++k) {
        int ink = 0;
        for (int x = 2 + layout.dotX[k]; x < 2 + layout.dotX[k] + layout.gap; ++x)
            for (int y = 2; y < 19; ++y)
                ink += image.pixelColor(x, y).lightness() < 128;
        EXPECT_GT(ink, 0) << "dot " << k;
    }
}

TEST_F(IPEditFixture, FontChangesRearrangeTheFields)
{
    edit->setFixedSize(200, 30);
    QFont f = edit->font();
    f.setPointSize(12);
    edit->setFont(f);
    EXPECT_EQ(field(0).width(), 36);
    EXPECT_EQ(field(1).x() - field(0).x(), 36 + 5);
    EXPECT_EQ(field(2).font().pointSize(), 12);
}
