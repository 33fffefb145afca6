#include "app/TForm1.h"

#include "app/ClockText.h"
#include "app/MemoText.h"
#include "app/PrinterPaneHost.h"
#include "app/StatusBar.h"
#include "credits/CreditsMode.h"
#include "platform/ErrorReport.h"
#include "platform/HostAddresses.h"
#include "serial/ctl/ComComboBox.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QTextBlock>
#include <utility>

namespace app {

namespace {

// The test text every start begins with: an empty first line, three lines, an empty line.
const std::string defaultTestText
    = "\r\nHello!How are you!\r\nQuillet v1.0!\r\nThank you very much!\r\n\r\n";

// The rates the baud-rate selector offers; the bound list it builds itself is replaced.
const QStringList baudRateItems { "2400", "4800", "9600", "19200", "38400", "57600", "115200" };

QString firstLine(const QPlainTextEdit& memo)
{
    return memo.document()->isEmpty() ? QString() : memo.document()->firstBlock().text();
}

} // namespace

TForm1::TForm1() = default;

TForm1::~TForm1() = default;

std::unique_ptr<TForm1> TForm1::create(const WindowDescription& description)
{
    std::unique_ptr<TForm1> form(new TForm1);
    form->m_loading = true;
    applyDescription(*form, description);
    for (const auto& step : std::exchange(form->m_loadedSteps, {}))
        step();
    form->m_loading = false;
    form->m_paneHost = new PrinterPaneHost(*form);
    return form;
}

void TForm1::doCreate()
{
    if (m_onCreate)
        dispatch(m_onCreate, this);
}

void TForm1::dispatch(Handler handler, QObject* sender)
{
    if (m_loading)
        return;
    platform::runReported([&] { (this->*handler)(sender); });
}

std::string TForm1::memo1Bytes() const
{
    return memoBytes(Memo1->document()->toRawText());
}

void TForm1::setMemo1Text(const std::string& bytes)
{
    Memo1->setPlainText(memoText(bytes));
}

void TForm1::FormCreate(QObject*)
{
    credits::setStartupCaption(*this);
    ComComboBox2->clear();
    ComComboBox2->addItems(baudRateItems);
    ComComboBox2->setItemIndex(3);
    Image1->setGeometry(8, 384, 413, 38);
    Image1->adjustSize();
    setMemo1Text(defaultTestText);
    credits::checkCreditsMarker(*this);
    QFont panelFont = StatusBar1->font();
    panelFont.setPointSize(10);
    StatusBar1->setFont(panelFont);
    StatusBar1->setPanelText(0, connectionText(ConnectionChoice::Ethernet, connectionSettings()));
    Timer1Timer(this);
    std::vector<std::string> addresses;
    platform::listHostAddresses(addresses);
    QStringList lines;
    for (const std::string& address : addresses)
        lines << QString::fromStdString(address);
    Memo2->setPlainText(lines.join(u'\n'));
    StatusBar1->setPanelText(1, QStringLiteral("HostIP:") + firstLine(*Memo2));
    applySelectedPort();
    applySelectedBaudRate();
}

void TForm1::Timer1Timer(QObject*)
{
    // The whole clock text may be wider than the panel: a shorter form keeps the seconds in view.
    StatusBar1->setPanelTexts(2, clockTextForms(QDateTime::currentDateTime(), QLocale()));
}

void TForm1::Button23Click(QObject*)
{
    close();
}

void TForm1::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The status bar stays docked along the bottom edge at its own height.
    if (StatusBar1)
        StatusBar1->setGeometry(0, height() - StatusBar1->height(), width(), StatusBar1->height());
}

} // namespace app
