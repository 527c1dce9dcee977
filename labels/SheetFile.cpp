#include "labels/SheetFile.h"
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <optional>
#include "labels/SheetLengths.h"

ESheetFile::ESheetFile(const QString& fileName, int line, const QString& reason)
    : Exception(QStringLiteral("%1 line %2: %3").arg(fileName, QString::number(line), reason)), FLine(line) {}

namespace {
// A section being read: its sheet, the line of its header, and the keys seen so far.
struct TSection {
  TLabelSheet Sheet;
  int Line = 0;
  QSet<QString> Keys;
};

const QStringList RequiredKeys = {QStringLiteral("paper"), QStringLiteral("columns"), QStringLiteral("rows"),
                                  QStringLiteral("label"), QStringLiteral("margin"), QStringLiteral("pitch")};

QString StripComment(const QString& line) {
  const qsizetype at = line.indexOf(QRegularExpression(QStringLiteral("[;#]")));
  return (at < 0 ? line : line.left(at)).trimmed();
}

// Applies "key = value" to the sheet; the reason on refusal, else empty.
QString Apply(TLabelSheet& sheet, const QString& key, const QString& value) {
  if (key == u"paper")
    return SetSheetPaper(sheet, value) ? QString() : QStringLiteral("\"%1\" is not a paper name or \"W x H mm\"").arg(value);
  if (key == u"columns" || key == u"rows") {
    bool ok = false;
    const int n = value.toInt(&ok);
    if (!ok || n < 1 || n > 100) return QStringLiteral("%1 needs a whole number from 1 to 100").arg(key);
    (key == u"columns" ? sheet.Columns : sheet.Rows) = n;
    return {};
  }
  if (key == u"label" || key == u"margin" || key == u"pitch") {
    double a = 0, b = 0;
    if (!ParseLengthPair(value, a, b))
      return QStringLiteral("%1 needs two lengths with a unit, as \"%2\"")
          .arg(key, key == u"label" ? QStringLiteral("63.5 x 38.1 mm") : QStringLiteral("7.2, 15.15 mm"));
    if (key == u"label") {
      sheet.LabelWidth = a;
      sheet.LabelHeight = b;
    } else if (key == u"margin") {
      sheet.Left = a;
      sheet.Top = b;
    } else {
      sheet.PitchX = a;
      sheet.PitchY = b;
    }
    return {};
  }
  if (key == u"radius")
    return ParseLength(value, sheet.Radius) ? QString() : QStringLiteral("radius needs a length with a unit, as \"2 mm\"");
  if (key == u"description" || key == u"stock") {
    (key == u"stock" ? sheet.Stock : sheet.Description) = value;
    return {};
  }
  return QStringLiteral("unknown key \"%1\"").arg(key);
}

void Finish(const TSection& section, const QString& fileName, std::vector<TLabelSheet>& sheets) {
  for (const QString& key : RequiredKeys)
    if (!section.Keys.contains(key))
      throw ESheetFile(fileName, section.Line, QStringLiteral("sheet \"%1\" has no %2").arg(section.Sheet.Name, key));
  TLabelSheet sheet = section.Sheet;
  if (const QString fault = sheet.Fault(); !fault.isEmpty())
    throw ESheetFile(fileName, section.Line, QStringLiteral("sheet \"%1\": %2").arg(sheet.Name, fault));
  if (sheet.Description.isEmpty()) sheet.Description = QStringLiteral("from %1").arg(fileName);
  sheets.push_back(sheet);
}
}  // namespace

std::vector<TLabelSheet> ParseSheetFile(const QString& text, const QString& fileName) {
  static const QRegularExpression header(QStringLiteral(R"(^\[\s*([A-Za-z0-9][A-Za-z0-9._-]*)\s*\]$)"));
  static const QRegularExpression assignment(QStringLiteral(R"(^([A-Za-z]+)\s*=\s*(.*)$)"));
  std::vector<TLabelSheet> sheets;
  QSet<QString> names;
  std::optional<TSection> section;
  const QStringList lines = text.split(u'\n');
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const int lineNo = int(i + 1);
    QString line = lines[i];
    if (line.endsWith(u'\r')) line.chop(1);
    line = StripComment(line);
    if (line.isEmpty()) continue;
    if (line.startsWith(u'[')) {
      const QRegularExpressionMatch m = header.match(line);
      if (!m.hasMatch())
        throw ESheetFile(fileName, lineNo, QStringLiteral("a sheet name is letters, digits, '.', '_' and '-' in brackets"));
      if (section) Finish(*section, fileName, sheets);
      const QString name = m.captured(1);
      if (names.contains(name.toLower())) throw ESheetFile(fileName, lineNo, QStringLiteral("sheet \"%1\" is defined twice").arg(name));
      names.insert(name.toLower());
      section = TSection{};
      section->Sheet.Name = name;
      section->Line = lineNo;
      continue;
    }
    const QRegularExpressionMatch m = assignment.match(line);
    if (!m.hasMatch()) throw ESheetFile(fileName, lineNo, QStringLiteral("expected \"[name]\" or \"key = value\""));
    if (!section) throw ESheetFile(fileName, lineNo, QStringLiteral("\"%1\" comes before any [sheet]").arg(m.captured(1)));
    const QString key = m.captured(1).toLower();
    if (section->Keys.contains(key)) throw ESheetFile(fileName, lineNo, QStringLiteral("%1 is given twice").arg(key));
    if (const QString why = Apply(section->Sheet, key, m.captured(2).trimmed()); !why.isEmpty())
      throw ESheetFile(fileName, lineNo, why);
    section->Keys.insert(key);
  }
  if (section) Finish(*section, fileName, sheets);
  return sheets;
}

std::vector<TLabelSheet> ReadSheetFile(const QString& fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly))
    throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
  return ParseSheetFile(QString::fromUtf8(file.readAll()), fileName);
}
