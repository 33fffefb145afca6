#pragma once
// The status bar clock's text.

#include <QDateTime>
#include <QLocale>
#include <QStringList>

namespace app {

// The locale's short date, a blank and its long time without the time zone; the date alone
// when the value is exactly midnight.
QString clockText(const QDateTime& now, const QLocale& locale);

// The clock's text and shorter forms of it for a panel too narrow to show it whole, longest
// first: the full text, then with a two-digit year, then without the year, then the time
// alone. Every form keeps the seconds, so the clock visibly ticks.
QStringList clockTextForms(const QDateTime& now, const QLocale& locale);

} // namespace app
