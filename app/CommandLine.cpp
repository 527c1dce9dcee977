#include "app/CommandLine.h"
#include <QDir>
#include <QFile>
#include <QHash>
#include <QTextStream>
#include <algorithm>
#include <exception>
#include <optional>
#include <string>
#include "app/GridPdfCommand.h"
#include "app/HeadlessServices.h"
#include "app/LabelsCommand.h"
#include "app/OutputFile.h"
#include "app/PaperOption.h"
#include "app/PrintCommand.h"
#include "barcode/Barcode.h"
#include "barcode/Ean13.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Printers.h"
#include "platform/SysUtils.h"
#include "preview/document/Vupagelist.h"
#include "preview/document/VupageFileWriter.h"
#include "preview/document/VupageStream.h"

namespace {
using enum TCommandMode;

// The options of the command line. A starting option picks the mode; a qualifier belongs to
// the modes in its mask. Adding an option is one line here (and its use in the mode's code).
constexpr unsigned In(TCommandMode mode) { return 1u << unsigned(mode); }

struct TOptionRow {
  const char* Name;
  const char* Argument;  // the value's name in messages; nullptr for a flag
  TCommandMode Starts;   // the mode it starts, or cmWindow for a qualifier
  unsigned Qualifies;    // for a qualifier: the modes it belongs to
  bool Required;         // a qualifier that its modes cannot do without
  bool MayBeEmpty;       // the value may be an empty text (a value to encode may)
};

constexpr TOptionRow OptionTable[] = {
    // name        value    starts     qualifies      required empty
    {"--help",     nullptr, cmHelp,    0,             false,   false},
    {"-h",         nullptr, cmHelp,    0,             false,   false},
    {"--version",  nullptr, cmVersion, 0,             false,   false},
    {"--desktop",  nullptr, cmWindow,  In(cmWindow),  false,   false},
    {"--value",    "TEXT",  cmSave,    0,             false,   true},
    {"--save",     "FILE",  cmWindow,  In(cmSave),    false,   false},
    {"--print",    nullptr, cmWindow,  In(cmSave) | In(cmBatch), false, false},
    {"--pdf",      "FILE",  cmWindow,  In(cmSave) | In(cmBatch) | In(cmView), false, false},
    {"--printer",  "NAME",  cmWindow,  In(cmSave) | In(cmBatch) | In(cmView), false, false},
    {"--paper",    "NAME",  cmWindow,  In(cmSave) | In(cmBatch) | In(cmView), false, false},
    {"--copies",   "N",     cmWindow,  In(cmSave) | In(cmBatch), false, false},
    {"--modules",  "TEXT",  cmModules, 0,             false,   true},
    {"--batch",    "LIST",  cmBatch,   0,             false,   false},
    {"--out",      "DIR",   cmWindow,  In(cmBatch),   false,   false},
    {"--pages-per-sheet", "N", cmWindow, In(cmBatch), false,   false},
    {"--save-pages", "FILE", cmWindow, In(cmSave) | In(cmBatch), false, false},
    {"--view",     "FILE",  cmView,    0,             false,   false},
};

// What a value or a list becomes: one of these outputs, each naming the mode it leads to.
struct TOutputSpec {
  TCommandMode Starter;
  const char* Option;
  TCommandMode Mode;
};
constexpr TOutputSpec OutputTable[] = {
    {cmSave, "--save", cmSave},   {cmSave, "--print", cmPrint}, {cmSave, "--pdf", cmPdf},
    {cmBatch, "--out", cmBatch},  {cmBatch, "--pdf", cmBatchPdf}, {cmBatch, "--print", cmBatchPrint},
    {cmSave, "--save-pages", cmSavePages}, {cmBatch, "--save-pages", cmBatchSavePages},
};

// Qualifiers that only some outputs take.
struct TOutputQualifier {
  const char* Option;
  unsigned Modes;
  const char* GoesWith;
};
constexpr unsigned PdfModes = In(cmPdf) | In(cmBatchPdf) | In(cmViewPdf);
constexpr TOutputQualifier OutputQualifiers[] = {
    {"--printer", In(cmPrint) | In(cmBatchPrint) | PdfModes, "--print or --pdf"},
    {"--copies", In(cmPrint) | In(cmBatchPrint), "--print"},
    {"--pages-per-sheet", In(cmBatchPdf) | In(cmBatchPrint), "--batch and --pdf or --print"},
    {"--paper", PdfModes, "--pdf"},
};

// The ways to call the program, in the order --help lists them. The manual page is printed
// from this table too, so the two cannot tell different stories.
constexpr TUsageForm UsageForms[] = {
    {"", "start the barcode maker window, with its settings file VelEAN13.cfg in the working "
         "folder"},
    {"--desktop", "start the window as the menu entry does, with the settings file in "
                  "$XDG_CONFIG_HOME/velean13 (by default ~/.config/velean13), made on first start"},
    {"--value TEXT --save FILE", "complete TEXT to 13 digits and save its barcode as BMP"},
    {"--modules TEXT", "print the completed value and its 95 modules"},
    {"--batch LIST --out DIR", "save DIR/<value>.bmp for every line of LIST"},
    {"--value TEXT --print [--printer NAME] [--copies N]",
     "print the barcode page (the default printer unless NAME is given) and write the "
     "spooler's job id"},
    {"--value TEXT --pdf FILE [--paper NAME | --printer NAME]",
     "write the barcode page as a PDF file, on the paper NAME (A4 or Letter by the locale) or "
     "on the sheet of the printer NAME"},
    {"--batch LIST --pdf FILE [--pages-per-sheet 1|2|4]",
     "one barcode page for every value of LIST, in order, one, two or four pages to a sheet, "
     "into a PDF file"},
    {"--batch LIST --print [--printer NAME] [--copies N] [--pages-per-sheet 1|2|4]",
     "the same pages printed as one job; writes its job id"},
    {"--grid-pdf CSVFILE OUTPUT.pdf [--header] [--paper NAME]",
     "the records of a CSV file (UTF-8) as a table over A4 (or --paper) pages into a PDF file; "
     "--header repeats the first record at the top of every page"},
    {"--value TEXT --save-pages FILE", "write the barcode page as a page file"},
    {"--batch LIST --save-pages FILE",
     "write a barcode page for every value of LIST (the pages --pdf prints) as a page file"},
    {"--view FILE", "show a page file in a viewer window with its thumbnails"},
    {"--view FILE --pdf OUT", "print a page file into a PDF file"},
    {"--labels list [--sheet-file F]", "the label sheets, one a line"},
    {"--labels SHEET --batch FILE [--column N] [--text-columns A,B] [--copies-each N] "
     "[--start-at K] [--magnification PCT|fit] [--outside-gs1] [--symbology NAME] [--sheet-file F] "
     "[--pdf OUT | --print [--printer NAME] | --save-pages F] [--verify|--no-verify]",
     "one EAN-13 label (or a label of the symbology NAME) per value (CSV column N) at GS1 sizes "
     "on a sheet of label stock; --outside-gs1 allows 50 % and shorter bars, with a warning; "
     "without an output the labels open in the viewer window"},
    {"--symbology NAME --text TEXT ...",
     "any symbology of the barcode component (velean13 --symbology help lists its options)"},
    {"--version", "print the program's name and version"},
    {"--help", "this text"},
};

// "Usage:" and every form, its text wrapped into the right-hand column of an 80-column line.
std::string MakeUsage() {
  constexpr size_t Column = 36, Width = 80;
  std::string text = "Usage:\n";
  for (const TUsageForm& form : UsageForms) {
    std::string line = std::string("  velean13 ") + form.Synopsis;
    if (line.size() >= Column) {
      text += line + "\n";
      line.clear();
    }
    std::string word;
    auto flush = [&] {
      if (word.empty()) return;
      if (line.size() > Column && line.size() + 1 + word.size() > Width) {
        text += line + "\n";
        line.clear();
      }
      if (line.size() < Column) line.resize(Column, ' ');
      else line += ' ';
      line += word;
      word.clear();
    };
    for (const char* c = form.Text; *c; ++c) {
      if (*c == ' ') flush();
      else word += *c;
    }
    flush();
    text += line + "\n";
  }
  text += "FILE, OUT, OUTPUT.pdf - : standard output; LIST, CSVFILE - : standard input\n";
  return text;
}

const std::string Usage = MakeUsage();

void Print(FILE* f, const QString& text) {
  QByteArray bytes = text.toLocal8Bit();
  std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f);
  std::fputc('\n', f);
}

