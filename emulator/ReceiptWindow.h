#pragma once

#include <QImage>
#include <QScrollArea>

class QVBoxLayout;

namespace emulator {

// Shows the receipts as they come in, newest first; only the latest few stay in memory.
class ReceiptWindow : public QScrollArea {
    Q_OBJECT
public:
    explicit ReceiptWindow(QWidget* parent = nullptr);
    // Adds a receipt at the top, captioned with the file it was saved as.
    void showReceipt(const QImage& picture, const QString& caption);

private:
    QVBoxLayout* m_receipts;
};

} // namespace emulator
