// velean13 --labels end to end: two sheets of a 3 x 7 layout into a PDF file, measured on
// the rendered pages (every label in its cell, X and the quiet zones at GS1 size, each
// value read back by zbarimg in order); the refusals; the check that stops a damaged label.
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QRandomGenerator>
#include <algorithm>
#include <cmath>
#include "RunCommandLine.h"
#include "TestSupport.h"
#include "app/LabelsCommand.h"
#include "app/ViewerForm.h"
#include "app/ViewerPrintDialog.h"
#include "barcode/Barcode.h"
#include "barcode/Ean13.h"
#include "labels/LabelRecorder.h"
#include "preview/document/Vupagelist.h"
#include "tests/support/MemoryPrinterBackend.h"

namespace {
void WriteFile(const QString& name, const QByteArray& data) {
  QFile f(name);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(data);
}

// Twelve random digits (the first not 0), completed as the program completes them.
QStringList Values(int n, QStringList& completed) {
  QRandomGenerator rng(26);
  const TNyBarcode barcode;
  QStringList typed;
  for (int i = 0; i < n; ++i) {
    QString v = QString::number(rng.bounded(1, 10));
    for (int d = 0; d < 11; ++d) v += QChar(u'0' + rng.bounded(10));
    typed << v;
    completed << NormaliseEAN13(v, barcode).Value;
  }
  return typed;
}

// The published geometry of the 3 x 7 sheet of 63.5 x 38.1 mm labels, and the GS1 size
// that fits it 0.8 mm clear of the top and bottom edge: min(63.5 / 37.29, 36.5 / 25.93)
// rounded down to whole percent.
constexpr double Left = 7.25, Top = 15.15, PitchX = 66.04, PitchY = 38.1, W = 63.5, H = 38.1;
constexpr double Magnification = 1.40, X = 0.33 * Magnification;
constexpr int Dpi = 600;
int Px(double mm) { return int(std::lround(mm * Dpi / 25.4)); }
bool Dark(const QImage& page, int x, int y) { return page.constScanLine(y)[x] < 128; }
}  // namespace

