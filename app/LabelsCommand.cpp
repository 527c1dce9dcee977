#include "app/LabelsCommand.h"
#include <QApplication>
#include <QFile>
#include <cmath>
#include <optional>
#include "app/CsvReader.h"
#include "app/PaperOption.h"
#include "app/PrintCommand.h"
#include "app/ViewerForm.h"
#include "barcode/Barcode.h"
#include "barcode/Ean13.h"
#include "labels/LabelPlan.h"
#include "labels/LabelRecorder.h"
#include "labels/LabelVerify.h"
#include "labels/SheetCatalog.h"
#include "platform/Errors.h"
#include "preview/document/Vupagelist.h"

namespace {
using enum TCommandMode;

struct TLabelOption {
  const char* Name;
  const char* Argument;  // nullptr for a flag
};
constexpr TLabelOption LabelOptions[] = {
    {"--labels", "SHEET"},     {"--batch", "FILE"},       {"--column", "N"},    {"--text-columns", "A,B"},
    {"--copies-each", "N"},    {"--start-at", "K"},       {"--magnification", "PCT"},
    {"--verify", nullptr},     {"--no-verify", nullptr},  {"--pdf", "FILE"},    {"--print", nullptr},
    {"--printer", "NAME"},     {"--save-pages", "FILE"},  {"--sheet-file", "FILE"},
    {"--help", nullptr},       {"-h", nullptr},
};
const char* const Outputs[] = {"--pdf", "--print", "--save-pages"};

// A page file has no printer yet; its labels are checked at a common laser printer's resolution.
constexpr int PageFilePpi = 600;

TCommandLine Refused(const QString& why) {
  TCommandLine r;
  r.Mode = cmUsageError;
  r.Error = why;
  return r;
}

void Print(FILE* f, const QString& text) {
  const QByteArray bytes = text.toLocal8Bit();
  std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f);
  std::fputc('\n', f);
}

bool WholeNumber(const QString& text, int low, int high) {
  bool ok = false;
  const int n = text.toInt(&ok);
  return ok && n >= low && n <= high;
}

// What a line asks for, read and checked before any label is made.
struct TLabelRun {
  TLabelRequest Request;
  std::vector<TLabelItem> Items;
  TLabelPlan Plan;
};

QList<int> TextColumns(const TCommandLine& command) {
  QList<int> columns;
  if (command.Has("--text-columns"))
    for (const QString& c : command.Value("--text-columns").split(u',')) columns << c.trimmed().toInt();
  return columns;
}

TCsvTable ReadInput(const QString& name) {
  if (name != u"-") return ReadCsvFile(name);
  QFile in;
  if (!in.open(stdin, QIODevice::ReadOnly)) throw EFOpenError(QStringLiteral("Cannot read standard input."));
  return ParseCsv(in.readAll());
}

// The records of the input as items; every refused record is named on err.
bool ReadItems(const TCommandLine& command, std::vector<TLabelItem>& items, FILE* err) {
  static const TNyBarcode barcode;
  const int column = command.Has("--column") ? command.Value("--column").toInt() : 1;
  const QList<int> textColumns = TextColumns(command);
  const TCsvTable table = ReadInput(command.Value("--batch"));
  bool ok = true;
  for (size_t r = 0; r < table.size(); ++r) {
    const QStringList& record = table[r];
    const int row = int(r + 1);
    if (record.join(QString()).trimmed().isEmpty()) continue;
    auto refuse = [&](const QString& why) {
      Print(err, QStringLiteral("row %1: %2").arg(row).arg(why));
      ok = false;
    };
    if (column > record.size()) {
      refuse(QStringLiteral("there is no column %1.").arg(column));
      continue;
    }
    const TEan13Value v = NormaliseEAN13(record[column - 1], barcode);
    if (v.Kind != TEan13Value::ekCompleted) {
      refuse(v.Kind == TEan13Value::ekRefused ? v.Message : QStringLiteral("the value cannot be completed."));
      continue;
    }
    const TEan13Modules m = encodeEAN13(v.Value);
    if (!m.Ok) {
      refuse(m.Message);
      continue;
    }
    TLabelItem item{row, v.Value, m.Modules, {}};
    for (const int c : textColumns) item.Texts << (c <= record.size() ? record[c - 1] : QString());
    items.push_back(item);
  }
  return ok;
}