// Completed value and module string of a typed text, or the reason it is refused.
struct TEncoded {
  bool Ok = false;
  QString Value, Modules, Message;
};

TEncoded Encode(const QString& typed) {
  static const TNyBarcode barcode;
  TEncoded r;
  TEan13Value v = NormaliseEAN13(typed, barcode);
  switch (v.Kind) {
    case TEan13Value::ekNothing: r.Message = QStringLiteral("The value is empty."); return r;
    case TEan13Value::ekFailed: r.Message = QStringLiteral("The value cannot be completed."); return r;
    case TEan13Value::ekRefused: r.Message = v.Message; return r;
    case TEan13Value::ekCompleted: break;
  }
  r.Value = v.Value;
  TEan13Modules m = encodeEAN13(v.Value);
  if (!m.Ok) {
    r.Message = m.Message;
    return r;
  }
  r.Modules = m.Modules;
  r.Ok = true;
  return r;
}

const TOptionRow* FindOption(const QString& arg) {
  for (const TOptionRow& row : OptionTable)
    if (arg == QLatin1String(row.Name)) return &row;
  return nullptr;
}

// A word that looks like an option is never taken as the value of the option before it:
// "--batch --out DIR" lacks its list, it does not read a list named "--out".
bool LooksLikeOption(const QString& arg) { return arg.startsWith(QLatin1String("--")) || FindOption(arg); }

