#include "app/ClockText.h"

namespace app {

namespace {

// A time format without its time-zone letters ("t"), which the clock does not show.
QString withoutTimeZone(const QString& format)
{
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (quoted || c != u't')
            result += c;
    }
    return result.simplified();
}

} // namespace

QString clockText(const QDateTime& now, const QLocale& locale)
{
    const QString date = locale.toString(now.date(), QLocale::ShortFormat);
    if (now.time() == QTime(0, 0))
        return date;
    return date + u' '
        + locale.toString(now.time(), withoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
}

} // namespace app