// The sheet, the items and the plan; nothing on any refusal, which is on err then.
std::optional<TLabelRun> PrepareRun(const TCommandLine& command, const TSheetCatalog& catalog, FILE* err) {
  const QString name = command.Value("--labels");
  const std::optional<TLabelSheet> sheet = catalog.Find(name);
  if (!sheet) {
    Print(err, QStringLiteral("Unknown sheet \"%1\"; velean13 --labels list names the sheets.").arg(name));
    return std::nullopt;
  }
  TLabelRun run;
  run.Request.Sheet = *sheet;
  if (command.Has("--start-at")) run.Request.StartAt = command.Value("--start-at").toInt();
  if (run.Request.StartAt > sheet->Count()) {
    Print(err, QStringLiteral("--start-at %1 is beyond the %2 labels of sheet %3.")
                   .arg(run.Request.StartAt).arg(sheet->Count()).arg(sheet->Name));
    return std::nullopt;
  }
  if (command.Has("--copies-each")) run.Request.CopiesEach = command.Value("--copies-each").toInt();
  const QString magnification = command.Value("--magnification");
  if (!magnification.isEmpty() && magnification != u"fit") run.Request.Magnification = magnification.toInt() / 100.0;
  run.Request.TextLines = int(TextColumns(command).size());
  if (!ReadItems(command, run.Items, err)) {
    Print(err, QStringLiteral("Nothing was written."));
    return std::nullopt;
  }
  if (run.Items.empty()) {
    Print(err, QStringLiteral("No value to print."));
    return std::nullopt;
  }
  run.Plan = PlanLabels(run.Request, run.Items);
  for (const QString& warning : run.Plan.Warnings) Print(err, warning);
  if (!run.Plan.Problems.isEmpty()) {
    for (const QString& problem : run.Plan.Problems) Print(err, problem);
    Print(err, QStringLiteral("Nothing was written."));
    return std::nullopt;
  }
  return run;
}

bool Verifies(const TCommandLine& command) {
  return command.Has("--verify") || (command.Has("--print") && !command.Has("--no-verify"));
}

// The labels read back at ppi; false (the faults on err) when any does not read as its value.
bool Verify(TVuPageList& document, const TLabelRun& run, const std::vector<TPlacedLabel>& placed, int ppi, FILE* err) {
  const QStringList faults = VerifyLabels(document, run.Request.Sheet, placed, run.Items, ppi);
  for (const QString& fault : faults) Print(err, fault);
  if (!faults.isEmpty()) Print(err, QStringLiteral("Labels that do not read back: %1 of %2; nothing was printed.").arg(faults.size()).arg(placed.size()));
  return faults.isEmpty();
}

// Selects the job's printer as the print job will, so that the check draws at its resolution.
int PrinterPpi(TVuPageList& document, const QString& printerName) {
  TVuPrinter& printer = document.VuPrinter();
  SelectJobPrinter(printer, printerName);
  return printer.PrinterInfo()->PpiX();
}

// Labels are placed from the paper's corner: on any other paper than the sheet's they land
// in the wrong places, so a printer that cannot take the sheet's paper is refused. A paper
// of its own (not one of the engine's) is left to the device, and must be what it has.
void CheckPaper(TVuPageList& document, const TLabelSheet& sheet, const QString& printerName) {
  TVuPrinter& printer = document.VuPrinter();
  printer.SetOrientation(vuPortrait);
  printer.SetVuPaperSize(sheet.Paper);
  const TVuSize paper = printer.GetPaperDimensions(vuMillimeters);
  if (std::abs(double(paper.Width) - sheet.PaperWidth) <= 1 && std::abs(double(paper.Height) - sheet.PaperHeight) <= 1)
    return;
  const QString name = printerName.isEmpty() ? QStringLiteral("The default printer") : QStringLiteral("Printer \"%1\"").arg(printerName);
  throw EPrinter(QStringLiteral("%1 has no %2 paper (it gives %3 x %4 mm); the labels of sheet %5 would land in the "
                                "wrong places. Nothing was printed.")
                     .arg(name, sheet.PaperText(), QString::number(double(paper.Width), 'f', 1),
                          QString::number(double(paper.Height), 'f', 1), sheet.Name));
}
}  // namespace