QString Named(const TOptionRow& row) {
  return row.Argument ? QStringLiteral("%1 %2").arg(QLatin1String(row.Name), QLatin1String(row.Argument))
                       : QString::fromLatin1(row.Name);
}

// The starting options of the modes in a mask, for "--out goes with --batch".
QString Starters(unsigned modes) {
  QStringList names;
  for (const TOptionRow& row : OptionTable)
    if (row.Starts != cmWindow && (modes & In(row.Starts)) && row.Starts != cmHelp) names << QLatin1String(row.Name);
  return names.join(QStringLiteral(" or "));
}

TCommandLine Refused(const QString& why) {
  TCommandLine r;
  r.Mode = cmUsageError;
  r.Error = why;
  return r;
}

TCommandLine RefusedPaper() { return Refused(QStringLiteral("--paper needs one of %1.").arg(PaperNames())); }


// --grid-pdf CSVFILE OUTPUT.pdf, then --header or nothing; CSVFILE is kept as the option's
// value and OUTPUT.pdf as that of --pdf.
TCommandLine ParseGridPdfLine(const QStringList& args) {
  if (args[0] != QLatin1String("--grid-pdf")) return Refused(QStringLiteral("--grid-pdf goes first."));
  // "-" (standard input, standard output) is a file name here too.
  for (int i = 1; i <= 2; ++i)
    if (i >= args.size() || args[i].isEmpty() || LooksLikeOption(args[i]) || args[i] == QLatin1String("--header"))
      return Refused(QStringLiteral("--grid-pdf needs CSVFILE and OUTPUT.pdf."));
  TCommandLine r;
  r.Mode = cmGridPdf;
  r.Options.insert(QStringLiteral("--grid-pdf"), args[1]);
  r.Options.insert(QStringLiteral("--pdf"), args[2]);
  for (qsizetype i = 3; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--help") || args[i] == QLatin1String("-h")) {
      r.Mode = cmHelp;
      continue;
    }
    if (args[i] == QLatin1String("--paper")) {
      if (r.Has("--paper")) return Refused(QStringLiteral("--paper is given twice."));
      if (i + 1 >= args.size() || !PaperByName(args[i + 1])) return RefusedPaper();
      r.Options.insert(QStringLiteral("--paper"), args[++i]);
      continue;
    }
    if (args[i] != QLatin1String("--header"))
      return Refused(QStringLiteral("%1 does not go with --grid-pdf.").arg(args[i]));
    if (r.Has("--header")) return Refused(QStringLiteral("--header is given twice."));
    r.Options.insert(QStringLiteral("--header"), QString());
  }
  return r;
}
}  // namespace

