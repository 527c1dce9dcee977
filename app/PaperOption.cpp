#include "app/PaperOption.h"
#include <QStringList>
#include "platform/PaperPrinterBackend.h"
#include "platform/Printers.h"
#include "preview/core/Vufuncs.h"
#include "preview/printer/Vuprinter.h"

namespace {
// The resolution of a PDF sheet: that of the cups-pdf queue, so that a page comes out of
// --pdf as it comes out of that printer.
constexpr int SheetResolution = 300;
}  // namespace

std::optional<TVuPaperSize> PaperByName(const QString& name) {
  for (int i = 0; i < VuPaperSizeCount; ++i) {
    const auto paper = TVuPaperSize(i);
    if (paper != Custom && name.compare(PaperSizeToStr(paper), Qt::CaseInsensitive) == 0) return paper;
  }
  return std::nullopt;
}

QString PaperNames() {
  QStringList names;
  for (int i = 0; i < VuPaperSizeCount; ++i)
    if (TVuPaperSize(i) != Custom) names << PaperSizeToStr(TVuPaperSize(i));
  return names.join(QStringLiteral(", "));
}

TVuPaperSize LocalePaper() { return LocaleUsesLetter() ? Letter : A4; }

TVuPaperSize PaperOrLocale(const QString& name) {
  if (name.isEmpty()) return LocalePaper();
  return PaperByName(name).value_or(LocalePaper());
}

namespace {
// Every paper of the engine that has a device paper code.
QList<TPaperSheet> EngineSheets() {
  QList<TPaperSheet> sheets;
  for (int i = 0; i < VuPaperSizeCount; ++i) {
    const auto p = TVuPaperSize(i);
    const int code = AsDmPaperSize(p);
    if (p == Custom || code < 0) continue;
    const TVuSize inches = GetPaperSizeInch(p);
    sheets.append({PaperSizeToStr(p), code, QSizeF(double(inches.Width * 25.4L), double(inches.Height * 25.4L))});
  }
  return sheets;
}
}  // namespace

TPaperPrinterScope::TPaperPrinterScope(TVuPaperSize paper) {
  FSaved = Printer().SetBackend(std::make_unique<TPaperPrinterBackend>(EngineSheets(), AsDmPaperSize(paper), SheetResolution));
}

TPaperPrinterScope::TPaperPrinterScope(QSizeF customMillimeters) {
  QList<TPaperSheet> sheets = EngineSheets();
  sheets.append({QStringLiteral("Custom"), DMPAPER_USER, customMillimeters});
  FSaved = Printer().SetBackend(std::make_unique<TPaperPrinterBackend>(std::move(sheets), DMPAPER_USER, SheetResolution));
}

TPaperPrinterScope::~TPaperPrinterScope() { Printer().SetBackend(std::move(FSaved)); }
