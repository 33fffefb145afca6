// The fair reference for the start-up benchmark: the main window's controls (the same kinds,
// places, texts, fonts and colours, the hidden ones included) built by plain Qt code in a
// constructor, as a hand-written Qt program would build them: no window description, no serial
// component, no translator. The IP editor is four line edits on a frame, the port selectors are
// plain combo boxes, the status bar holds three labels.
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDateTime>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>

namespace {

void styleFont(QWidget* widget, int pointSize, bool bold, const QColor& color = {})
{
    QFont font = widget->font();
    if (pointSize > 0)
        font.setPointSize(pointSize);
    font.setBold(bold);
    widget->setFont(font);
    if (color.isValid()) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Text, color);
        palette.setColor(QPalette::WindowText, color);
        widget->setPalette(palette);
    }
}

template <typename T> T* place(T* widget, int left, int top, int width, int height)
{
    widget->setGeometry(left, top, width, height);
    return widget;
}

QLabel* label(const char* text, QWidget* parent, int left, int top)
{
    auto* made = new QLabel(text, parent);
    made->move(left, top);
    made->adjustSize();
    return made;
}

QComboBox* comboBox(QWidget* parent, const QStringList& items, bool bold)
{
    auto* made = new QComboBox(parent);
    made->setEditable(true);
    made->addItems(items);
    styleFont(made, 0, bold);
    return made;
}

class PlainForm : public QWidget {
public:
    PlainForm()
    {
        setWindowTitle("Quillet v1.0");
        setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        styleFont(this, 8, false);
        move(191, 114);
        resize(594, 366);
        buildConnectionGroup();
        buildTestGroup();
        buildHiddenControls();
        auto* status = place(new QStatusBar(this), 0, 342, 594, 24);
        QLabel* panel = nullptr;
        for (const int width : { 230, 200, 70 })
            status->addWidget(panel = place(new QLabel(status), 0, 0, width, 20));
        auto* clock = new QTimer(this);
        QObject::connect(clock, &QTimer::timeout, panel,
            [panel] { panel->setText(QDateTime::currentDateTime().toString("hh:mm:ss")); });
        clock->start(1000);
    }

private:
    void buildConnectionGroup()
    {
        auto* group = place(new QGroupBox("Configuration", this), 8, 8, 577, 129);
        auto* choices = new QButtonGroup(this);
        choices->addButton(place(new QRadioButton("COM", group), 8, 16, 81, 17));
        auto* com = place(new QGroupBox("COM Configuration", group), 8, 40, 169, 81);
        label("Port Name:", com, 16, 24);
        place(comboBox(com, { "COM1" }, true), 80, 24, 73, 21);
        label("Baud Rate:", com, 16, 52);
        place(comboBox(com, { "2400", "4800", "9600", "19200", "38400", "57600", "115200" }, true),
            80, 48, 73, 21);
        choices->addButton(place(new QRadioButton("LPT", group), 184, 14, 81, 16));
        auto* lpt = place(new QGroupBox("LPT Selection", group), 184, 38, 161, 83);
        label("Port Name:", lpt, 16, 24);
        place(comboBox(lpt, { "LPT1", "LPT2", "LPT3", "LPT4" }, true), 80, 20, 73, 21);
        auto* ethernet = place(new QRadioButton("ETHERNET", group), 344, 12, 89, 17);
        ethernet->setChecked(true);
        choices->addButton(ethernet);
        auto* net = place(new QGroupBox("Ethernet Configuration", group), 352, 36, 217, 85);
        label("IP Adress:", net, 16, 24);
        auto* address = place(new QFrame(net), 72, 20, 137, 21);
        address->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        styleFont(address, 10, true);
        const char* octets[] = { "192", "168", "123", "100" };
        for (int field = 0; field < 4; ++field) {
            auto* edit = place(new QLineEdit(octets[field], address), 2 + 33 * field, 2, 28, 17);
            edit->setFrame(false);
            edit->setMaxLength(3);
            edit->setAlignment(Qt::AlignCenter);
        }
    }

    void buildTestGroup()
    {
        auto* group = place(new QGroupBox("Printer Test", this), 8, 144, 577, 193);
        label("Input Printer Cahracters:", group, 8, 16);
        auto* memo = place(new QPlainTextEdit(group), 8, 32, 369, 153);
        styleFont(memo, 10, false, QColor(0, 0, 255));
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        memo->setTabChangesFocus(true);
        memo->setPlainText("\nHello!How are you!\nQuillet v1.0!\nThank you very much!\n\n");
        place(new QPushButton("Print Test", group), 392, 32, 169, 25);
        place(new QPushButton("Cut Paper", group), 392, 72, 169, 25);
        place(new QPushButton("Cash Drawer", group), 392, 112, 169, 25);
        place(new QPushButton("Exit", this), 400, 293, 169, 25);
    }

    void buildHiddenControls()
    {
        const QList<QWidget*> hidden {
            place(new QLabel(this), 8, 384, 413, 38),
            place(new QLabel("Copyright (C) Quillet", this), 432, 392, 231, 24),
            place(new QLabel("www.quillet.example", this), 432, 368, 227, 24),
            place(new QPushButton("Visit Official Website", this), 400, 135, 169, 25),
            place(new QPlainTextEdit("Memo2", this), 536, 208, 129, 41),
            place(new QRadioButton("DRIVER", this), 8, 584, 113, 17),
            place(new QGroupBox("Driver Selection", this), 104, 584, 329, 57),
            place(new QRadioButton("File", this), 8, 648, 65, 17),
            place(new QGroupBox("File Configuration", this), 104, 648, 329, 57),
        };
        styleFont(hidden[1], 16, true, QColor(0, 0, 255));
        styleFont(hidden[2], 14, false, QColor(0, 128, 0));
        label("Printer Driver:", hidden[6], 16, 24);
        place(comboBox(hidden[6], { "VARUVOZIRIVO" }, false), 104, 20, 145, 21);
        label("File Name:", hidden[8], 16, 24);
        place(new QLineEdit("abc", hidden[8]), 104, 20, 145, 21);
        for (QWidget* widget : hidden)
            widget->setVisible(false);
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    PlainForm window;
    window.show();
    return application.exec();
}
