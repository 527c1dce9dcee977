#include "labels/SheetLengths.h"
#include <QRegularExpression>

namespace {
const QString Number = QStringLiteral(R"(([0-9]+(?:\.[0-9]*)?|\.[0-9]+))");
const QString Unit = QStringLiteral(R"(\s*(mm|in)?)");

double ToMm(double value, const QString& unit) { return unit == u"in" ? value * 25.4 : value; }
}  // namespace

bool ParseLength(const QString& text, double& mm) {
  static const QRegularExpression one(QStringLiteral(R"(^\s*%1\s*(mm|in)\s*$)").arg(Number));
  const QRegularExpressionMatch m = one.match(text);
  if (!m.hasMatch()) return false;
  mm = ToMm(m.captured(1).toDouble(), m.captured(2));
  return true;
}

bool ParseLengthPair(const QString& text, double& first, double& second) {
  static const QRegularExpression pair(
      QStringLiteral(R"(^\s*%1%2\s*(?:x|X|×|,)\s*%1%2\s*$)").arg(Number, Unit));
  const QRegularExpressionMatch m = pair.match(text);
  // The second number needs its unit; the first takes its own, or the second's.
  if (!m.hasMatch() || m.captured(4).isEmpty()) return false;
  const QString firstUnit = m.captured(2).isEmpty() ? m.captured(4) : m.captured(2);
  first = ToMm(m.captured(1).toDouble(), firstUnit);
  second = ToMm(m.captured(3).toDouble(), m.captured(4));
  return true;
}
