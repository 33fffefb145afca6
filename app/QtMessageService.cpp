#include "app/QtMessageService.h"

#include "platform/AnsiText.h"

#include <QApplication>
#include <QMessageBox>

namespace app {

namespace {

QString fromAnsi(const std::string& text)
{
    return QString::fromStdString(platform::ansiToUtf8(text));
}

} // namespace

void QtMessageService::show(
    platform::MessageKind kind, const std::string& caption, const std::string& text)
{
    const bool plain = kind == platform::MessageKind::Plain;
    const bool owned = kind != platform::MessageKind::ApplicationError;
    // Application-modal in every case, so no handler can start while a box is open.
    QMessageBox box(plain ? QMessageBox::NoIcon : QMessageBox::Critical, fromAnsi(caption),
        fromAnsi(text), QMessageBox::Ok, owned ? QApplication::activeWindow() : nullptr);
    box.setWindowModality(Qt::ApplicationModal);
    // A box that ends a long press shows the normal pointer, not the press's busy cursor.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    QApplication::restoreOverrideCursor();
}

} // namespace app
