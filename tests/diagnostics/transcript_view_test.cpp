// The transcript in its panel, shown offscreen: ten megabytes of traffic flow in while the event
// loop keeps answering, the panel copies and clears, and the rows read as they should.
#include "diagnostics/TranscriptPanel.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace diagnostics;

TEST(TranscriptView, TheEventLoopAnswersWhileTenMegabytesFlowIn)
{
    TranscriptModel model;
    TranscriptPanel panel(model);
    panel.resize(380, 400);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));

    // Traffic comes in the pieces a busy printer connection delivers, one per event-loop turn.
    const std::string chunk(32 * 1024, 'x');
    const std::size_t total = 10u << 20;
    std::size_t fed = 0;
    QTimer feeder;
    QObject::connect(&feeder, &QTimer::timeout, [&] {
        model.append(printer::Direction::Sent, chunk);
        model.append(printer::Direction::Received, "\x12");
        panel.view()->scrollToBottom();
        fed += chunk.size();
        if (fed >= total)
            feeder.stop();
    });
    // How late the event loop answers a call posted to it.
    qint64 slowest = 0;
    QElapsedTimer sincePost;
    QTimer probe;
    probe.setInterval(5);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        sincePost.start();
        QMetaObject::invokeMethod(
            &panel, [&] { slowest = std::max(slowest, sincePost.elapsed()); },
            Qt::QueuedConnection);
    });
    feeder.start(0);
    probe.start();
    QElapsedTimer watchdog;
    watchdog.start();
    while (fed < total && watchdog.elapsed() < 120000)
        QTest::qWait(20);
    probe.stop();
    ASSERT_GE(fed, total);
    EXPECT_LT(slowest, 100) << "the event loop answered only after " << slowest << " ms";
    EXPECT_GE(model.transcript().byteCount(), total);
    EXPECT_EQ(model.rowCount(), static_cast<int>(model.transcript().rowCount()));
}

TEST(TranscriptView, CopyTakesTheSelectedRowsAndClearEmptiesTheView)
{
    TranscriptModel model;
    TranscriptPanel panel(model);
    model.append(printer::Direction::Sent, std::string("\x1B\x40", 2));
    model.append(printer::Direction::Received, "\x12");
    EXPECT_EQ(model.data(model.index(0, TranscriptModel::HexColumn), Qt::DisplayRole).toString(),
        "1B 40");
    EXPECT_EQ(
        model.data(model.index(0, TranscriptModel::TextColumn), Qt::DisplayRole).toString(), ".@");
    EXPECT_EQ(
        model.data(model.index(1, TranscriptModel::DirectionColumn), Qt::DisplayRole).toString(),
        "recv");
    EXPECT_EQ(panel.copyText().count('\n'), 2);
    panel.view()->selectRow(1);
    const QString one = panel.copyText();
    EXPECT_EQ(one.count('\n'), 1);
    EXPECT_TRUE(one.contains("recv  12")) << one.toStdString();
    QTest::mouseClick(panel.findChild<QPushButton*>("TranscriptCopy"), Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->text(), one);
    QTest::mouseClick(panel.findChild<QPushButton*>("TranscriptClear"), Qt::LeftButton);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.transcript().byteCount(), 0u);
}
