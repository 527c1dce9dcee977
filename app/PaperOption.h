// The paper of a PDF file: the engine's paper names for --paper, the locale's default, and
// a sheet of that paper standing in for a printer while a PDF job runs without --printer.
#pragma once
#include <QSizeF>
#include <QString>
#include <memory>
#include <optional>
#include "preview/core/Vutypes.h"

class TPrinterBackend;

// A paper by its engine name, in any case ("a4", "Letter"); none for Custom or an unknown name.
std::optional<TVuPaperSize> PaperByName(const QString& name);
// The names --paper takes, for messages: "A3, A4, ...".
QString PaperNames();
// Letter in US locales, A4 elsewhere.
TVuPaperSize LocalePaper();
// The paper named by --paper when given (checked by the parser), else the locale's.
TVuPaperSize PaperOrLocale(const QString& name);

// While it lives, the process-wide printer is a blank sheet that offers every paper of the
// engine with `paper` as its own, so that a PDF file depends on no installed or default
// printer; the print service it replaced comes back afterwards.
class TPaperPrinterScope {
 public:
  explicit TPaperPrinterScope(TVuPaperSize paper);
  // A sheet of its own size (millimetres, upright), offered besides the engine's papers and
  // the device's own: label stock on paper that has no engine name.
  explicit TPaperPrinterScope(QSizeF customMillimeters);
  ~TPaperPrinterScope();
  TPaperPrinterScope(const TPaperPrinterScope&) = delete;
  TPaperPrinterScope& operator=(const TPaperPrinterScope&) = delete;

 private:
  std::unique_ptr<TPrinterBackend> FSaved;
};