const char* CommandLineUsage() { return Usage.c_str(); }

std::span<const TUsageForm> CommandLineForms() { return UsageForms; }

TCommandLine ParseCommandLine(const QStringList& args) {
  // Label sheets have options of their own (velean13 --labels ...).
  if (args.contains(QLatin1String("--labels"))) return ParseLabelsLine(args);
  // The barcode component's command line has options of its own and reads them itself.
  if (args.contains(QLatin1String("--symbology"))) {
    TCommandLine r;
    r.Mode = cmSymbology;
    return r;
  }
  // The grid print of a CSV file takes two files after its option, which the option table's
  // one-value rows cannot say.
  if (args.contains(QLatin1String("--grid-pdf"))) return ParseGridPdfLine(args);
  TCommandLine r;
  const TOptionRow* starter = nullptr;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    const TOptionRow* row = FindOption(arg);
    if (!row)
      return Refused(arg.startsWith(u'-') ? QStringLiteral("Unknown option \"%1\".").arg(arg)
                                          : QStringLiteral("Unexpected argument \"%1\".").arg(arg));
    QString value;
    if (row->Argument) {
      if (i + 1 >= args.size() || LooksLikeOption(args[i + 1]) || (args[i + 1].isEmpty() && !row->MayBeEmpty))
        return Refused(QStringLiteral("%1 needs %2.").arg(arg, QLatin1String(row->Argument)));
      value = args[++i];
    }
    if (r.Options.contains(arg)) return Refused(QStringLiteral("%1 is given twice.").arg(arg));
    r.Options.insert(arg, value);
    // Help is asked for beside any other options; it answers once the line has been read.
    if (row->Starts == cmWindow || row->Starts == cmHelp) continue;
    if (starter && starter->Starts != row->Starts)
      return Refused(QStringLiteral("%1 and %2 cannot be used together.")
                         .arg(QLatin1String(starter->Name), QLatin1String(row->Name)));
    starter = row;
  }
  if (r.Has("--help") || r.Has("-h")) {
    r.Mode = cmHelp;
    return r;
  }
  r.Mode = starter ? starter->Starts : cmWindow;
  for (const TOptionRow& row : OptionTable) {
    if (row.Starts != cmWindow) continue;
    const bool given = r.Options.contains(QLatin1String(row.Name));
    const bool belongs = row.Qualifies & In(r.Mode);
    // An option of the window alone has no starting option to name.
    if (given && !belongs && row.Qualifies == In(cmWindow))
      return Refused(QStringLiteral("%1 goes with no other mode.").arg(QLatin1String(row.Name)));
    if (given && !belongs)
      return Refused(QStringLiteral("%1 goes with %2.").arg(QLatin1String(row.Name), Starters(row.Qualifies)));
    if (!given && belongs && row.Required)
      return Refused(QStringLiteral("%1 needs %2.").arg(QLatin1String(starter->Name), Named(row)));
  }
  // A value or a list goes to exactly one output, which decides the mode.
  if (r.Mode == cmSave || r.Mode == cmBatch) {
    const TCommandMode base = r.Mode;
    QStringList choices, given;
    TCommandMode mode = base;
    for (const TOutputSpec& out : OutputTable) {
      if (out.Starter != base) continue;
      const TOptionRow* spec = FindOption(QLatin1String(out.Option));
      choices << Named(*spec);
      if (r.Options.contains(QLatin1String(out.Option))) {
        given << QLatin1String(out.Option);
        mode = out.Mode;
      }
    }
    if (given.isEmpty()) {
      const QString last = choices.takeLast();
      return Refused(QStringLiteral("%1 needs %2.")
                         .arg(QLatin1String(starter->Name),
                              choices.isEmpty() ? last : choices.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last));
    }
    if (given.size() > 1) return Refused(QStringLiteral("%1 and %2 cannot be used together.").arg(given[0], given[1]));
    r.Mode = mode;
  }
  // A page file is shown in a window, or with --pdf written as a PDF file.
  if (r.Mode == cmView && r.Has("--pdf")) r.Mode = cmViewPdf;
  for (const TOutputQualifier& q : OutputQualifiers)
    if (r.Has(q.Option) && !(q.Modes & In(r.Mode)))
      return Refused(QStringLiteral("%1 goes with %2.").arg(QLatin1String(q.Option), QLatin1String(q.GoesWith)));
  if (r.Has("--copies")) {
    bool ok = false;
    const int copies = r.Value("--copies").toInt(&ok);
    if (!ok || copies < 1 || copies > 999) return Refused(QStringLiteral("--copies needs a number from 1 to 999."));
  }
  if (r.Has("--paper") && !PaperByName(r.Value("--paper"))) return RefusedPaper();
  if (r.Has("--pages-per-sheet")) {
    const QString n = r.Value("--pages-per-sheet");
    if (n != u"1" && n != u"2" && n != u"4") return Refused(QStringLiteral("--pages-per-sheet needs 1, 2 or 4."));
  }
  return r;
}

