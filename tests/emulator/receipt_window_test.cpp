// The receipt window: receipts shown newest first, each under the name of its file, and only the
// latest fifty kept.
#include "emulator/ReceiptWindow.h"

#include <QLabel>
#include <QLayout>
#include <gtest/gtest.h>

using emulator::ReceiptWindow;

namespace {

QImage blank(int height)
{
    QImage picture(640, height, QImage::Format_Mono);
    picture.fill(0);
    return picture;
}

// The captions from top to bottom.
QStringList captions(const ReceiptWindow& window)
{
    QStringList texts;
    const auto* layout = window.widget()->layout();
    for (int i = 0; i < layout->count(); ++i)
        if (const auto* label = qobject_cast<QLabel*>(layout->itemAt(i)->widget()))
            if (!label->text().isEmpty())
                texts << label->text();
    return texts;
}

} // namespace

TEST(ReceiptWindow, ShowsTheNewestReceiptFirst)
{
    ReceiptWindow window;
    EXPECT_EQ(window.objectName(), "ReceiptWindow");
    window.showReceipt(blank(100), "receipts/0001.png");
    window.showReceipt(blank(200), "receipts/0002.png");
    EXPECT_EQ(captions(window), QStringList({ "receipts/0002.png", "receipts/0001.png" }));
    const auto* newest = qobject_cast<QLabel*>(window.widget()->layout()->itemAt(1)->widget());
    ASSERT_NE(newest, nullptr);
    EXPECT_EQ(newest->pixmap().height(), 200);
}

TEST(ReceiptWindow, KeepsOnlyTheLatestFifty)
{
    ReceiptWindow window;
    for (int i = 1; i <= 60; ++i)
        window.showReceipt(blank(10), QString("receipts/%1.png").arg(i, 4, 10, QChar('0')));
    const auto shown = captions(window);
    ASSERT_EQ(shown.size(), 50);
    EXPECT_EQ(shown.first(), "receipts/0060.png");
    EXPECT_EQ(shown.last(), "receipts/0011.png");
}