TEST(LabelsCommand, TwoSheetsToPdfKeepEveryLabelInItsCellAtGs1Size) {
  for (const char* tool : {"pdftoppm", "zbarimg"})
    if (!HaveProgram(QString::fromLatin1(tool))) GTEST_SKIP() << tool << " is not installed";
  TMemoryPrinterInstall printers({MemoryA4Printer(QStringLiteral("Alpha"), 1200)}, QStringLiteral("Alpha"));
  TTempDir dir;
  // 17 labels after four used positions fill the first sheet; 21 the second.
  QStringList expected;
  WriteFile(dir.File("list.txt"), Values(38, expected).join(u'\n').toLatin1());
  QByteArray out, err;
  ASSERT_EQ(RunLine({"--labels", "3x7-63.5x38.1", "--batch", dir.File("list.txt"), "--start-at", "5", "--pdf",
                     dir.File("labels.pdf")}, &out, &err), 0) << err.toStdString();
  EXPECT_EQ(out, "38 labels, 2 sheets\n");
  ASSERT_EQ(RunProgram("pdftoppm", {"-r", QString::number(Dpi), "-gray", dir.File("labels.pdf"), dir.File("page")}), 0);

  // A 600-dpi A4 page is 35 million pixels, more than the reader's default limit.
  QImageReader::setAllocationLimit(512);
  QStringList cells;
  for (int sheet = 1; sheet <= 2; ++sheet) {
    const QImage page = QImage(dir.File(QStringLiteral("page-%1.pgm").arg(sheet))).convertToFormat(QImage::Format_Grayscale8);
    // Qt writes A4 as 595 x 842 points.
    ASSERT_NEAR(page.width(), Px(210), 3);
    // Ink outside every cell, and in the four positions left empty, is a fault: the cells
    // are blanked on a copy, which must then be white.
    QImage outside = page;
    for (int pos = 0; pos < 21; ++pos) {
      const int l = Px(Left + pos % 3 * PitchX), t = Px(Top + pos / 3 * PitchY), r = Px(Left + pos % 3 * PitchX + W),
                b = Px(Top + pos / 3 * PitchY + H);
      for (int y = t; y < b; ++y) std::fill_n(outside.scanLine(y) + l, r - l, uchar(255));
      int x1 = -1, y0 = b;
      for (int y = t; y < b; ++y) {
        const uchar* line = page.constScanLine(y);
        for (int x = l; x < r; ++x)
          if (line[x] < 128) x1 = std::max(x1, x), y0 = std::min(y0, y);
      }
      if (sheet == 1 && pos < 4) {
        EXPECT_EQ(x1, -1) << "position " << pos + 1 << " of the first sheet is not empty";
        continue;
      }
      ASSERT_GE(x1, 0) << "sheet " << sheet << " label " << pos + 1;
      // Half way down the bars, the first to the last dark pixel spans the 95 modules; the
      // quiet zones on either side stay white for the whole bar height.
      const int row = y0 + Px(22.85 * Magnification / 2);
      int first = r, last = -1;
      for (int x = l; x < r; ++x)
        if (Dark(page, x, row)) first = std::min(first, x), last = x;
      const double measuredX = (last - first + 1) * 25.4 / Dpi / 95;
      EXPECT_NEAR(measuredX, X, 25.4 / 1200) << "sheet " << sheet << " label " << pos + 1;
      int ink = 0;
      for (int y = y0; y < y0 + Px(22.85 * Magnification); ++y) {
        for (int x = first - Px(11 * X); x < first; ++x) ink += Dark(page, x, y);
        for (int x = last + 1; x <= last + Px(7 * X); ++x) ink += Dark(page, x, y);
      }
      EXPECT_EQ(ink, 0) << "quiet zones of sheet " << sheet << " label " << pos + 1;
      const QString cell = dir.File(QStringLiteral("cell-%1-%2.png").arg(sheet).arg(pos, 2, 10, QChar(u'0')));
      ASSERT_TRUE(page.copy(l, t, r - l, b - t).save(cell));
      cells << cell;
    }
    int stray = 0;
    for (int y = 0; y < outside.height(); ++y)
      for (int x = 0; x < outside.width(); ++x) stray += outside.constScanLine(y)[x] < 128;
    EXPECT_EQ(stray, 0) << "ink outside the cells of sheet " << sheet;
  }
  QByteArray decoded;
  ASSERT_EQ(RunProgram("zbarimg", QStringList{"-q", "--raw", "-Sdisable", "-Sean13.enable"} + cells, &decoded), 0);
  EXPECT_EQ(QString::fromLatin1(decoded).split(u'\n', Qt::SkipEmptyParts), expected);
}

