// The program's command line: which mode the arguments ask for, and the headless modes for
// users with many articles (the same normalising, completing, encoding and drawing as the
// Preview command, without a window).
#pragma once
#include <QMap>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <span>

enum class TCommandMode {
  cmWindow,      // no arguments (or --desktop): the barcode maker window
  cmHelp,        // --help, -h
  cmVersion,     // --version
  cmSave,        // --value TEXT --save FILE
  cmModules,     // --modules TEXT
  cmBatch,       // --batch LIST --out DIR
  cmPrint,       // --value TEXT --print [--printer NAME] [--copies N]
  cmPdf,         // --value TEXT --pdf FILE
  cmBatchPdf,    // --batch LIST --pdf FILE [--pages-per-sheet 1|2|4]
  cmBatchPrint,  // --batch LIST --print [--printer NAME] [--copies N] [--pages-per-sheet 1|2|4]
  cmSavePages,       // --value TEXT --save-pages FILE
  cmBatchSavePages,  // --batch LIST --save-pages FILE
  cmView,            // --view FILE: the page file in a viewer window
  cmViewPdf,         // --view FILE --pdf OUT: the page file as a PDF file, no window
  cmSymbology,   // --symbology ...: the barcode component's own command line
  cmGridPdf,     // --grid-pdf CSVFILE OUTPUT.pdf [--header]
  cmLabels,      // --labels list, or --labels SHEET --batch FILE with --pdf, --print or --save-pages
  cmLabelsView,  // --labels SHEET --batch FILE: the labels in the viewer window
  cmUsageError,  // anything else: the usage on stderr, exit status 2
};

struct TCommandLine {
  TCommandMode Mode = TCommandMode::cmWindow;
  // Every option given, by its name ("--save"), with its value; a flag maps to an empty text.
  QMap<QString, QString> Options;
  // Why the arguments were refused (cmUsageError only).
  QString Error;

  QString Value(const char* option) const { return Options.value(QLatin1String(option)); }
  bool Has(const char* option) const { return Options.contains(QLatin1String(option)); }
};

// Reads the arguments (without the program name). Decides the mode from the arguments alone,
// so that the caller knows before any display is needed whether a window is wanted.
TCommandLine ParseCommandLine(const QStringList& args);
// The usage text that --help prints and a refused command line ends with.
const char* CommandLineUsage();

// One way to call the program: the arguments after its name and what they do. --help and the
// manual page are both printed from these.
struct TUsageForm {
  const char* Synopsis;
  const char* Text;
};
std::span<const TUsageForm> CommandLineForms();

// Runs a headless mode other than cmSymbology; messages go to out and err. Returns the process
// exit code: 0 done, 1 a value or a file was refused, 2 the command line was refused.
int RunCommandLine(const TCommandLine& command, FILE* out = stdout, FILE* err = stderr);
