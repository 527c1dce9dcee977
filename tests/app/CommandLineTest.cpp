// The headless command line, run as the real program, and the independent decoder's verdict
// on the bitmaps it writes.
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include "TestSupport.h"
#include "app/CommandLine.h"
#include "barcode/Barcode.h"
#include "barcode/Ean13.h"

namespace {
const QString Program = QStringLiteral(VELEAN13_BINARY_DIR "/app/velean13");

struct TRun {
  int Code;
  QString Out, Err;
};

TRun RunCli(const QStringList& args) {
  QByteArray out, err;
  int code = RunProgram(Program, args, &out, &err);
  return {code, QString::fromLocal8Bit(out), QString::fromLocal8Bit(err)};
}

// The program as started where no display is reachable: the X11 platform with no DISPLAY.
TRun RunWithoutDisplay(const QStringList& args) {
  QByteArray out, err;
  int code = RunProgram(QStringLiteral("env"), QStringList{"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY",
                                                            "QT_QPA_PLATFORM=xcb", Program} + args,
                        &out, &err, 20000);
  return {code, QString::fromLocal8Bit(out), QString::fromLocal8Bit(err)};
}

void WriteText(const QString& path, const QByteArray& text) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(text);
}

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

TEST(CommandLine, ModulesPrintsTheCompletedValueAndTheModuleString) {
  TRun r = RunCli({"--modules", "1234567890123"});
  EXPECT_EQ(r.Code, 0);
  EXPECT_EQ(r.Out, "1234567890128\n" + encodeEAN13("1234567890128").Modules + "\n");
  TRun refused = RunCli({"--modules", "0123456789012"});
  EXPECT_EQ(refused.Code, 1);
  EXPECT_EQ(refused.Out, "");
  EXPECT_TRUE(refused.Err.contains("First digital cannot be 0.")) << refused.Err.toStdString();
}

TEST(CommandLine, StderrHoldsOnlyTheProgramsMessageOutsideASession) {
  // Cron jobs and root shells have no runtime folder; Qt's own complaint about it must not
  // end up among the messages scripts read.
  const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
  qunsetenv("XDG_RUNTIME_DIR");
  TRun refused = RunCli({"--modules", "0123456789012"});
  if (!saved.isNull()) qputenv("XDG_RUNTIME_DIR", saved);
  EXPECT_EQ(refused.Code, 1);
  EXPECT_EQ(refused.Err, "First digital cannot be 0.\n");
}

TEST(CommandLine, SaveWritesTheSameBitmapAsThePreview) {
  TTempDir dir;
  TRun r = RunCli({"--value", "978030640615", "--save", dir.File("isbn.bmp")});
  EXPECT_EQ(r.Code, 0);
  EXPECT_EQ(r.Out, "9780306406157\n");
  EXPECT_EQ(ReadAll(dir.File("isbn.bmp")), EAN13BitmapFile(*RenderEAN13("9780306406157", encodeEAN13("9780306406157").Modules)));
}

TEST(CommandLine, RefusedOrUnwritableValuesWriteNothing) {
  TTempDir dir;
  TRun bad = RunCli({"--value", "12 34", "--save", dir.File("a.bmp")});
  EXPECT_EQ(bad.Code, 1);
  EXPECT_TRUE(bad.Err.contains("EAN13 must be 13 digits.")) << bad.Err.toStdString();
  EXPECT_FALSE(QFile::exists(dir.File("a.bmp")));
  TRun nowhere = RunCli({"--value", "123", "--save", dir.File("missing/a.bmp")});
  EXPECT_EQ(nowhere.Code, 1);
  EXPECT_TRUE(nowhere.Err.contains("Cannot create file")) << nowhere.Err.toStdString();
  EXPECT_TRUE(QDir(dir.Path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden).isEmpty());
}