TEST(LabelsCommand, RefusalsNameTheirCauseAndWriteNothing) {
  TMemoryPrinterInstall printers({MemoryA4Printer(QStringLiteral("Alpha"), 600)}, QStringLiteral("Alpha"));
  TTempDir dir;
  WriteFile(dir.File("list.csv"), "4006381333931,Tea\n5901234123457,A name far too long for the smallest label of all sheets\n");
  WriteFile(dir.File("bad-value.csv"), "4006381333931\n5901234123457\n59012X4123457\n");
  WriteFile(dir.File("my.sheet"), "[mine]\npaper = A4\ncolumns = 3\nrows = seven\n");
  WriteFile(dir.File("tiny.sheet"), "[tiny]\npaper = A4\ncolumns = 1\nrows = 1\nlabel = 15 x 10 mm\n"
                                    "margin = 10, 10 mm\npitch = 15, 10 mm\n");
  WriteFile(dir.File("gs1.csv"), "0112345678901231\n");
  WriteFile(dir.File("code39.csv"), "AB-12\nAb-12\n");
  const QString list = dir.File("list.csv");
  struct {
    QStringList Args;
    const char* Error;
  } cases[] = {
      {{"--labels", "letter-4x20-1.75x0.5in", "--batch", list},
       "The symbol at 80 % needs 29.83 × 20.74 mm with quiet zones; the label is 44.45 × 12.70 mm "
       "(sheet letter-4x20-1.75x0.5in). GS1 allows 80 % to 200 %.\n"},
      {{"--labels", "3x7-63.5x38.1", "--magnification", "200", "--batch", list},
       "The symbol at 200 % needs 74.58 × 51.86 mm with quiet zones; the label is 63.50 × 38.10 mm"},
      {{"--labels", "nope", "--batch", list}, "Unknown sheet \"nope\"; velean13 --labels list names the sheets.\n"},
      {{"--labels", "mine", "--sheet-file", dir.File("my.sheet"), "--batch", list},
       "my.sheet line 4: rows needs a whole number from 1 to 100\n"},
      {{"--labels", "5x13-38.1x21.2", "--text-columns", "2", "--batch", list}, "row 2: the text \"A name far too long"},
      {{"--labels", "3x7-63.5x38.1", "--batch", dir.File("bad-value.csv")}, "row 3: "},
      {{"--labels", "3x7-63.5x38.1", "--start-at", "22", "--batch", list}, "--start-at 22 is beyond the 21 labels"},
      {{"--labels", "3x7-63.5x38.1", "--symbology", "Code39", "--batch", dir.File("code39.csv")},
       "row 2: Code39 cannot carry \"b\" (character 2 of the text): it takes 0 to 9, A to Z (capitals)"},
      {{"--labels", "3x7-63.5x38.1", "--symbology", "EAN128C", "--batch", dir.File("gs1.csv")},
       "The symbol at 100 % needs 76.23 × 34.83 mm with quiet zones; the label is 63.50 × 38.10 mm "
       "(sheet 3x7-63.5x38.1). GS1 allows 100 % to 200 %.\n"},
      {{"--labels", "3x7-63.5x38.1", "--symbology", "EAN128C", "--magnification", "90", "--batch", dir.File("gs1.csv")},
       "90 % is outside the range for EAN128C: GS1 allows 100 % to 200 %.\n"},
      {{"--labels", "3x7-63.5x38.1", "--symbology", "Code128B", "--magnification", "200", "--batch", list},
       "Code128B is drawn at 80 % to 200 % of X = 0.33 mm."},
      {{"--labels", "tiny", "--sheet-file", dir.File("tiny.sheet"), "--outside-gs1", "--batch", list},
       "The symbol at 50 % needs 18.65 × 12.96 mm with quiet zones; the label is 15.00 × 10.00 mm (sheet tiny). GS1 "
       "allows 80 % to 200 %. Below it, down to 50 % and with bars shortened to 40 %, it does not fit either.\n"},
      // The printer offers A4 only: Letter labels would land in the wrong places.
      {{"--labels", "letter-3x10-2.625x1in", "--batch", list, "--printer", "Alpha"},
       "Printer \"Alpha\" has no Letter paper (it gives 210.0 x 297.0 mm); the labels of sheet letter-3x10-2.625x1in"},
  };
  for (const auto& c : cases) {
    const QString pdf = dir.File("out.pdf");
    QByteArray out, err;
    EXPECT_EQ(RunLine(c.Args + QStringList{"--pdf", pdf}, &out, &err), 1) << c.Error;
    EXPECT_TRUE(QString::fromUtf8(err).contains(QString::fromUtf8(c.Error))) << err.toStdString();
    EXPECT_FALSE(QFile::exists(pdf)) << c.Error;
    EXPECT_TRUE(out.isEmpty()) << c.Error;
  }
}

