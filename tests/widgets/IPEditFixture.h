#pragma once
// A shown, active window holding a line edit, the IP editor and another line edit, with a
// recorder of the editor's events, for tests driven by QTest key and mouse events.

#include "widgets/IPEdit.h"
#include "widgets/IPFieldEdit.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class IPEditFixture : public testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<QWidget>();
        auto* layout = new QHBoxLayout(window.get());
        before = new QLineEdit(window.get());
        edit = new TIPEdit(window.get());
        after = new QLineEdit(window.get());
        edit->setObjectName(QStringLiteral("IPEdit1"));
        layout->addWidget(before);
        layout->addWidget(edit);
        layout->addWidget(after);
        edit->OnChange = [this](QObject* sender) {
            EXPECT_EQ(sender, edit);
            events.push_back("change " + edit->IPString().toStdString());
        };
        edit->OnError = [this](QObject* sender, int field) {
            EXPECT_EQ(sender, edit);
            EXPECT_TRUE(edit->error());
            events.push_back("error " + std::to_string(field) + " shows "
                + edit->field(field).text().toStdString());
        };
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        before->setFocus();
        ASSERT_TRUE(before->hasFocus());
    }

    TIPFieldEdit& field(int index) const { return edit->field(index); }

    // Types each character into whatever widget holds the focus at that moment.
    static void type(const char* text)
    {
        for (const char* c = text; *c; ++c)
            QTest::keyClick(QApplication::focusWidget(), *c);
    }

    static void key(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }

    // Gives field index the focus from inside the control, with the caret at column.
    void focusField(int index, int column)
    {
        field(0).setFocus();
        for (int i = 0; i < index; ++i)
            edit->focusNextField(false);
        field(index).placeCaret(column);
        ASSERT_EQ(edit->focusedFieldIndex(), index);
    }

    std::vector<std::string> takeEvents() { return std::exchange(events, {}); }

    std::unique_ptr<QWidget> window;
    QLineEdit* before = nullptr;
    TIPEdit* edit = nullptr;
    QLineEdit* after = nullptr;
    std::vector<std::string> events;
};
