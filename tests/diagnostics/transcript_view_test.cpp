// The transcript in its panel, shown offscreen: ten megabytes of traffic flow in while the event
// loop keeps answering, the panel copies, clears and saves (through its file dialogs), and the
// rows read as they should.
#include "diagnostics/TranscriptPanel.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

using namespace diagnostics;

namespace {

// Answers the next file dialog with `path`, as a user who types a name and presses Save. A
// dialog that is still loading its folder may let the first press pass, so the name is given
// and Save pressed again until that dialog has closed; a later dialog is left alone. A dialog
// that never takes the name is cancelled after 30 s, so the test fails instead of hanging. The
// timer belongs to owner, so it goes with it should the test end before the timer has stopped.
void answerFileDialog(const QString& path, QObject* owner)
{
    auto* timer = new QTimer(owner);
    auto answered = std::make_shared<QPointer<QFileDialog>>();
    auto seen = std::make_shared<bool>(false);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [timer, path, answered, seen, clock] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!*seen && dialog) {
            *answered = dialog;
            *seen = true;
        }
        if (!*seen)
            return;
        if (answered->isNull() || !(*answered)->isVisible()) {
            timer->stop();
            timer->deleteLater();
            return;
        }
        QDialog* const asked = answered->data();
        if (clock->hasExpired(30'000)) {
            ADD_FAILURE() << "the file dialog never took " << path.toStdString();
            asked->done(QDialog::Rejected);
            return;
        }
        // selectFile() leaves the name field alone while it has the keyboard focus, as it does
        // once the window manager has activated the dialog: the focus is taken from it first.
        if (QWidget* focused = asked->focusWidget())
            focused->clearFocus();
        (*answered)->selectFile(path);
        // The dialog lists its folder in the background, and a listing that ends after the
        // choice may reset it: the dialog is ended only once it answers with the path.
        if ((*answered)->selectedFiles().value(0) != path)
            return;
        // Ends the dialog as Save does, without accept()'s checks: a question those checks may
        // raise (a folder last visited that is gone) would be a second modal nobody answers.
        asked->done(QDialog::Accepted);
    });
    timer->start(10);
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

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
    EXPECT_EQ(model.data(model.index(0, TranscriptModel::BytesColumn), Qt::DisplayRole).toString(),
        "1B 40\n.@");
    EXPECT_TRUE(model.data(model.index(1, TranscriptModel::TimeColumn), Qt::DisplayRole)
                    .toString()
                    .endsWith("\nrecv"));
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

TEST(TranscriptView, AtThePanesWidthEveryRowShowsItsHexAndNameAndTheNewestStaysInSight)
{
    TranscriptModel model;
    TranscriptPanel panel(model);
    panel.resize(380 - 20, 400); // the pane's width, less its margins
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    const std::string cut("\x1D\x56\x42\x00", 4);
    model.append(printer::Direction::Sent, cut + std::string(12, 'x'), "GS V 66 0 partial cut");
    model.append(printer::Direction::Received, "\x12", "reply to DLE EOT 1");
    const auto text = [&](int row) {
        return model.data(model.index(row, TranscriptModel::BytesColumn), Qt::DisplayRole)
            .toString();
    };
    EXPECT_EQ(text(0), "1D 56 42 00 78 78 78 78\n78 78 78 78 78 78 78 78\nGS V 66 0 partial cut");
    EXPECT_EQ(text(1), "12\nreply to DLE EOT 1");
    // Each line of the row fits its column: nothing of the hex or the name is cut.
    auto* view = panel.view();
    const QFontMetrics metrics(model.data(model.index(0, 0), Qt::FontRole).value<QFont>());
    for (const auto& line : text(0).split('\n'))
        EXPECT_LE(metrics.horizontalAdvance(line) + 8, view->columnWidth(1)) << line.toStdString();
    EXPECT_LE(metrics.horizontalAdvance("00:00:00.000"), view->columnWidth(0));
    EXPECT_LE(metrics.lineSpacing() * 3, view->rowHeight(0));
    EXPECT_LE(view->columnWidth(0) + view->columnWidth(1), view->viewport()->width() + 1);

    // The newest row follows the traffic; a reader who scrolled up stays where they are.
    for (int i = 0; i < 200; ++i)
        model.append(printer::Direction::Received, "\x12");
    QTest::qWait(20);
    auto* scroll = view->verticalScrollBar();
    EXPECT_EQ(scroll->value(), scroll->maximum());
    scroll->setValue(3);
    for (int i = 0; i < 50; ++i)
        model.append(printer::Direction::Received, "\x12");
    QTest::qWait(20);
    EXPECT_EQ(scroll->value(), 3);
}

TEST(TranscriptView, SaveBinHoldsExactlyTheBytesSentAndSaveTextTheRows)
{
    TranscriptModel model;
    TranscriptPanel panel(model);
    model.append(printer::Direction::Sent, std::string("\x1B\x40", 2));
    model.append(printer::Direction::Received, "\x12");
    model.append(printer::Direction::Sent, std::string("Hello\n\x1D\x56\x00", 9));
    QTemporaryDir folder;
    const QString bin = folder.filePath("sent.bin"), text = folder.filePath("transcript.txt");

    answerFileDialog(bin, &panel);
    QTest::mouseClick(panel.findChild<QPushButton*>("TranscriptSaveBytes"), Qt::LeftButton);
    EXPECT_EQ(fileBytes(bin), QByteArray("\x1B\x40Hello\n\x1D\x56\x00", 11));

    answerFileDialog(text, &panel);
    QTest::mouseClick(panel.findChild<QPushButton*>("TranscriptSaveText"), Qt::LeftButton);
    const QString saved = QString::fromLatin1(fileBytes(text));
    const QStringList lines = saved.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), model.rowCount()) << saved.toStdString();
    EXPECT_TRUE(lines[0].contains("sent  1B 40")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].contains("recv  12")) << lines[1].toStdString();
    EXPECT_TRUE(saved.contains("48 65 6C 6C 6F 0A")) << saved.toStdString();
    EXPECT_FALSE(saved.contains(QChar(0x1D))) << "the text holds rows, not the raw bytes";
}