// Labels go to the job a sheet at a time, each read back before the job takes it: the run
// never holds more than one sheet's page, and damaged labels on the second and third sheets
// stop it with every bad row named, after the first sheet went into the job: no file is put
// in place, nothing reaches the spooler.
TEST(LabelsCommand, VerifiedSheetsStreamAndADamagedSheetStopsTheJob) {
  TMemoryPrinterInstall printers({MemoryA4Printer(QStringLiteral("Alpha"), 600)}, QStringLiteral("Alpha"));
  TTempDir dir;
  QStringList expected;
  WriteFile(dir.File("list.txt"), Values(90, expected).join(u'\n').toLatin1());
  const QStringList base = {"--labels", "4x10-48.5x25.4", "--batch", dir.File("list.txt")};
  const QString pdf = dir.File("labels.pdf"), pages = dir.File("labels.vup");
  int mostPages = 0;
  LabelTestHook().OnDocument = [&](TVuPageList& document) {
    document.OnPageCountChanged = [&](TPersistent*) { mostPages = std::max(mostPages, document.Count()); };
  };
  struct {
    QStringList Output;
    QString File;
    bool Spooled;
  } cases[] = {{{"--verify", "--pdf", pdf}, pdf, false},
               {{"--verify", "--save-pages", pages}, pages, false},
               {{"--print", "--printer", "Alpha"}, QString(), true}};
  for (const auto& c : cases) {
    if (!c.File.isEmpty()) QFile::remove(c.File);
    const size_t jobs = printers.Backend().Jobs.size();
    QByteArray out, err;
    mostPages = 0;
    LabelTestHook().DropBarOfRows = {43, 85};
    const int damaged = RunLine(base + c.Output, &out, &err);
    LabelTestHook().DropBarOfRows.clear();
    EXPECT_EQ(damaged, 1);
    const QStringList lines = QString::fromUtf8(err).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << err.toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("row 43: the label of %1 (sheet 2, label 3) reads as").arg(expected[42])));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("row 85: the label of %1 (sheet 3, label 5) reads as").arg(expected[84])));
    EXPECT_EQ(lines[2], "Labels that do not read back: 2 of 90; nothing was printed.");
    if (!c.File.isEmpty()) {
      EXPECT_FALSE(QFile::exists(c.File));
    }
    EXPECT_TRUE(out.isEmpty());
    if (c.Spooled) {
      // The first sheet had gone into the job; the job was abandoned, never handed on.
      ASSERT_EQ(printers.Backend().Jobs.size(), jobs + 1);
      EXPECT_TRUE(printers.Backend().Jobs.back()->Aborted);
      EXPECT_FALSE(printers.Backend().Jobs.back()->Finished);
    }
    EXPECT_EQ(mostPages, 1);

    mostPages = 0;
    ASSERT_EQ(RunLine(base + c.Output, &out, &err), 0) << err.toStdString();
    EXPECT_TRUE(out.endsWith("90 labels, 3 sheets\n")) << out.toStdString();
    EXPECT_EQ(mostPages, 1);
    if (c.Spooled) {
      EXPECT_TRUE(printers.Backend().Jobs.back()->Finished);
      EXPECT_EQ(printers.Backend().Jobs.back()->Pages.size(), 3u);
    } else {
      EXPECT_TRUE(QFile::exists(c.File));
    }
    EXPECT_EQ(printers.Backend().Jobs.size(), jobs + (c.Spooled ? 2 : 0));
  }
  LabelTestHook().OnDocument = nullptr;
}

// A label of every kind zbar reads, checked by the run itself (--verify) and read again from
// the PDF by zbarimg; sizes below GS1's range come only with --outside-gs1, and are said.
TEST(LabelsCommand, OtherSymbologiesAndSizesBelowGs1ReadBack) {
  for (const char* tool : {"pdftoppm", "zbarimg"})
    if (!HaveProgram(QString::fromLatin1(tool))) GTEST_SKIP() << tool << " is not installed";
  TMemoryPrinterInstall printers({MemoryA4Printer(QStringLiteral("Alpha"), 600)}, QStringLiteral("Alpha"));
  TTempDir dir;
  struct {
    QStringList Args;
    const char* Value;
    const char* Zbar;
    const char* Reads;
    const char* Warning;
  } cases[] = {
      {{"--symbology", "EAN8"}, "1234567", "ean8", "12345670", nullptr},
      {{"--symbology", "UPC_A"}, "03600029145", "upca", "036000291452", nullptr},
      {{"--symbology", "bcCodeUPC_E0"}, "425261", "upce", "04252614", nullptr},
      {{"--symbology", "Code39"}, "ABC-12", "code39", "ABC-12", nullptr},
      {{"--symbology", "Code93 Extended"}, "Abc-12", "code93", "Abc-12", nullptr},
      {{"--symbology", "code128b"}, "Ab-12", "code128", "Ab-12", nullptr},
      {{"--symbology", "EAN128C", "--labels", "2x7-99.1x38.1"}, "0112345678901231", "code128", "0112345678901231", nullptr},
      {{"--symbology", "bcCode_2_5_interleaved"}, "123456", "i25", "123456", nullptr},
      {{"--symbology", "Codebar"}, "12345", "codabar", "A12345B", nullptr},
      {{"--symbology", "UPC Supp5"}, "12345", "ean5", "12345", nullptr},
      {{"--labels", "letter-4x20-1.75x0.5in", "--outside-gs1"}, "400638133393", "ean13", "4006381333931",
       "The symbols are at 90 % with their bars shortened to 40 % of the standard height: outside GS1's range of 80–200 %.\n"},
      {{"--labels", "5x13-38.1x21.2", "--magnification", "60", "--outside-gs1"}, "400638133393", "ean13", "4006381333931",
       "The symbols are at 60 %, outside GS1's range of 80–200 %.\n"},
  };
  // A 600-dpi Letter page is more than the reader's default limit.
  QImageReader::setAllocationLimit(512);
  for (const auto& c : cases) {
    const QString label = c.Args.join(u' ');
    WriteFile(dir.File("list.csv"), QByteArray(c.Value) + "\n");
    QStringList args = c.Args;
    if (!args.contains(QStringLiteral("--labels"))) args << "--labels" << "3x7-63.5x38.1";
    QByteArray out, err;
    ASSERT_EQ(RunLine(args + QStringList{"--batch", dir.File("list.csv"), "--verify", "--pdf", dir.File("l.pdf")}, &out, &err), 0)
        << label.toStdString() << ": " << err.toStdString();
    EXPECT_EQ(out, "1 labels, 1 sheets\n") << label.toStdString();
    EXPECT_EQ(QString::fromUtf8(err).contains(u"outside"), c.Warning != nullptr) << err.toStdString();
    if (c.Warning) {
      EXPECT_TRUE(err.contains(c.Warning)) << err.toStdString();
    }
    // The top of the page, where the first label is.
    ASSERT_EQ(RunProgram("pdftoppm", {"-r", "600", "-gray", "-H", "1800", "-singlefile", dir.File("l.pdf"), dir.File("page")}), 0);
    QStringList zbar = {"-q", "--raw", "-Sdisable", QStringLiteral("-S%1.enable").arg(QLatin1String(c.Zbar))};
    if (QByteArray("upca upce ean5").contains(c.Zbar)) zbar << "-Sean13.enable";
    QByteArray decoded;
    RunProgram("zbarimg", zbar << dir.File("page.pgm"), &decoded);
    EXPECT_EQ(decoded, QByteArray(c.Reads) + "\n") << label.toStdString();
  }
}

