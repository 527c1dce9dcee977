// The name=value lists of page files and the value encodings: integers and booleans in
// decimal, extended values with three decimals, points and rectangles in thousandths of an
// inch, always with a full stop and never through the locale.
#include <cmath>
#include "platform/Errors.h"
#include "preview/core/Vustream.h"

namespace {

// Lists up to this length are searched line by line; longer ones (poly objects with many
// points) through a hash of the names.
constexpr int kIndexedFrom = 16;

const QString kEscapedSuffix = QStringLiteral("~");

[[noreturn]] void RaiseFloatError(const QString& text) {
  throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

// round(v x 1000), halves to even, kept inside the range that reads back.
int64_t Thousandths(Extended v) {
  constexpr Extended limit = 4.0e18L;
  const Extended t = v * 1000;
  if (std::isnan(t)) return 0;
  if (t >= limit) return int64_t(limit);
  if (t <= -limit) return -int64_t(limit);
  return llrintl(t);
}

QString JoinThousandths(std::initializer_list<Extended> values) {
  QString s;
  for (Extended v : values) {
    if (!s.isEmpty()) s += QLatin1Char(',');
    s += QString::number(Thousandths(v));
  }
  return s;
}

// The comma-separated parts of a point or rectangle value, each / 1000.
std::vector<Extended> SplitThousandths(const QString& text, size_t count) {
  const QStringList parts = text.split(QLatin1Char(','));
  if (size_t(parts.size()) != count) RaiseConvertError(text);
  std::vector<Extended> values;
  values.reserve(count);
  for (const QString& part : parts) values.push_back(Extended(VuStrToInt64(part.trimmed())) / 1000);
  return values;
}

QString EscapeBreaks(const QString& value) {
  QString s;
  s.reserve(value.size() + 8);
  for (QChar c : value) {
    if (c == QLatin1Char('\\')) s += QStringLiteral("\\\\");
    else if (c == QLatin1Char('\r')) s += QStringLiteral("\\r");
    else if (c == QLatin1Char('\n')) s += QStringLiteral("\\n");
    else s += c;
  }
  return s;
}

QString UnescapeBreaks(const QString& text) {
  QString s;
  s.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c != QLatin1Char('\\') || i + 1 == text.size()) {
      s += c;
      continue;
    }
    const QChar e = text[++i];
    if (e == QLatin1Char('r')) s += QLatin1Char('\r');
    else if (e == QLatin1Char('n')) s += QLatin1Char('\n');
    else s += e;
  }
  return s;
}

bool HasBreak(const QString& value) {
  return value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r'));
}

}  // namespace

int64_t VuStrToInt64(const QString& text) {
  const qsizetype n = text.size();
  qsizetype i = 0;
  bool negative = false;
  if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) negative = text[i++] == QLatin1Char('-');
  if (i == n) RaiseConvertError(text);
  uint64_t magnitude = 0;
  for (; i < n; ++i) {
    const char16_t c = text[i].unicode();
    if (c < u'0' || c > u'9') RaiseConvertError(text);
    if (magnitude > (uint64_t(INT64_MAX) + 1 - (c - u'0')) / 10) RaiseConvertError(text);
    magnitude = magnitude * 10 + (c - u'0');
  }
  if (!negative && magnitude > uint64_t(INT64_MAX)) RaiseConvertError(text);
  return negative ? int64_t(0 - magnitude) : int64_t(magnitude);
}

Extended VuStrToExt(const QString& text) {
  const qsizetype n = text.size();
  qsizetype i = 0;
  bool negative = false;
  if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) negative = text[i++] == QLatin1Char('-');
  // All digits as one integer over a power of ten: one correctly rounded division, so "2.960"
  // reads as exactly the nearest extended value to 2.96.
  uint64_t digits = 0;
  int decimals = 0, kept = 0, dropped = 0;  // dropped: integer digits beyond the 19 kept
  bool dot = false, any = false;
  for (; i < n; ++i) {
    const char16_t c = text[i].unicode();
    if (c == u'.' && !dot) {
      dot = true;
      continue;
    }
    if (c < u'0' || c > u'9') RaiseFloatError(text);
    any = true;
    if (kept < 19) {
      digits = digits * 10 + (c - u'0');
      ++kept;
      if (dot) ++decimals;
    } else if (!dot) {
      ++dropped;
    }
  }
  if (!any) RaiseFloatError(text);
  Extended value = Extended(digits);
  if (dropped > 0) value *= powl(10.0L, Extended(dropped));
  if (decimals > 0) value /= powl(10.0L, Extended(decimals));
  if (!std::isfinite(value)) RaiseFloatError(text);
  return negative ? -value : value;
}

