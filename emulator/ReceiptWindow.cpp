#include "emulator/ReceiptWindow.h"

#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

namespace emulator {

namespace {

constexpr int kReceiptsShown = 50;

} // namespace

ReceiptWindow::ReceiptWindow(QWidget* parent)
    : QScrollArea(parent)
{
    setObjectName(QStringLiteral("ReceiptWindow"));
    setWindowTitle(QStringLiteral("Quillet virtual printer"));
    auto* column = new QWidget;
    m_receipts = new QVBoxLayout(column);
    m_receipts->addStretch();
    setWidget(column);
    setWidgetResizable(true);
    setBackgroundRole(QPalette::Dark);
    resize(700, 800);
}

void ReceiptWindow::showReceipt(const QImage& picture, const QString& caption)
{
    auto* label = new QLabel;
    label->setPixmap(QPixmap::fromImage(picture));
    label->setToolTip(caption);
    label->setAlignment(Qt::AlignHCenter);
    auto* title = new QLabel(caption);
    title->setAlignment(Qt::AlignHCenter);
    m_receipts->insertWidget(0, label);
    m_receipts->insertWidget(0, title);
    // Two widgets per receipt, and the stretch at the end.
    while (m_receipts->count() > 2 * kReceiptsShown + 1) {
        auto* item = m_receipts->takeAt(m_receipts->count() - 2);
        delete item->widget();
        delete item;
    }
}

} // namespace emulator
