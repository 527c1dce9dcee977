#include "platform/SysUtils.h"
#include "platform/Errors.h"
#include <limits>

int StrToInt(const QString& text) {
  qsizetype i = 0;
  // Leading blanks are accepted, as the platform's conversion does; trailing ones are not.
  while (i < text.size() && text[i] == u' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  if (i >= text.size()) RaiseConvertError(text);
  long long value = 0;
  for (; i < text.size(); ++i) {
    QChar c = text[i];
    if (c < u'0' || c > u'9') RaiseConvertError(text);
    value = value * 10 + (c.unicode() - u'0');
    if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1) RaiseConvertError(text);
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
    RaiseConvertError(text);
  return static_cast<int>(value);
}

QString TrimLeft(const QString& text) {
  qsizetype b = 0;
  while (b < text.size() && text[b].unicode() <= 32) ++b;
  return text.mid(b);
}

QString TrimRight(const QString& text) {
  qsizetype e = text.size();
  while (e > 0 && text[e - 1].unicode() <= 32) --e;
  return text.left(e);
}

QString Trim(const QString& text) { return TrimRight(TrimLeft(text)); }