TEST(CommandLine, BatchReportsRefusedLinesAndGoesOn) {
  TTempDir dir;
  WriteText(dir.File("list.txt"), "123\n\n   \n0123456789012\r\n978030640615\nabc\n");
  TRun r = RunCli({"--batch", dir.File("list.txt"), "--out", dir.File("out")});
  EXPECT_EQ(r.Code, 1);
  EXPECT_TRUE(r.Out.endsWith("2 written, 2 refused, 0 duplicates\n")) << r.Out.toStdString();
  EXPECT_TRUE(r.Err.contains("line 4: First digital cannot be 0.")) << r.Err.toStdString();
  EXPECT_TRUE(r.Err.contains("line 6: EAN13 must be 13 digits.")) << r.Err.toStdString();
  QStringList files = QDir(dir.File("out")).entryList(QDir::Files, QDir::Name);
  EXPECT_EQ(files, (QStringList{"1230000000000.bmp", "9780306406157.bmp"}));

  WriteText(dir.File("good.txt"), "400638133393\n");
  EXPECT_EQ(RunCli({"--batch", dir.File("good.txt"), "--out", dir.File("out")}).Code, 0);
  EXPECT_EQ(RunCli({"--batch", dir.File("none.txt"), "--out", dir.File("out")}).Code, 1);
}

TEST(CommandLine, BatchCountsLinesOfTheSameValueOnce) {
  TTempDir dir;
  // 123 and 1230000000000 complete to the same value; so do the two ISBN lines.
  WriteText(dir.File("list.txt"), "123\n978030640615\n1230000000000\n9780306406157\n400638133393\n");
  TRun r = RunCli({"--batch", dir.File("list.txt"), "--out", dir.File("out")});
  EXPECT_EQ(r.Code, 0);
  EXPECT_EQ(r.Out, "3 written, 0 refused, 2 duplicates\n");
  EXPECT_TRUE(r.Err.contains("line 3: 1230000000000 repeats line 1")) << r.Err.toStdString();
  EXPECT_EQ(QDir(dir.File("out")).entryList(QDir::Files).size(), 3);
}

TEST(CommandLine, ParserPicksTheModeAndItsValues) {
  struct {
    QStringList Args;
    TCommandMode Mode;
    QMap<QString, QString> Options;
  } cases[] = {
      {{}, TCommandMode::cmWindow, {}},
      {{"--value", "978030640615", "--save", "x.bmp"}, TCommandMode::cmSave, {{"--value", "978030640615"}, {"--save", "x.bmp"}}},
      {{"--save", "x.bmp", "--value", ""}, TCommandMode::cmSave, {{"--value", ""}, {"--save", "x.bmp"}}},
      {{"--modules", "-5"}, TCommandMode::cmModules, {{"--modules", "-5"}}},
      {{"--out", "sym", "--batch", "list.txt"}, TCommandMode::cmBatch, {{"--batch", "list.txt"}, {"--out", "sym"}}},
      {{"--modules", "1", "--help"}, TCommandMode::cmHelp, {{"--modules", "1"}, {"--help", ""}}},
      {{"-h"}, TCommandMode::cmHelp, {{"-h", ""}}},
      {{"--symbology", "EAN13", "--whatever"}, TCommandMode::cmSymbology, {}},
      {{"--desktop"}, TCommandMode::cmWindow, {{"--desktop", ""}}},
      {{"--version"}, TCommandMode::cmVersion, {{"--version", ""}}},
  };
  for (const auto& c : cases) {
    const TCommandLine r = ParseCommandLine(c.Args);
    EXPECT_EQ(r.Mode, c.Mode) << c.Args.join(u' ').toStdString() << ": " << r.Error.toStdString();
    EXPECT_EQ(r.Options, c.Options) << c.Args.join(u' ').toStdString();
  }
}

TEST(CommandLine, ParserRefusesEveryLineThatIsNotACommand) {
  struct {
    QStringList Args;
    const char* Error;
  } cases[] = {
      {{"--vaule", "978030640615", "--save", "x.bmp"}, "Unknown option \"--vaule\"."},
      {{"--bogus"}, "Unknown option \"--bogus\"."},
      {{"978030640615"}, "Unexpected argument \"978030640615\"."},
      {{"--value", "1"}, "--value needs --save FILE, --print, --pdf FILE or --save-pages FILE."},
      {{"--value"}, "--value needs TEXT."},
      {{"--value", "1", "--save"}, "--save needs FILE."},
      {{"--value", "1", "--save", ""}, "--save needs FILE."},
      {{"--batch", "--out", "sym"}, "--batch needs LIST."},
      {{"--batch", "-h", "--out", "sym"}, "--batch needs LIST."},
      {{"--batch", "list.txt"}, "--batch needs --out DIR, --pdf FILE, --print or --save-pages FILE."},
      {{"--save", "x.bmp"}, "--save goes with --value."},
      {{"--modules", "1", "--out", "sym"}, "--out goes with --batch."},
      {{"--value", "1", "--save", "a.bmp", "--save", "b.bmp"}, "--save is given twice."},
      {{"--value", "1", "--save", "a.bmp", "--modules", "2"}, "--value and --modules cannot be used together."},
      {{"--desktop", "--view", "a.vup"}, "--desktop goes with no other mode."},
      {{"--version", "--modules", "1"}, "--version and --modules cannot be used together."},
  };
  for (const auto& c : cases) {
    const TCommandLine r = ParseCommandLine(c.Args);
    EXPECT_EQ(r.Mode, TCommandMode::cmUsageError) << c.Args.join(u' ').toStdString();
    EXPECT_EQ(r.Error, QString::fromLatin1(c.Error)) << c.Args.join(u' ').toStdString();
  }
}

