#pragma once
// The status-bar clock's text: a moment written as the locale's short date, a
// blank and the time with hours, minutes and seconds, without a time-zone
// name. A function of the moment and the locale so any time of day can be
// checked, midnight included.

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace morvane::ui {

/// The locale's long time format with its time-zone name ("t" patterns, with
/// any brackets around them and the separator before or after) taken out.
QString TimeFormatWithoutZone(const QLocale& locale);

/// Short date, one blank, the time in TimeFormatWithoutZone.
QString ClockText(const QDateTime& now, const QLocale& locale);

} // namespace morvane::ui
