#pragma once
// What every window test runs on: a system root whose serial-port list is empty until ports are
// added (PtyPort), a fresh configuration folder for the registry store, the application title
// and recorded message boxes; and the operator's actions on the window.

#include "app/TForm1.h"
#include "platform/MessageBoxes.h"
#include "support/TempDir.h"

#include <QComboBox>
#include <memory>

namespace testsupport {

class WindowTestMachine {
public:
    WindowTestMachine();
    // Builds the window from its description and runs FormCreate, as the program does.
    std::unique_ptr<app::TForm1> startWindow() const;
    std::string sysRoot() const { return root.path(); }

    TestSysRoot root;
    TestConfigHome config;
    platform::RecordingMessageService boxes;
};

// The status bar's panel text.
QString panel(const app::TForm1& form, int index);
// The operator picks entry `index` of a list.
void pick(QComboBox& list, int index);
// The operator types a dotted address into the IP editor, field by field.
void typeAddress(app::TForm1& form, const QString& address);
// The operator clicks a button (or label) of the window by name.
void press(app::TForm1& form, const char* name);
// The operator chooses the parallel port; tests that press buttons without a printer address of
// their own start with it, so no press ever goes to the window's default network address.
void chooseParallel(app::TForm1& form);
// The operator replaces the test text.
void setTestText(app::TForm1& form, const QString& text);
// A test text of about `bytes` bytes in lines of 80.
QString largeTestText(std::size_t bytes);

} // namespace testsupport