TEST(LabelsCommand, ParserPicksTheOutputOrTheViewer) {
  using enum TCommandMode;
  const QStringList base = {"--labels", "L7160", "--batch", "l.csv"};
  struct {
    QStringList Args;
    TCommandMode Mode;
    const char* Error;
  } cases[] = {
      {base, cmLabelsView, ""},
      {base + QStringList{"--pdf", "o.pdf", "--start-at", "5", "--magnification", "fit"}, cmLabels, ""},
      {base + QStringList{"--print", "--printer", "PDF", "--no-verify"}, cmLabels, ""},
      {{"--labels", "list", "--sheet-file", "my.sheet"}, cmLabels, ""},
      {{"--labels", "list", "--batch", "l.csv"}, cmUsageError, "--labels list takes only --sheet-file."},
      {{"--labels", "L7160", "--pdf", "o.pdf"}, cmUsageError, "--labels SHEET needs --batch FILE."},
      {base + QStringList{"--pdf", "o.pdf", "--print"}, cmUsageError, "--pdf and --print cannot be used together."},
      {base + QStringList{"--save-pages", "o.vup", "--printer", "PDF"}, cmUsageError, "--printer goes with --print or --pdf."},
      {base + QStringList{"--verify"}, cmUsageError, "--verify goes with --pdf, --print or --save-pages."},
      {base + QStringList{"--print", "--magnification", "79"}, cmUsageError,
       "--magnification needs a percentage from 80 to 200 (GS1's range) or fit."},
      {base + QStringList{"--print", "--start-at", "0"}, cmUsageError, "--start-at needs a label number from 1."},
      {base + QStringList{"--pdf", "o.pdf", "--magnification", "50", "--outside-gs1"}, cmLabels, ""},
      {base + QStringList{"--pdf", "o.pdf", "--magnification", "49", "--outside-gs1"}, cmUsageError,
       "--magnification needs a percentage from 50 to 200 or fit."},
      {base + QStringList{"--print", "--symbology", "bcCodeMSI"}, cmLabels, ""},
      {base + QStringList{"--pdf", "o.pdf", "--symbology", "MSI", "--verify"}, cmUsageError,
       "--verify cannot check these labels: zbar cannot read MSI."},
      {base + QStringList{"--pdf", "o.pdf", "--symbology", "Code99"}, cmUsageError,
       "Unknown symbology \"Code99\"; velean13 --symbology help lists them."},
      {base + QStringList{"--print", "--text-columns", "2,x"}, cmUsageError,
       "--text-columns needs column numbers from 1, as 2,3."},
      {base + QStringList{"--print", "--value", "1"}, cmUsageError, "--value does not go with --labels."},
      {base + QStringList{"--print", "--batch", "m.csv"}, cmUsageError, "--batch is given twice."},
  };
  for (const auto& c : cases) {
    const TCommandLine r = ParseCommandLine(c.Args);
    EXPECT_EQ(r.Mode, c.Mode) << c.Args.join(u' ').toStdString();
    EXPECT_EQ(r.Error, QString::fromLatin1(c.Error)) << c.Args.join(u' ').toStdString();
  }
}