QString VuExtToStr(Extended value) {
  if (!std::isfinite(value) || fabsl(value) >= 1.0e15L) return QString::number(double(value), 'f', 3);
  const int64_t t = llrintl(value * 1000);
  const uint64_t m = t < 0 ? uint64_t(0) - uint64_t(t) : uint64_t(t);
  QString s = QString::number(m / 1000) + QLatin1Char('.') + QStringLiteral("%1").arg(m % 1000, 3, 10, QLatin1Char('0'));
  return t < 0 ? QLatin1Char('-') + s : s;
}

int VuIntIn(const TVuFieldValue& v, int lo, int hi, const char* what) {
  const int64_t i = VuInt(v);
  if (i < lo || i > hi)
    throw EConvertError(QStringLiteral("%1 is not a valid %2").arg(i).arg(QString::fromLatin1(what)));
  return int(i);
}

// ---- the list ---------------------------------------------------------------------------

void TVuValueList::Clear() {
  FLines.clear();
  FIndex.clear();
  FIndexValid = false;
}

void TVuValueList::AddLine(const QString& line) {
  const qsizetype eq = line.indexOf(QLatin1Char('='));
  if (eq < 0) FLines.push_back({QString(), line, false});
  else FLines.push_back({line.left(eq), line.mid(eq + 1), true});
  FIndexValid = false;
}

QString TVuValueList::Line(int index) const {
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
  const TLine& l = FLines[size_t(index)];
  return l.Named ? l.Name + QLatin1Char('=') + l.Value : l.Value;
}

void TVuValueList::Reindex() const {
  FIndex.clear();
  for (int i = 0; i < Count(); ++i) {
    const TLine& l = FLines[size_t(i)];
    if (l.Named && !FIndex.contains(l.Name.toLower())) FIndex.insert(l.Name.toLower(), i);
  }
  FIndexValid = true;
}

int TVuValueList::IndexOfName(const QString& name) const {
  if (Count() < kIndexedFrom) {
    for (int i = 0; i < Count(); ++i) {
      const TLine& l = FLines[size_t(i)];
      if (l.Named && l.Name.compare(name, Qt::CaseInsensitive) == 0) return i;
    }
    return -1;
  }
  if (!FIndexValid) Reindex();
  auto it = FIndex.constFind(name.toLower());
  return it == FIndex.cend() ? -1 : it.value();
}

QString TVuValueList::Value(const QString& name, const QString& fallback) const {
  const int i = IndexOfName(name);
  return i < 0 ? fallback : FLines[size_t(i)].Value;
}

void TVuValueList::SetValue(const QString& name, const QString& value) {
  const int i = IndexOfName(name);
  if (value.isEmpty()) {
    if (i >= 0) {
      FLines.erase(FLines.begin() + i);
      FIndexValid = false;
    }
    return;
  }
  if (i >= 0) {
    FLines[size_t(i)].Value = value;
    return;
  }
  FLines.push_back({name, value, true});
  if (FIndexValid) FIndex.insert(name.toLower(), Count() - 1);  // a new name: not in the index yet
}

void TVuValueList::WriteIntValue(const QString& name, int64_t value) { SetValue(name, QString::number(value)); }

int64_t TVuValueList::ReadIntValue(const QString& name, int64_t fallback) const {
  const int i = IndexOfName(name);
  return i < 0 ? fallback : VuStrToInt64(FLines[size_t(i)].Value);
}

