#pragma once
// The status bar clock's text.

#include <QDateTime>
#include <QLocale>

namespace app {

// The locale's short date, a blank and its long time without the time zone; the date alone
// when the value is exactly midnight.
QString clockText(const QDateTime& now, const QLocale& locale);

} // namespace app
