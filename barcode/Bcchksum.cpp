#include "barcode/Bcchksum.h"
#include "platform/SysUtils.h"

QString CheckSumModulo10(const QString& data) {
  const qsizetype n = data.size();
  int sum = 0;
  for (qsizetype i = 0; i < n; ++i) {
    QChar c = data[i];
    int value = (c >= u'0' && c <= u'9') ? c.unicode() - u'0' : StrToInt(QString(c));
    const qsizetype fromRight = n - i;
    // Reduced as it goes, so that no length overflows the sum.
    sum = (sum + ((fromRight % 2 == 1) ? 3 * value : value)) % 10;
  }
  const int rest = sum % 10;
  return data + QChar(u'0' + (rest == 0 ? 0 : 10 - rest));
}