// A refused line never reaches the window, with or without a display.
TEST(CommandLine, RefusedLinesGiveTheUsageAndStatus2WithoutADisplay) {
  TTempDir dir;
  const QStringList lines[] = {{"--vaule", "978030640615", "--save", dir.File("x.bmp")}, {"--bogus"},
                               {"--batch", "--out", dir.File("sym")}};
  for (const QStringList& args : lines) {
    for (const TRun& r : {RunCli(args), RunWithoutDisplay(args)}) {
      EXPECT_EQ(r.Code, 2) << args.join(u' ').toStdString() << "\n" << r.Err.toStdString();
      EXPECT_TRUE(r.Err.contains("Usage:")) << r.Err.toStdString();
      EXPECT_EQ(r.Out, "");
    }
  }
  EXPECT_TRUE(QDir(dir.Path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
  // Help needs no display either.
  EXPECT_EQ(RunWithoutDisplay({"--help"}).Code, 0);
}

TEST(CommandLine, VersionIsTheProjectsOneVersion) {
  TRun r = RunCli({"--version"});
  EXPECT_EQ(r.Code, 0);
  EXPECT_EQ(r.Out, QStringLiteral("VelEAN13 " VELEAN13_PROJECT_VERSION "\n"));
  EXPECT_EQ(r.Err, "");
}

TEST(CommandLine, HelpListsTheModes) {
  TRun r = RunCli({"--help"});
  EXPECT_EQ(r.Code, 0);
  for (const char* flag : {"--value", "--save", "--modules", "--batch", "--out"})
    EXPECT_TRUE(r.Out.contains(flag)) << flag;
}

// Every saved symbol must read back, with an independent decoder, as its completed value.
TEST(CommandLine, SavedSymbolsDecodeWithAnIndependentDecoder) {
  if (!HaveProgram("zbarimg")) {
    if (qgetenv("CI") == "true") FAIL() << "zbarimg is missing";
    GTEST_SKIP() << "zbarimg is not installed";
  }
  TTempDir dir;
  QStringList values = {"123", "1234567890123", "4006381333931", "978030640615", "12345678901234567",
                        "1234567890128", "999999999999", "100000000000"};
  auto* rng = QRandomGenerator::global();
  for (int n = 0; n < 200; ++n) {
    QString v = QString::number(rng->bounded(1, 10));
    for (int i = 0; i < 11; ++i) v += QChar(u'0' + rng->bounded(10));
    values << v;
  }
  WriteText(dir.File("list.txt"), values.join('\n').toLatin1());
  TRun r = RunCli({"--batch", dir.File("list.txt"), "--out", dir.File("out")});
  ASSERT_EQ(r.Code, 0) << r.Err.toStdString();

  TNyBarcode barcode;
  QSet<QString> expected;
  for (const QString& v : values) expected << NormaliseEAN13(v, barcode).Value;
  QStringList files;
  for (const QString& name : QDir(dir.File("out")).entryList(QDir::Files)) files << dir.File("out/" + name);
  ASSERT_EQ(files.size(), expected.size());

  QByteArray out, err;
  ASSERT_EQ(RunProgram("zbarimg", QStringList{"-q", "--raw", "-Sdisable", "-Sean13.enable"} + files, &out, &err,
                       120000), 0) << err.toStdString();
  QStringList decoded = QString::fromLatin1(out).split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(decoded.size(), files.size());
  // zbarimg reports in the order of its arguments: each file decodes to its own name.
  for (int i = 0; i < files.size(); ++i)
    EXPECT_EQ(decoded[i] + ".bmp", QFileInfo(files[i]).fileName());
}