TCommandLine ParseLabelsLine(const QStringList& args) {
  TCommandLine r;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    const TLabelOption* option = nullptr;
    for (const TLabelOption& o : LabelOptions)
      if (arg == QLatin1String(o.Name)) option = &o;
    if (!option)
      return Refused(arg.startsWith(u'-') ? QStringLiteral("%1 does not go with --labels.").arg(arg)
                                          : QStringLiteral("Unexpected argument \"%1\".").arg(arg));
    QString value;
    if (option->Argument) {
      if (i + 1 >= args.size() || args[i + 1].isEmpty() || (args[i + 1].startsWith(QLatin1String("--"))))
        return Refused(QStringLiteral("%1 needs %2.").arg(arg, QLatin1String(option->Argument)));
      value = args[++i];
    }
    if (r.Options.contains(arg)) return Refused(QStringLiteral("%1 is given twice.").arg(arg));
    r.Options.insert(arg, value);
  }
  if (r.Has("--help") || r.Has("-h")) {
    r.Mode = cmHelp;
    return r;
  }
  if (r.Value("--labels") == u"list") {
    for (const QString& key : r.Options.keys())
      if (key != u"--labels" && key != u"--sheet-file") return Refused(QStringLiteral("--labels list takes only --sheet-file."));
    r.Mode = cmLabels;
    return r;
  }
  if (!r.Has("--batch")) return Refused(QStringLiteral("--labels SHEET needs --batch FILE."));
  QStringList outputs;
  for (const char* o : Outputs)
    if (r.Has(o)) outputs << QLatin1String(o);
  if (outputs.size() > 1) return Refused(QStringLiteral("%1 and %2 cannot be used together.").arg(outputs[0], outputs[1]));
  if (r.Has("--printer") && !r.Has("--print") && !r.Has("--pdf"))
    return Refused(QStringLiteral("--printer goes with --print or --pdf."));
  if (r.Has("--verify") && r.Has("--no-verify")) return Refused(QStringLiteral("--verify and --no-verify cannot be used together."));
  if ((r.Has("--verify") || r.Has("--no-verify")) && outputs.isEmpty())
    return Refused(QStringLiteral("--verify goes with --pdf, --print or --save-pages."));
  if (r.Has("--column") && !WholeNumber(r.Value("--column"), 1, 1000)) return Refused(QStringLiteral("--column needs a number from 1."));
  if (r.Has("--text-columns"))
    for (const QString& c : r.Value("--text-columns").split(u','))
      if (!WholeNumber(c.trimmed(), 1, 1000)) return Refused(QStringLiteral("--text-columns needs column numbers from 1, as 2,3."));
  if (r.Has("--copies-each") && !WholeNumber(r.Value("--copies-each"), 1, 999))
    return Refused(QStringLiteral("--copies-each needs a number from 1 to 999."));
  if (r.Has("--start-at") && !WholeNumber(r.Value("--start-at"), 1, 10000))
    return Refused(QStringLiteral("--start-at needs a label number from 1."));
  if (r.Has("--magnification") && r.Value("--magnification") != u"fit" &&
      !WholeNumber(r.Value("--magnification").remove(u'%'), 80, 200))
    return Refused(QStringLiteral("--magnification needs a percentage from 80 to 200 (GS1's range) or fit."));
  if (r.Has("--magnification")) r.Options[QStringLiteral("--magnification")].remove(u'%');
  r.Mode = outputs.isEmpty() ? cmLabelsView : cmLabels;
  return r;
}

int RunLabelsCommand(const TCommandLine& command, FILE* out, FILE* err) {
  try {
    const TSheetCatalog catalog(command.Value("--sheet-file"));
    if (command.Value("--labels") == u"list") {
      const QByteArray text = catalog.ListText().toLocal8Bit();
      std::fwrite(text.constData(), 1, size_t(text.size()), out);
      return 0;
    }
    std::optional<TLabelRun> run = PrepareRun(command, catalog, err);
    if (!run) return 1;
    // A PDF file without --printer is drawn on the sheet's own paper, whatever is installed.
    std::optional<TPaperPrinterScope> paper;
    if (command.Has("--pdf") && !command.Has("--printer")) {
      const TLabelSheet& sheet = run->Request.Sheet;
      if (sheet.Paper == Custom) paper.emplace(QSizeF(sheet.PaperWidth, sheet.PaperHeight));
      else paper.emplace(sheet.Paper);
    }
    TVuPageList document;
    SetUpLabelDocument(document, run->Request.Sheet);
    const std::vector<TPlacedLabel> placed = RecordLabels(document, run->Request, run->Plan, run->Items);
    int jobId = 0;
    if (command.Has("--save-pages")) {
      if (Verifies(command) && !Verify(document, *run, placed, PageFilePpi, err)) return 1;
      document.SaveToFile(command.Value("--save-pages"));
    } else {
      TBarcodePrintJob job;
      job.PrinterName = command.Value("--printer");
      job.PdfFile = command.Value("--pdf");
      const int ppi = PrinterPpi(document, job.PrinterName);
      CheckPaper(document, run->Request.Sheet, job.PrinterName);
      if (Verifies(command) && !Verify(document, *run, placed, ppi, err)) return 1;
      jobId = PrintBarcodeDocument(document, job);
    }
    if (command.Has("--print")) Print(out, QString::number(jobId));
    Print(out, QStringLiteral("%1 labels, %2 sheets").arg(placed.size()).arg(document.Count()));
    return 0;
  } catch (const Exception& error) {
    Print(err, error.Message());
    return 1;
  }
}

int RunLabelsViewer(const TCommandLine& command, FILE* err) {
  TViewerForm form;
  try {
    const TSheetCatalog catalog(command.Value("--sheet-file"));
    std::optional<TLabelRun> run = PrepareRun(command, catalog, err);
    if (!run) return 1;
    TVuPageList& document = form.VuPreview1->PageList();
    SetUpLabelDocument(document, run->Request.Sheet);
    RecordLabels(document, run->Request, run->Plan, run->Items);
    form.SetDocumentName(command.Value("--batch"));
    form.DocumentLoaded();
  } catch (const Exception& error) {
    Print(err, error.Message());
    return 1;
  }
  form.show();
  form.activateWindow();
  return QApplication::exec();
}
