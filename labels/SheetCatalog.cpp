#include "labels/SheetCatalog.h"
#include <QDir>
#include "labels/BuiltinSheets.h"
#include "labels/SheetFile.h"

QString UserSheetFolder() {
  QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.config");
  return base + QStringLiteral("/velean13/sheets");
}

TSheetCatalog::TSheetCatalog(const QString& extraFile, const QString& userFolder) {
  for (const TLabelSheet& s : BuiltinLabelSheets()) Add(s);
  if (!userFolder.isEmpty()) {
    const QDir dir(userFolder);
    for (const QString& name : dir.entryList({QStringLiteral("*.sheet")}, QDir::Files | QDir::Readable, QDir::Name))
      for (const TLabelSheet& s : ReadSheetFile(dir.filePath(name))) Add(s);
  }
  if (!extraFile.isEmpty())
    for (const TLabelSheet& s : ReadSheetFile(extraFile)) Add(s);
}

void TSheetCatalog::Add(const TLabelSheet& sheet) {
  for (TLabelSheet& s : FSheets)
    if (s.Name.compare(sheet.Name, Qt::CaseInsensitive) == 0) {
      // A corrected geometry still answers to the stock number of the sheet it corrects.
      const QString stock = s.Stock;
      s = sheet;
      if (s.Stock.isEmpty()) s.Stock = stock;
      return;
    }
  FSheets.push_back(sheet);
}

std::optional<TLabelSheet> TSheetCatalog::Find(const QString& name) const {
  for (const TLabelSheet& s : FSheets)
    if (s.Name.compare(name, Qt::CaseInsensitive) == 0) return s;
  for (const TLabelSheet& s : FSheets)
    if (!s.Stock.isEmpty() && s.Stock.compare(name, Qt::CaseInsensitive) == 0) return s;
  return std::nullopt;
}

QString TSheetCatalog::ListText() const {
  QString text;
  for (const TLabelSheet& s : FSheets)
    text += QStringList{s.Name, s.PaperText(), s.GridText(), s.LabelText(), s.Description}.join(u'\t') + u'\n';
  return text;
}