void TVuValueList::WriteBoolValue(const QString& name, bool value) {
  SetValue(name, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool TVuValueList::ReadBoolValue(const QString& name, bool fallback) const {
  const int i = IndexOfName(name);
  return i < 0 ? fallback : (uint64_t(VuStrToInt64(FLines[size_t(i)].Value)) & 0xFF) != 0;
}

void TVuValueList::WriteExtValue(const QString& name, Extended value) { SetValue(name, VuExtToStr(value)); }

Extended TVuValueList::ReadExtValue(const QString& name, Extended fallback) const {
  const int i = IndexOfName(name);
  return i < 0 ? fallback : VuStrToExt(FLines[size_t(i)].Value);
}

void TVuValueList::WriteStringValue(const QString& name, const QString& value) {
  const QString escapedName = name + kEscapedSuffix;
  if (!HasBreak(value)) {
    SetValue(name, value);
    SetValue(escapedName, QString());
    return;
  }
  const qsizetype cr = value.indexOf(QLatin1Char('\r')), lf = value.indexOf(QLatin1Char('\n'));
  const qsizetype cut = cr < 0 ? lf : lf < 0 ? cr : std::min(cr, lf);
  SetValue(name, value.left(cut));
  SetValue(escapedName, EscapeBreaks(value));
}

QString TVuValueList::ReadStringValue(const QString& name, const QString& fallback) const {
  const int e = IndexOfName(name + kEscapedSuffix);
  if (e >= 0) return UnescapeBreaks(FLines[size_t(e)].Value);
  return Value(name, fallback);
}

void TVuValueList::WriteVuPointValue(const QString& name, const TVuPoint& value) {
  SetValue(name, JoinThousandths({value.X, value.Y}));
}

TVuPoint TVuValueList::ReadVuPointValue(const QString& name, const TVuPoint& fallback) const {
  const int i = IndexOfName(name);
  if (i < 0) return fallback;
  const std::vector<Extended> v = SplitThousandths(FLines[size_t(i)].Value, 2);
  return {v[0], v[1]};
}

void TVuValueList::WriteVuRectValue(const QString& name, const TVuRect& value) {
  SetValue(name, JoinThousandths({value.Left, value.Top, value.Right, value.Bottom}));
}

TVuRect TVuValueList::ReadVuRectValue(const QString& name, const TVuRect& fallback) const {
  const int i = IndexOfName(name);
  if (i < 0) return fallback;
  const QString& text = FLines[size_t(i)].Value;
  if (text.isEmpty()) return {};
  const std::vector<Extended> v = SplitThousandths(text, 4);
  return {v[0], v[1], v[2], v[3]};
}

void TVuValueList::WritePointValue(const QString& name, const TPoint& value) {
  WriteVuPointValue(name, {Extended(value.X), Extended(value.Y)});
}

TPoint TVuValueList::ReadPointValue(const QString& name, const TPoint& fallback) const {
  if (!HasName(name)) return fallback;
  const TVuPoint p = ReadVuPointValue(name, {});
  const Extended limit = 2147483647.0L;
  if (fabsl(p.X) > limit || fabsl(p.Y) > limit) RaiseConvertError(Value(name));
  return {int(lrintl(p.X)), int(lrintl(p.Y))};
}

void TVuValueList::SaveToStream(TVuWriter& writer) const {
  std::vector<QByteArray> lines;
  lines.reserve(FLines.size());
  for (const TLine& l : FLines) lines.push_back(l.Named ? (l.Name + QLatin1Char('=') + l.Value).toUtf8() : l.Value.toUtf8());
  writer.WriteStringList(lines);
}

void TVuValueList::LoadFromStream(TVuReader& reader) {
  const std::vector<QByteArray> lines = reader.ReadStringList();
  Clear();
  FLines.reserve(lines.size());
  for (const QByteArray& line : lines) AddLine(QString::fromUtf8(line));
}

void TVuValueList::SaveToStream(QIODevice& stream) const {
  TVuWriter writer(stream);
  SaveToStream(writer);
}

void TVuValueList::LoadFromStream(QIODevice& stream) {
  TVuReader reader(stream);
  LoadFromStream(reader);
}

// ---- field values -----------------------------------------------------------------------

void WriteFieldValue(TVuValueList& list, const QString& name, const TVuFieldValue& value) {
  switch (value.index()) {
    case 0: list.WriteIntValue(name, std::get<int64_t>(value)); break;
    case 1: list.WriteBoolValue(name, std::get<bool>(value)); break;
    case 2: list.WriteExtValue(name, std::get<Extended>(value)); break;
    case 3: list.WriteStringValue(name, std::get<QString>(value)); break;
    case 4: list.WriteVuPointValue(name, std::get<TVuPoint>(value)); break;
    case 5: list.WriteVuRectValue(name, std::get<TVuRect>(value)); break;
    case 6: list.WritePointValue(name, std::get<TPoint>(value)); break;
  }
}

TVuFieldValue ReadFieldValue(const TVuValueList& list, const QString& name, const TVuFieldValue& fallback) {
  switch (fallback.index()) {
    case 0: return list.ReadIntValue(name, std::get<int64_t>(fallback));
    case 1: return list.ReadBoolValue(name, std::get<bool>(fallback));
    case 2: return list.ReadExtValue(name, std::get<Extended>(fallback));
    case 3: return list.ReadStringValue(name, std::get<QString>(fallback));
    case 4: return list.ReadVuPointValue(name, std::get<TVuPoint>(fallback));
    case 5: return list.ReadVuRectValue(name, std::get<TVuRect>(fallback));
    default: return list.ReadPointValue(name, std::get<TPoint>(fallback));
  }
}