TEST(LabelsCommand, ListShowsTheUsersOwnSheets) {
  TTempDir dir;
  QDir().mkpath(dir.File("velean13/sheets"));
  WriteFile(dir.File("velean13/sheets/shop.sheet"),
            "[shop]\npaper = Letter\ncolumns = 2\nrows = 5\nlabel = 4 x 2 in\nmargin = 0.15625, 0.5 in\n"
            "pitch = 4.1875, 2 in\ndescription = shelf labels\n");
  const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", dir.Path().toLocal8Bit());
  QByteArray out, err;
  const int status = RunLine({"--labels", "list"}, &out, &err);
  qputenv("XDG_CONFIG_HOME", saved);
  ASSERT_EQ(status, 0) << err.toStdString();
  const QStringList lines = QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts);
  EXPECT_EQ(lines.last(), "shop\tLetter\t2x5\t101.6x50.8 mm\tshelf labels");
  for (const QString& line : lines) EXPECT_EQ(line.count(u'\t'), 4) << line.toStdString();
}

// Print in the labels' viewer window takes the checks of --print, for the sheets of its range:
// a printer without the sheet's paper, or a label that does not read back, stops it with the
// reason shown; otherwise the range prints.
TEST(LabelsCommand, TheViewersPrintChecksThePaperAndReadsTheRangeBack) {
  TRecordedServices services;
  TMemoryPrinterInstall printers({MemoryA4Printer(QStringLiteral("Alpha"), 600)}, QStringLiteral("Alpha"));
  TTempDir dir;
  QStringList expected;
  WriteFile(dir.File("list.txt"), Values(50, expected).join(u'\n').toLatin1());
  const struct {
    const char* Sheet;
    QSet<int> Damaged;
    QString Refusal;  // the start of the message shown; empty: printed
  } cases[] = {
      {"letter-3x10-2.625x1in", {}, "Printer \"Alpha\" has no Letter paper (it gives 210.0 x 297.0 mm)"},
      // Row 3 is on sheet 1, outside the range: only row 45 of sheet 2 counts.
      {"4x10-48.5x25.4", {3, 45}, "Labels that do not read back: 1 of 10; nothing was printed.\nrow 45: the label of " + expected[44]},
      {"4x10-48.5x25.4", {3}, ""},
  };
  for (const auto& c : cases) {
    TViewerForm form;
    LabelTestHook().DropBarOfRows = c.Damaged;
    const bool loaded = LoadLabelsViewer(form, ParseLabelsLine({"--labels", c.Sheet, "--batch", dir.File("list.txt")}), stderr);
    LabelTestHook().DropBarOfRows.clear();
    ASSERT_TRUE(loaded) << c.Sheet;
    services.Messages.clear();
    const size_t jobs = printers.Backend().Jobs.size();
    TViewerPrintChoice choice;
    choice.PrinterIndex = 0;
    choice.FromPage = choice.ToPage = 2;
    form.PrintChoice(choice);
    if (c.Refusal.isEmpty()) {
      EXPECT_TRUE(services.Messages.isEmpty()) << services.Messages.join(u'\n').toStdString();
      ASSERT_EQ(printers.Backend().Jobs.size(), jobs + 1);
      EXPECT_EQ(printers.Backend().Jobs.back()->Pages.size(), 1u);
    } else {
      ASSERT_EQ(services.Messages.size(), 1) << c.Sheet;
      EXPECT_TRUE(services.Messages[0].startsWith(c.Refusal)) << services.Messages[0].toStdString();
      EXPECT_EQ(printers.Backend().Jobs.size(), jobs);
    }
  }
}