namespace {
bool IsPdfMode(TCommandMode mode) {
  return mode == cmPdf || mode == cmBatchPdf || mode == cmViewPdf || mode == cmGridPdf;
}

// A PDF file is drawn on a sheet of its paper unless a printer is named: it depends on no
// installed or default printer.
bool DrawsOnPaper(const TCommandLine& command) { return IsPdfMode(command.Mode) && !command.Has("--printer"); }

// The barcode page of --print is the window's A4 page; a PDF file's is on --paper or the
// locale's paper.
TVuPaperSize DocumentPaper(const TCommandLine& command) {
  return command.Mode == cmPrint ? A4 : PaperOrLocale(command.Value("--paper"));
}

// The printer and the output are checked before any page is made, so that a run that cannot
// end well fails at once.
void CheckBeforeWork(const TCommandLine& command) {
  if (command.Has("--printer")) {
    const QString name = command.Value("--printer");
    const QStringList& installed = Printer().Printers();
    if (!std::any_of(installed.begin(), installed.end(),
                     [&](const QString& p) { return p.compare(name, Qt::CaseInsensitive) == 0; }))
      throw EPrinter(QStringLiteral("Printer \"%1\" is not installed.").arg(name));
  } else if (command.Mode == cmPrint) {
    Printer().PrinterIndex();  // the default printer, or the no-printer error
  }
  for (const char* option : {"--save", "--pdf", "--save-pages"})
    if (command.Has(option)) CheckOutputPath(command.Value(option));
}

int SaveOne(const TCommandLine& command, FILE* out, FILE* err) {
  TEncoded e = Encode(command.Value("--value"));
  if (!e.Ok) {
    Print(err, e.Message);
    return 1;
  }
  WriteOutput(command.Value("--save"), EAN13BitmapFile(*RenderEAN13(e.Value, e.Modules)), out);
  Print(ReportStream(command.Value("--save"), out, err), e.Value);
  return 0;
}

int Modules(const TCommandLine& command, FILE* out, FILE* err) {
  TEncoded e = Encode(command.Value("--modules"));
  if (!e.Ok) {
    Print(err, e.Message);
    return 1;
  }
  Print(out, e.Value);
  Print(out, e.Modules);
  return 0;
}

bool OpenList(QFile& input, const QString& name, FILE* err) {
  if (OpenInput(input, name)) return true;
  Print(err, QStringLiteral("Cannot open file \"%1\". %2").arg(name, input.errorString()));
  return false;
}

// Reads the list line by line and hands every value that completes to accept (with its line
// number); refused lines, and values accept fails on, are reported on err and counted.
template <typename F>
void ForEachListValue(QFile& input, FILE* err, int& refused, F&& accept) {
  int lineNo = 0;
  // Read as a stream until it ends: a pipe or /dev/stdin has no size to go by.
  for (;;) {
    QByteArray raw = input.readLine();
    if (raw.isEmpty()) break;
    ++lineNo;
    while (raw.endsWith('\n') || raw.endsWith('\r')) raw.chop(1);
    QString line = QString::fromLatin1(raw);
    if (Trim(line).isEmpty()) continue;
    TEncoded e = Encode(line);
    if (!e.Ok) {
      Print(err, QStringLiteral("line %1: %2").arg(lineNo).arg(e.Message));
      ++refused;
      continue;
    }
    try {
      accept(e, lineNo);
    } catch (const Exception& error) {
      Print(err, QStringLiteral("line %1: %2").arg(lineNo).arg(error.Message()));
      ++refused;
    }
  }
}

int Batch(const TCommandLine& command, FILE* out, FILE* err) {
  const QString dir = command.Value("--out");
  QFile input;
  if (!OpenList(input, command.Value("--batch"), err)) return 1;
  if (!QDir().mkpath(dir)) {
    Print(err, QStringLiteral("Cannot create folder \"%1\".").arg(dir));
    return 1;
  }
  QDir target(dir);
  // Lines that complete to a value already written name the same file: they are counted
  // once, as written, and reported as repeats.
  QHash<QString, int> writtenOnLine;
  int written = 0, refused = 0, duplicates = 0;
  ForEachListValue(input, err, refused, [&](const TEncoded& e, int lineNo) {
    if (const auto first = writtenOnLine.constFind(e.Value); first != writtenOnLine.cend()) {
      Print(err, QStringLiteral("line %1: %2 repeats line %3").arg(lineNo).arg(e.Value).arg(*first));
      ++duplicates;
      return;
    }
    QByteArray bmp = EAN13BitmapFile(*RenderEAN13(e.Value, e.Modules));
    // New files of a batch need no flush to disk one by one: a failed write still
    // leaves no partial file behind.
    WriteFileReplacing(target.filePath(e.Value + QStringLiteral(".bmp")), bmp, false);
    writtenOnLine.insert(e.Value, lineNo);
    ++written;
  });
  Print(out, QStringLiteral("%1 written, %2 refused, %3 duplicates").arg(written).arg(refused).arg(duplicates));
  return refused ? 1 : 0;
}

// One barcode page, printed or written as PDF.
int PrintOne(const TCommandLine& command, FILE* out, FILE* err) {
  TEncoded e = Encode(command.Value("--value"));
  if (!e.Ok) {
    Print(err, e.Message);
    return 1;
  }
  auto document = NewBarcodeDocument(vuOnePage, DocumentPaper(command));
  const auto barcode = RenderEAN13(e.Value, e.Modules);
  AddBarcodePage(*document, *barcode);
  TPdfOutput pdf(command.Value("--pdf"), out);
  TBarcodePrintJob job;
  job.PrinterName = command.Value("--printer");
  if (command.Mode == cmPdf) job.PdfFile = pdf.FileName();
  if (command.Has("--copies")) job.Copies = command.Value("--copies").toInt();
  job.Barcode = barcode.get();
  const int id = PrintBarcodeDocument(*document, job);
  pdf.Deliver();
  Print(ReportStream(command.Value("--pdf"), out, err), command.Mode == cmPrint ? QString::number(id) : e.Value);
  return 0;
}

// A failure of the print job itself, carried past the per-line error handling of the list.
struct TJobFailed {
  std::exception_ptr Error;
};

// Every accepted value of the list as a page, in list order, into one PDF file or one print
// job. The pages are printed a sheet at a time as the list is read, so memory does not grow
// with the list.
int BatchPdf(const TCommandLine& command, FILE* out, FILE* err) {
  const int n = command.Has("--pages-per-sheet") ? command.Value("--pages-per-sheet").toInt() : 1;
  auto document = NewBarcodeDocument(n == 4 ? vuFourPage : n == 2 ? vuTwoPage : vuOnePage, DocumentPaper(command));
  QFile input;
  if (!OpenList(input, command.Value("--batch"), err)) return 1;
  std::optional<TPdfOutput> pdf;
  if (command.Mode == cmBatchPdf) pdf.emplace(command.Value("--pdf"), out);
  TBarcodePrintJob job;
  job.PdfFile = pdf ? pdf->FileName() : QString();
  job.PrinterName = command.Value("--printer");
  if (command.Has("--copies")) job.Copies = command.Value("--copies").toInt();
  SetUpBarcodePrinter(*document, job);
  TVuPageStreamJob stream(*document, job.PdfFile);
  int refused = 0;
  bool checked = false;
  try {
    ForEachListValue(input, err, refused, [&](const TEncoded& e, int) {
      const auto bitmap = RenderEAN13(e.Value, e.Modules);
      try {
        // Every page has its barcode in the same place and of the same size: the first one
        // tells, before anything is printed, whether it lies on the printable area.
        if (!checked) CheckBarcodeFits(*document, *bitmap);
        checked = true;
        stream.NewPage();
      } catch (...) {
        throw TJobFailed{std::current_exception()};
      }
      DrawBarcodePage(document->Canvas(), *bitmap);
    });
  } catch (const TJobFailed& failed) {
    std::rethrow_exception(failed.Error);
  }
  if (stream.PagesPrinted() + stream.PagesHeld() == 0) {
    Print(err, QStringLiteral("No value to print."));
    return 1;
  }
  stream.Finish();
  if (pdf) pdf->Deliver();
  QString done = QStringLiteral("%1 pages, %2 refused").arg(stream.PagesPrinted()).arg(refused);
  if (command.Mode == cmBatchPrint) done += QStringLiteral(", job %1").arg(stream.JobId());
  Print(ReportStream(command.Value("--pdf"), out, err), done);
  return refused ? 1 : 0;
}

// The barcode document of a value or of every accepted value of a list, the pages --pdf
// prints, written as a page file. A list's pages are written out a few at a time as the
// list is read; the file appears once complete.
int SavePages(const TCommandLine& command, FILE* out, FILE* err) {
  auto document = NewBarcodeDocument();
  if (command.Mode == cmSavePages) {
    TEncoded e = Encode(command.Value("--value"));
    if (!e.Ok) {
      Print(err, e.Message);
      return 1;
    }
    AddBarcodePage(*document, *RenderEAN13(e.Value, e.Modules));
    document->SaveToFile(command.Value("--save-pages"));
    Print(out, e.Value);
    return 0;
  }
  QFile input;
  if (!OpenList(input, command.Value("--batch"), err)) return 1;
  TVuPageFileWriter writer(*document, command.Value("--save-pages"));
  int refused = 0;
  try {
    ForEachListValue(input, err, refused, [&](const TEncoded& e, int) {
      const auto bitmap = RenderEAN13(e.Value, e.Modules);
      try {
        writer.NewPage();
      } catch (...) {
        throw TJobFailed{std::current_exception()};
      }
      DrawBarcodePage(document->Canvas(), *bitmap);
    });
  } catch (const TJobFailed& failed) {
    std::rethrow_exception(failed.Error);
  }
  const int pages = writer.PagesWritten() + writer.PagesHeld();
  if (pages == 0) {
    Print(err, QStringLiteral("No value to save."));
    return 1;
  }
  writer.Finish();
  Print(out, QStringLiteral("%1 pages, %2 refused").arg(pages).arg(refused));
  return refused ? 1 : 0;
}

// A page file printed into a PDF file a sheet at a time, as it is read; the PDF file appears
// only once the whole page file has been read and printed.
int ViewPdf(const TCommandLine& command, FILE* out, FILE* err) {
  const QString fileName = command.Value("--view");
  auto document = NewBarcodeDocument();
  TPdfOutput pdf(command.Value("--pdf"), out);
  TBarcodePrintJob job;
  job.PrinterName = command.Value("--printer");
  job.PdfFile = pdf.FileName();
  SetUpBarcodePrinter(*document, job);
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) {
    Print(err, QStringLiteral("\"%1\" is not a readable page file: Cannot open file \"%1\". %2")
                   .arg(fileName, file.errorString()));
    return 1;
  }
  int pages = 0;
  try {
    pages = document->PrintFromStream(file, job.PdfFile);
  } catch (const EPrinter&) {
    throw;
  } catch (const EFCreateError&) {
    throw;
  } catch (const Exception& error) {
    Print(err, QStringLiteral("\"%1\" is not a readable page file: %2").arg(fileName, error.Message()));
    return 1;
  }
  // A PDF file needs at least one page; the job made no file.
  if (pages == 0) {
    Print(err, QStringLiteral("\"%1\" has no pages: there is nothing to print.").arg(fileName));
    return 1;
  }
  pdf.Deliver();
  Print(ReportStream(command.Value("--pdf"), out, err), QStringLiteral("%1 pages").arg(pages));
  return 0;
}
}  // namespace

