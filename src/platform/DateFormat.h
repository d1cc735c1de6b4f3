#pragma once

#include <optional>
#include <QDateTime>
#include <QString>

namespace veltrane {

// Dates through ICU with Unicode date patterns ("d MMM yy", "MM/dd/yyyy hh:mm:ss a", ...),
// in the local time zone. `locale` is an ICU or POSIX locale name ("de_DE", "fr_FR.UTF-8");
// empty means the user's locale for dates (LC_ALL, then LC_TIME, then LANG). Any thread may call.

// No value when the pattern is rejected or the date is invalid.
std::optional<QString> formatDate(const QDateTime& when, const QString& pattern,
                                  const QString& locale = {});

// Reads the whole of `text` strictly with `pattern`; no value when it does not match.
std::optional<QDateTime> parseDate(const QString& text, const QString& pattern,
                                   const QString& locale = {});

// The user's locale name for dates, as used when `locale` is empty.
QString userDateLocale();

} // namespace veltrane
