// The Qt message boxes, shown for real in the offscreen application and closed with their OK
// button as an operator would.
#include "app/QtMessageService.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using platform::MessageKind;

namespace {

struct SeenBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    bool owned = false;
    Qt::WindowModality modality = Qt::NonModal;
};

// Shows a box through the service and closes it with OK as soon as it is up.
SeenBox showAndClose(MessageKind kind, const std::string& caption, const std::string& text)
{
    SeenBox seen;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen = { box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
            box->parentWidget() != nullptr, box->windowModality() };
        box->button(QMessageBox::Ok)->click();
    });
    closer.start(10);
    app::QtMessageService service;
    platform::setMessageService(&service);
    service.show(kind, caption, text);
    platform::setMessageService(nullptr);
    return seen;
}

} // namespace

TEST(QtMessageService, OneOkBoxPerKindWithItsIcon)
{
    QWidget owner;
    owner.show();
    const struct {
        MessageKind kind;
        QMessageBox::Icon icon;
        bool owned;
    } kinds[] = {
        { MessageKind::Plain, QMessageBox::NoIcon, true },
        { MessageKind::Error, QMessageBox::Critical, true },
        { MessageKind::ApplicationError, QMessageBox::Critical, false },
    };
    for (const auto& k : kinds) {
        owner.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&owner));
        // 8-bit texts arrive as Windows-1252.
        const SeenBox seen = showAndClose(k.kind, "Quillet v1.0", "Caf\xE9 \x80");
        EXPECT_EQ(seen.caption, "Quillet v1.0");
        EXPECT_EQ(seen.text, QStringLiteral("Caf\u00E9 \u20AC"));
        EXPECT_EQ(seen.icon, k.icon);
        EXPECT_EQ(seen.buttons, QMessageBox::Ok);
        EXPECT_EQ(seen.owned, k.owned);
        EXPECT_EQ(seen.modality, Qt::ApplicationModal);
    }
}
