#include "app/LabelsCommand.h"
#include <QApplication>
#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include "app/LabelSource.h"
#include "app/PaperOption.h"
#include "app/PrintCommand.h"
#include "app/SymbologyText.h"
#include "app/ViewerForm.h"
#include "labels/LabelPlan.h"
#include "labels/LabelRecorder.h"
#include "labels/LabelVerify.h"
#include "labels/SheetCatalog.h"
#include "labels/SymbolRules.h"
#include "platform/Errors.h"
#include "preview/document/VupageFileWriter.h"
#include "preview/document/VupageStream.h"
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
    {"--symbology", "NAME"},   {"--outside-gs1", nullptr},
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

QList<int> TextColumns(const TCommandLine& command) {
  QList<int> columns;
  if (command.Has("--text-columns"))
    for (const QString& c : command.Value("--text-columns").split(u',')) columns << c.trimmed().toInt();
  return columns;
}

TBarcodeType Symbology(const TCommandLine& command) {
  return command.Has("--symbology") ? FindSymbology(command.Value("--symbology")).value_or(bcCodeEAN13) : bcCodeEAN13;
}

// What a line asks for, read and checked before any label is made: the list is gone through
// once for the values and once for the texts, so that a run that cannot be printed whole
// records nothing; it is gone through a third time when the labels are recorded.
struct TLabelRun {
  TLabelRequest Request;
  std::optional<TLabelSource> Source;
  TLabelPlan Plan;
};

// Every record of the list as an item: the widest symbol's width in X, or nothing when any
// was refused (named on err) or none is there.
std::optional<double> CheckValues(TLabelSource& source, FILE* err) {
  TLabelItem item;
  QString refusal;
  int items = 0;
  double widest = 0;
  bool ok = true;
  while (source.Next(item, refusal)) {
    if (refusal.isEmpty()) {
      ++items;
      widest = std::max(widest, item.Width);
      continue;
    }
    Print(err, QStringLiteral("row %1: %2").arg(item.Row).arg(refusal));
    ok = false;
  }
  if (!ok) Print(err, QStringLiteral("Nothing was written."));
  else if (items == 0) Print(err, QStringLiteral("No value to print."));
  if (!ok || items == 0) return std::nullopt;
  return widest;
}

// Fits every item's texts; the tallest block, or nothing when a text does not fit (named on err).
std::optional<double> CheckTexts(TLabelRun& run, FILE* err) {
  TLabelItem item;
  QString refusal, problem;
  double tallest = 0;
  bool ok = true;
  run.Source->Rewind();
  while (run.Source->Next(item, refusal)) {
    const std::optional<TTextBlock> block = FitLabelTexts(run.Request, run.Plan, item, problem);
    if (block) tallest = std::max(tallest, block->Height());
    else Print(err, problem), ok = false;
  }
  if (!ok) return std::nullopt;
  return tallest;
}

// The sheet, the list and the plan; nothing on any refusal, which is on err then.
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
  const int column = command.Has("--column") ? command.Value("--column").toInt() : 1;
  run.Request.Symbology = Symbology(command);
  run.Request.OutsideRange = command.Has("--outside-gs1");
  run.Source.emplace(command.Value("--batch"), column, TextColumns(command), run.Request.Symbology);
  std::optional<double> widest = CheckValues(*run.Source, err);
  if (!widest) return std::nullopt;
  run.Request.Modules = *widest;
  run.Plan = PlanLabels(run.Request);
  for (const QString& warning : run.Plan.Warnings) Print(err, warning);
  std::optional<double> tallest;
  if (run.Plan.Problems.isEmpty()) tallest = CheckTexts(run, err);
  for (const QString& problem : run.Plan.Problems) Print(err, problem);
  if (!tallest) {
    Print(err, QStringLiteral("Nothing was written."));
    return std::nullopt;
  }
  PlaceLabelGroup(run.Plan, *tallest);
  return run;
}

// --verify, or --print without --no-verify; a symbology the decoder cannot read is printed
// without the check, and the run says so.
bool Verifies(const TCommandLine& command, FILE* err) {
  if (!command.Has("--verify") && (!command.Has("--print") || command.Has("--no-verify"))) return false;
  const QString cannot = ZbarCannotRead(SymbolRules(Symbology(command)));
  if (cannot.isEmpty()) return true;
  Print(err, QStringLiteral("The labels are printed without the read-back check: %1.").arg(cannot));
  return false;
}

// The line that ends a run stopped by labels that do not read back.
QString UnreadLabels(qsizetype faults, int labels) {
  return QStringLiteral("Labels that do not read back: %1 of %2; nothing was printed.").arg(faults).arg(labels);
}

