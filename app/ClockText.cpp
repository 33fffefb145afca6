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

// Where the unquoted year field ("y", "yy", "yyyy") of a date format starts and how long it is;
// -1 when there is none.
std::pair<qsizetype, qsizetype> yearField(const QString& format)
{
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format[i] == u'\'')
            quoted = !quoted;
        if (quoted || format[i] != u'y')
            continue;
        qsizetype end = i;
        while (end < format.size() && format[end] == u'y')
            ++end;
        return { i, end - i };
    }
    return { -1, 0 };
}

QString withTwoDigitYear(QString format)
{
    const auto [at, length] = yearField(format);
    return at < 0 ? format : format.replace(at, length, QStringLiteral("yy"));
}

// The date format without its year and the separators that joined it to the rest ("d MMM yyyy"
// gives "d MMM", "M/d/yy" gives "M/d", "yyyy/MM/dd" gives "MM/dd"); a full stop that ended the
// day and month stays, as it is written ("dd.MM.yy" gives "dd.MM.").
QString withoutYear(QString format)
{
    const auto [at, length] = yearField(format);
    if (at < 0)
        return format;
    const auto isSeparator
        = [&](qsizetype i) { return !format[i].isLetter() && format[i] != u'\''; };
    qsizetype from = at;
    qsizetype to = at + length;
    if (at == 0) {
        while (to < format.size() && isSeparator(to))
            ++to;
        return format.remove(from, to - from);
    }
    while (from > 0 && isSeparator(from - 1))
        --from;
    const bool fullStop = format.mid(from, at - from).contains(u'.');
    return format.remove(from, to - from) + (fullStop ? QStringLiteral(".") : QString());
}

QString joined(const QString& date, const QString& time)
{
    return time.isEmpty() ? date : date + u' ' + time;
}

} // namespace

QString clockText(const QDateTime& now, const QLocale& locale)
{
    return clockTextForms(now, locale).first();
}

QStringList clockTextForms(const QDateTime& now, const QLocale& locale)
{
    const QString dateFormat = locale.dateFormat(QLocale::ShortFormat);
    // The time part is left out at exactly midnight.
    const QString time = now.time() == QTime(0, 0)
        ? QString()
        : locale.toString(now.time(), withoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
    QStringList forms { joined(locale.toString(now.date(), dateFormat), time),
        joined(locale.toString(now.date(), withTwoDigitYear(dateFormat)), time),
        joined(locale.toString(now.date(), withoutYear(dateFormat)), time) };
    if (!time.isEmpty())
        forms << time;
    forms.removeDuplicates();
    return forms;
}

} // namespace app
