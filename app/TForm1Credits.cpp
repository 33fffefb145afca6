// The window as the credits mode sees it: the test text's first line, the memo's lines, the
// captions and the concealed controls.
#include "app/ClickableLabel.h"
#include "app/MemoText.h"
#include "app/TForm1.h"
#include "platform/AnsiText.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>

namespace app {

namespace {

QString fromAnsi(const std::string& text)
{
    return QString::fromStdString(platform::ansiToUtf8(text));
}

void setPlainCaption(QLabel& label, const std::string& text)
{
    label.setTextFormat(Qt::PlainText);
    label.setText(fromAnsi(text));
}

} // namespace

std::string TForm1::firstMemoLine() const
{
    // The line as typed, up to the first line break: the memo's word wrapping ends no line.
    QString line = Memo1->document()->firstBlock().text();
    const qsizetype lineBreak = line.indexOf(QChar::LineSeparator);
    if (lineBreak >= 0)
        line.truncate(lineBreak);
    return memoBytes(line);
}

void TForm1::setMemoLines(const std::vector<std::string>& lines)
{
    setMemo1Text(credits::memoText(lines));
}

void TForm1::setCaption(credits::CreditsCaption which, const std::string& text)
{
    switch (which) {
    case credits::CreditsCaption::Window:
        return setWindowTitle(fromAnsi(text));
    case credits::CreditsCaption::CopyrightLabel:
        return setPlainCaption(*Label3, text);
    case credits::CreditsCaption::WebAddressLabel:
        return setPlainCaption(*Label4, text);
    }
}

void TForm1::showControl(credits::CreditsControl which)
{
    switch (which) {
    case credits::CreditsControl::Logo:
        return Image1->show();
    case credits::CreditsControl::CopyrightLabel:
        return Label3->show();
    case credits::CreditsControl::WebAddressLabel:
        return Label4->show();
    case credits::CreditsControl::WebsiteButton:
        return Button4->show();
    }
}

} // namespace app
