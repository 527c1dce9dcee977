#include "platform/DateTime.h"
#include <QLocale>

namespace {
QChar FirstSeparator(const QString& format, QChar fallback) {
  bool quoted = false;
  for (QChar c : format) {
    if (c == u'\'') quoted = !quoted;
    else if (!quoted && !c.isLetter() && !c.isSpace()) return c;
  }
  return fallback;
}

// Counts how many times the character at format[i] repeats (case-insensitive).
int RunLength(const QString& format, qsizetype i) {
  QChar c = format[i].toLower();
  int n = 0;
  while (i + n < format.size() && format[i + n].toLower() == c) ++n;
  return n;
}

bool StartsWithNoCase(const QString& s, qsizetype i, QLatin1StringView what) {
  return s.mid(i, what.size()).compare(what, Qt::CaseInsensitive) == 0;
}

bool UsesTwelveHourClock(const QString& format) {
  QChar quote;
  for (qsizetype i = 0; i < format.size(); ++i) {
    QChar c = format[i];
    if (!quote.isNull()) {
      if (c == quote) quote = QChar();
      continue;
    }
    if (c == u'"' || c == u'\'') quote = c;
    else if (StartsWithNoCase(format, i, QLatin1StringView("am/pm")) ||
             StartsWithNoCase(format, i, QLatin1StringView("a/p")) ||
             StartsWithNoCase(format, i, QLatin1StringView("ampm")))
      return true;
  }
  return false;
}

QString Pad(int value, int width) { return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0')); }
}  // namespace

QChar DateSeparator() {
  return FirstSeparator(QLocale::system().dateFormat(QLocale::ShortFormat), u'/');
}

QChar TimeSeparator() {
  return FirstSeparator(QLocale::system().timeFormat(QLocale::ShortFormat), u':');
}

QString FormatDateTime(const QString& format, const QDateTime& when) {
  const QDate date = when.date();
  const QTime time = when.time();
  const QLocale locale = QLocale::system();
  const bool twelveHour = UsesTwelveHourClock(format);
  QString out;
  QChar lastToken;  // the last letter specifier, upper case; decides what m means
  qsizetype i = 0;
  while (i < format.size()) {
    QChar c = format[i];
    if (c == u'"' || c == u'\'') {
      qsizetype end = format.indexOf(c, i + 1);
      if (end < 0) end = format.size();
      out += format.mid(i + 1, end - i - 1);
      i = end + 1;
      continue;
    }
    QChar token = c.toUpper();
    if (token.isLetter() && token.unicode() < 128) {
      if (token == u'M' && lastToken == u'H') token = u'N';
      lastToken = token;
    }
    if (c == u'/') {
      out += DateSeparator();
      ++i;
      continue;
    }
    if (c == u':') {
      out += TimeSeparator();
      ++i;
      continue;
    }
    if (token == u'A') {
      // am/pm markers in the case they are written in
      const int hour = time.hour();
      if (StartsWithNoCase(format, i, QLatin1StringView("am/pm"))) {
        QString m = hour < 12 ? format.mid(i, 2) : format.mid(i + 3, 2);
        out += m;
        i += 5;
      } else if (StartsWithNoCase(format, i, QLatin1StringView("a/p"))) {
        out += hour < 12 ? format.mid(i, 1) : format.mid(i + 2, 1);
        i += 3;
      } else if (StartsWithNoCase(format, i, QLatin1StringView("ampm"))) {
        out += hour < 12 ? locale.amText() : locale.pmText();
        i += 4;
      } else {
        out += c;
        ++i;
      }
      continue;
    }
    int n = RunLength(format, i);
    switch (token.unicode()) {
      case u'D':
        if (n >= 4) out += locale.dayName(date.dayOfWeek(), QLocale::LongFormat), n = 4;
        else if (n == 3) out += locale.dayName(date.dayOfWeek(), QLocale::ShortFormat);
        else out += n == 2 ? Pad(date.day(), 2) : QString::number(date.day());
        break;
      case u'M':
        if (n >= 4) out += locale.monthName(date.month(), QLocale::LongFormat), n = 4;
        else if (n == 3) out += locale.monthName(date.month(), QLocale::ShortFormat);
        else out += n == 2 ? Pad(date.month(), 2) : QString::number(date.month());
        break;
      case u'Y':
        if (n >= 3) out += Pad(date.year(), 4), n = std::min(n, 4);
        else out += Pad(date.year() % 100, 2), n = std::min(n, 2);
        break;
      case u'H': {
        int hour = time.hour();
        if (twelveHour) hour = hour % 12 == 0 ? 12 : hour % 12;
        n = std::min(n, 2);
        out += n == 2 ? Pad(hour, 2) : QString::number(hour);
        break;
      }
      case u'N':
        n = std::min(n, 2);
        out += n == 2 ? Pad(time.minute(), 2) : QString::number(time.minute());
        break;
      case u'S':
        n = std::min(n, 2);
        out += n == 2 ? Pad(time.second(), 2) : QString::number(time.second());
        break;
      case u'Z':
        n = n >= 3 ? 3 : 1;
        out += n == 3 ? Pad(time.msec(), 3) : QString::number(time.msec());
        break;
      default:
        out += c;
        n = 1;
        break;
    }
    i += n;
  }
  return out;
}