int RunCommandLine(const TCommandLine& command, FILE* out, FILE* err) {
  try {
    THeadlessServices headless;
    std::optional<TPaperPrinterScope> paper;
    if (DrawsOnPaper(command)) paper.emplace(PaperOrLocale(command.Value("--paper")));
    CheckBeforeWork(command);
    switch (command.Mode) {
      case cmHelp: std::fputs(Usage.c_str(), out); return 0;
      case cmVersion: std::fputs("VelEAN13 " VELEAN13_VERSION "\n", out); return 0;
      case cmSave: return SaveOne(command, out, err);
      case cmModules: return Modules(command, out, err);
      case cmBatch: return Batch(command, out, err);
      case cmPrint:
      case cmPdf: return PrintOne(command, out, err);
      case cmBatchPdf:
      case cmBatchPrint: return BatchPdf(command, out, err);
      case cmGridPdf:
        RunGridPdf(command.Value("--grid-pdf"), command.Value("--pdf"), command.Has("--header"),
                   PaperOrLocale(command.Value("--paper")), out, err);
        return 0;
      case cmSavePages:
      case cmBatchSavePages: return SavePages(command, out, err);
      case cmViewPdf: return ViewPdf(command, out, err);
      case cmLabels: return RunLabelsCommand(command, out, err);
      case cmLabelsView:
        Print(err, QStringLiteral("--labels without --pdf, --print or --save-pages shows the labels in a window."));
        return 2;
      case cmView:
        // The viewer window is the program's (RunViewer); this runs modes without a window.
        Print(err, QStringLiteral("--view without --pdf shows the page file in a window."));
        return 2;
      case cmUsageError: Print(err, command.Error); break;
      case cmWindow:
      case cmSymbology: break;
    }
  } catch (const Exception& error) {
    Print(err, error.Message());
    return 1;
  }
  std::fputs(Usage.c_str(), err);
  return 2;
}