// Every label of the list recorded, a sheet at a time, by the recorder.
void RecordRun(TLabelRun& run, TLabelSheetRecorder& recorder) {
  TLabelItem item;
  QString refusal, problem;
  run.Source->Rewind();
  while (run.Source->Next(item, refusal)) recorder.Add(item, *FitLabelTexts(run.Request, run.Plan, item, problem));
  recorder.Finish();
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
  const bool outside = r.Has("--outside-gs1");
  if (r.Has("--magnification") && r.Value("--magnification") != u"fit" &&
      !WholeNumber(r.Value("--magnification").remove(u'%'), outside ? 50 : 80, 200))
    return Refused(outside ? QStringLiteral("--magnification needs a percentage from 50 to 200 or fit.")
                           : QStringLiteral("--magnification needs a percentage from 80 to 200 (GS1's range) or fit."));
  if (r.Has("--symbology")) {
    const std::optional<TBarcodeType> typ = FindSymbology(r.Value("--symbology"));
    if (!typ)
      return Refused(QStringLiteral("Unknown symbology \"%1\"; velean13 --symbology help lists them.").arg(r.Value("--symbology")));
    const QString cannot = ZbarCannotRead(SymbolRules(*typ));
    if (r.Has("--verify") && !cannot.isEmpty())
      return Refused(QStringLiteral("--verify cannot check these labels: %1.").arg(cannot));
  }
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
    const bool verify = Verifies(command, err);
    const int zbar = SymbolRules(run->Request.Symbology).Zbar;
    // Every sheet is read back, when asked, before the next one is asked for and so before the
    // job or the page file takes it. After a label that does not read, the job gets nothing
    // more: the rest is still checked, on a page of its own, so that every bad row is named,
    // and the job is then abandoned (no file is put in place, nothing is spooled).
    QStringList faults;
    int ppi = PageFilePpi;
    std::function<TVuPage*()> next;
    std::optional<TVuPageFileWriter> writer;
    std::optional<TVuPageStreamJob> job;
    TBarcodePrintJob print;
    if (command.Has("--save-pages")) {
      writer.emplace(document, command.Value("--save-pages"), 1);
      next = [&] { return writer->NewPage(); };
    } else {
      print.PrinterName = command.Value("--printer");
      print.PdfFile = command.Value("--pdf");
      SetUpBarcodePrinter(document, print);
      ppi = document.VuPrinter().PrinterInfo()->PpiX();
      CheckPaper(document, run->Request.Sheet, print.PrinterName);
      job.emplace(document, print.PdfFile);
      job->KeepResources();
      next = [&] { return job->NewPage(); };
    }
    int labels = 0;
    TLabelSheetRecorder recorder(
        document, run->Request, run->Plan,
        [&]() -> TVuPage* {
          if (faults.isEmpty()) return next();
          document.ClearPages(true, false);
          return document.AddPage();
        },
        [&](const std::vector<TPlacedLabel>& sheet) {
          labels += int(sheet.size());
          if (!verify) return;
          const QStringList found = VerifySheet(*document.Page(document.Count()), run->Request.Sheet, sheet, ppi, zbar);
          for (const QString& fault : found) Print(err, fault);
          faults += found;
        });
    RecordRun(*run, recorder);
    if (!faults.isEmpty()) {
      Print(err, UnreadLabels(faults.size(), labels));
      return 1;
    }
    int jobId = 0;
    if (writer) {
      writer->Finish();
    } else {
      job->Finish();
      jobId = job->JobId();
    }
    if (command.Has("--print")) Print(out, QString::number(jobId));
    Print(out, QStringLiteral("%1 labels, %2 sheets").arg(recorder.Labels()).arg(recorder.Sheets()));
    return 0;
  } catch (const Exception& error) {
    Print(err, error.Message());
    return 1;
  }
}

bool LoadLabelsViewer(TViewerForm& form, const TCommandLine& command, FILE* err) {
  // The run and the labels of each sheet stay with the window's print check.
  struct TViewerLabels {
    TLabelRun Run;
    std::vector<std::vector<TPlacedLabel>> Sheets;
  };
  auto labels = std::make_shared<TViewerLabels>();
  try {
    const TSheetCatalog catalog(command.Value("--sheet-file"));
    std::optional<TLabelRun> run = PrepareRun(command, catalog, err);
    if (!run) return false;
    labels->Run = std::move(*run);
    TVuPageList& document = form.VuPreview1->PageList();
    SetUpLabelDocument(document, labels->Run.Request.Sheet);
    // The window shows every sheet: the document keeps them all.
    document.BeginUpdate();
    TLabelSheetRecorder recorder(
        document, labels->Run.Request, labels->Run.Plan, [&] { return document.AddPage(); },
        [&](const std::vector<TPlacedLabel>& sheet) { labels->Sheets.push_back(sheet); });
    RecordRun(labels->Run, recorder);
    document.EndUpdate();
    form.SetDocumentName(command.Value("--batch"));
    form.DocumentLoaded();
  } catch (const Exception& error) {
    Print(err, error.Message());
    return false;
  }
  // Print in the window takes the same checks as --print: the sheet's paper, and every label
  // of the sheets to print read back at the printer's resolution.
  form.CheckBeforePrint = [&form, labels](int fromPage, int toPage) -> QString {
    TVuPageList& document = form.VuPreview1->PageList();
    const TLabelSheet& sheet = labels->Run.Request.Sheet;
    TVuPrinter& printer = document.VuPrinter();
    const QStringList names = printer.Printers();
    const int index = printer.GetPrinterIndex();
    try {
      CheckPaper(document, sheet, index >= 0 && index < names.size() ? names[index] : QString());
    } catch (const Exception& error) {
      return error.Message();
    }
    const TSymbolRules& rules = SymbolRules(labels->Run.Request.Symbology);
    if (!ZbarCannotRead(rules).isEmpty()) return QString();
    const int ppi = printer.PrinterInfo()->PpiX();
    QStringList faults;
    int checked = 0;
    for (int page = std::max(fromPage, 1); page <= std::min(toPage, int(labels->Sheets.size())); ++page) {
      const std::vector<TPlacedLabel>& placed = labels->Sheets[size_t(page - 1)];
      faults += VerifySheet(*document.Page(page), sheet, placed, ppi, rules.Zbar);
      checked += int(placed.size());
    }
    if (faults.isEmpty()) return QString();
    return UnreadLabels(faults.size(), checked) + u'\n' + faults.mid(0, 10).join(u'\n');
  };
  return true;
}

int RunLabelsViewer(const TCommandLine& command, FILE* err) {
  TViewerForm form;
  if (!LoadLabelsViewer(form, command, err)) return 1;
  form.show();
  form.activateWindow();
  return QApplication::exec();
}
