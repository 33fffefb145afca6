// A program that starts the way quillet does, through the same entry routine, with the stored
// description plus probes: one notes whether FormCreate ran and the window was shown, one ends
// the message loop as soon as it runs. A start that fails while the window is read (a system
// root without a serial-port list, say) never gets there. It prints what happened and returns
// the entry routine's exit code.
#include "app/Form1Description.h"
#include "app/RunQuillet.h"
#include "app/TForm1.h"
#include "platform/MessageBoxes.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPlainTextEdit>
#include <QTimer>
#include <cstdio>

namespace {

bool formCreateRan = false;
bool windowShown = false;

// Notes the first showing of the window it watches.
class ShowWatch : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            windowShown = true;
        return QObject::eventFilter(watched, event);
    }
};

QObject* plainObject(app::TForm1&, QWidget* parent)
{
    return new QObject(parent);
}

app::ControlDescription probe()
{
    return { "Probe", "Form1", plainObject, { { "Watch", [](app::TForm1& form, QObject& self) {
                                                   // FormCreate is what fills the test text.
                                                   QObject::connect(form.Memo1,
                                                       &QPlainTextEdit::textChanged,
                                                       [] { formCreateRan = true; });
                                                   form.installEventFilter(new ShowWatch(&self));
                                               } } } };
}

app::ControlDescription quitting()
{
    return { "Quit", "Form1", plainObject, { { "Quit", [](app::TForm1&, QObject&) {
                                                  QTimer::singleShot(
                                                      0, qApp, &QCoreApplication::quit);
                                              } } } };
}

} // namespace

int main(int argc, char** argv)
{
    platform::RecordingMessageService boxes;
    app::WindowDescription description = app::form1Description();
    description.push_back(probe());
    description.push_back(quitting());

    const int exitCode = app::runQuillet(argc, argv, description);

    std::printf("title=%s\n", platform::applicationTitle().c_str());
    std::printf("formCreate=%d\nshown=%d\n", formCreateRan, windowShown);
    for (const auto& box : boxes.boxes()) {
        std::string text = box.text;
        for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at))
            text.replace(at, 1, "\\n");
        std::printf(
            "box=%d|%s|%s\n", static_cast<int>(box.kind), box.caption.c_str(), text.c_str());
    }
    return exitCode;
}
