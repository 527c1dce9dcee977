// Date and time formatting by pattern, with the old platform's specifiers:
//   d dd ddd dddd   day (1, 01, short name, long name)     m mm mmm mmmm  month
//   yy yyyy         year                                    h hh           hour (24-hour clock)
//   n nn            minute; m or mm right after an hour specifier is the minute as well
//   s ss            second     z zzz   millisecond          am/pm ampm a/p  12-hour clock marker
//   /  the locale's date separator    :  the locale's time separator
//   "text" or 'text' is copied as it stands; any other character too.
#pragma once
#include <QChar>
#include <QDateTime>
#include <QString>

QString FormatDateTime(const QString& format, const QDateTime& when);
// The separators of the system locale's short date and time formats.
QChar DateSeparator();
QChar TimeSeparator();
