#include "app/MemoText.h"

#include "platform/AnsiText.h"

namespace app {

std::string memoBytes(const QString& rawText)
{
    QString text;
    text.reserve(rawText.size());
    for (const QChar c : rawText) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == u'\n')
            text += QStringLiteral("\r\n");
        else
            text += c;
    }
    return platform::utf8ToAnsi(text.toStdString());
}

QString memoText(const std::string& bytes)
{
    QString text = QString::fromStdString(platform::ansiToUtf8(bytes));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

} // namespace app
