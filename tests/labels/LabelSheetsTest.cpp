// Sheet layouts: the built-in table's geometry, the sheet-file reader, the GS1 sizes and
// the check that reads every recorded label back.
#include <gtest/gtest.h>
#include <QFile>
#include "TestSupport.h"
#include "barcode/Ean13.h"
#include "labels/BuiltinSheets.h"
#include "labels/Gs1Ean13.h"
#include "labels/LabelText.h"
#include "labels/SheetCatalog.h"
#include "labels/SheetFile.h"
#include "labels/LabelPlan.h"
#include "labels/SymbolRules.h"
#include <algorithm>

TEST(LabelSheets, BuiltinSheetsAreSoundAndCoverBothPapers) {
  const auto& sheets = BuiltinLabelSheets();
  EXPECT_GE(sheets.size(), 12u);
  int a4 = 0, letter = 0;
  for (const TLabelSheet& s : sheets) {
    EXPECT_EQ(s.Fault(), QString()) << s.Name.toStdString();
    // The name says the layout and the label size, so the list can be read by eye.
    const QString grid = s.GridText() + u'-';
    EXPECT_TRUE(s.Name.startsWith(grid) || s.Name.startsWith(QStringLiteral("letter-") + grid)) << s.Name.toStdString();
    a4 += s.Paper == A4;
    letter += s.Paper == Letter;
  }
  EXPECT_GE(a4, 6);
  EXPECT_GE(letter, 4);
}

TEST(LabelSheets, SheetFileReadsMillimetresAndInches) {
  const std::vector<TLabelSheet> sheets = ParseSheetFile(QStringLiteral(
      "; my stock\n"
      "[shop-3x7]\n"
      "paper = A4            ; engine name\n"
      "columns = 3\nrows = 7\n"
      "label = 63.5 x 38.1 mm\n"
      "margin = 7.2, 15.15 mm\n"
      "pitch = 66.0, 38.1 mm\n"
      "radius = 2 mm\n"
      "\n"
      "[tiny]\r\n"
      "paper = 4 x 6 in\r\n"
      "columns = 2\r\nrows = 3\r\n"
      "label = 1.5 in x 1.75 in\r\n"
      "margin = 0.4, 0.25 in\r\n"
      "pitch = 1.7, 1.85 in\r\n"), QStringLiteral("my.sheet"));
  ASSERT_EQ(sheets.size(), 2u);
  const TLabelSheet& a = sheets[0];
  EXPECT_EQ(a.Name, "shop-3x7");
  EXPECT_EQ(a.Paper, A4);
  EXPECT_DOUBLE_EQ(a.Cell(4).left(), 7.2 + 66.0);
  EXPECT_DOUBLE_EQ(a.Cell(4).top(), 15.15 + 38.1);
  EXPECT_DOUBLE_EQ(a.Radius, 2);
  const TLabelSheet& b = sheets[1];
  EXPECT_EQ(b.Paper, Custom);
  EXPECT_NEAR(b.PaperWidth, 101.6, 1e-9);
  EXPECT_NEAR(b.LabelHeight, 44.45, 1e-9);
  EXPECT_NEAR(b.Cell(5).right(), (0.4 + 1.7 + 1.5) * 25.4, 1e-9);
  EXPECT_EQ(b.PaperText(), "101.6 x 152.4 mm");
}

TEST(LabelSheets, CatalogLetsAUserSheetReplaceABuiltinOne) {
  TTempDir dir;
  QFile file(dir.File("fix.sheet"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[3x7-63.5x38.1]\npaper = A4\ncolumns = 3\nrows = 7\nlabel = 63.5 x 38.1 mm\n"
             "margin = 7.5, 15 mm\npitch = 66, 38.1 mm\n");
  file.close();
  const TSheetCatalog catalog({}, dir.Path());
  EXPECT_EQ(catalog.Find(QStringLiteral("3X7-63.5X38.1"))->Left, 7.5);
  EXPECT_EQ(catalog.Find(QStringLiteral("l7160"))->Name, "3x7-63.5x38.1");
  const QStringList lines = catalog.ListText().split(u'\n', Qt::SkipEmptyParts);
  EXPECT_EQ(lines.size(), qsizetype(catalog.Sheets().size()));
  EXPECT_TRUE(lines.contains(QStringLiteral("3x8-64x33.9\tA4\t3x8\t64x33.9 mm\t24 address labels (stock L7159)")));
}

TEST(LabelSheets, FitPicksTheLargestWholePercentInGs1Range) {
  struct { double W, H, Expected; } cases[] = {
      {63.5, 38.1, 1.46},   // height-bound: 38.1 / 25.93 = 1.469
      {38.1, 21.2, 0.81},   // width-bound: 38.1 / 37.29 = 1.021, height 21.2 / 25.93 = 0.817
      {199.6, 289.1, 2.00}, // capped at 200 %
      {25.4, 12.7, 0},      // not even 80 %
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(FitMagnification(c.W, c.H), c.Expected) << c.W << " x " << c.H;
  // Bars: two a digit and two in each guard, together as dark as the modules say.
  const QString modules = encodeEAN13(QStringLiteral("4006381333931")).Modules;
  const auto bars = Ean13Bars(modules);
  EXPECT_EQ(bars.size(), 30u);
  int dark = 0;
  for (const TEan13Bar& b : bars) dark += b.Width;
  EXPECT_EQ(dark, modules.count(u'1'));
}

TEST(LabelSheets, SheetFileFaultsNameTheirLine) {
  const char* const good = "[a]\npaper = A4\ncolumns = 3\nrows = 7\nlabel = 63.5 x 38.1 mm\nmargin = 7.2, 15.15 mm\n"
                           "pitch = 66, 38.1 mm\n";
  struct {
    const char* Text;
    int Line;
    const char* Reason;
  } cases[] = {
      {"paper = A4\n", 1, "\"paper\" comes before any [sheet]"},
      {"[a b]\n", 1, "a sheet name is letters"},
      {"[a]\n\n; note\ncolour = red\n", 4, "unknown key \"colour\""},
      {"[a]\npaper = A4\npaper = A5\n", 3, "paper is given twice"},
      {"[a]\npaper = B12\n", 2, "\"B12\" is not a paper name"},
      {"[a]\nlabel = 63.5 x 38.1\n", 2, "label needs two lengths with a unit"},
      {"[a]\nmargin = 7.2 cm, 15 mm\n", 2, "margin needs two lengths"},
      {"[a]\nradius = 2\n", 2, "radius needs a length with a unit"},
      {"[a]\njust words\n", 2, "expected \"[name]\" or \"key = value\""},
      {"[a]\npaper = A4\ncolumns = 3\n\n[b]\n", 1, "sheet \"a\" has no rows"},
      {"[a]\npaper = A4\ncolumns = 3\nrows = 7\nlabel = 63.5 x 38.1 mm\nmargin = 7.2, 15.15 mm\npitch = 60, 38.1 mm\n", 1,
       "the horizontal pitch 60 mm is less than the label width 63.5 mm"},
      {"[a]\npaper = A5\ncolumns = 3\nrows = 7\nlabel = 63.5 x 38.1 mm\nmargin = 7.2, 15.15 mm\npitch = 66, 38.1 mm\n", 1,
       "beyond the A5 paper"},
  };
  for (const auto& c : cases) {
    try {
      ParseSheetFile(QString::fromLatin1(c.Text), QStringLiteral("x.sheet"));
      ADD_FAILURE() << "accepted: " << c.Text;
    } catch (const ESheetFile& e) {
      EXPECT_EQ(e.Line(), c.Line) << c.Text;
      EXPECT_TRUE(e.Message().startsWith(QStringLiteral("x.sheet line %1: ").arg(c.Line))) << e.Message().toStdString();
      EXPECT_TRUE(e.Message().contains(QString::fromLatin1(c.Reason))) << e.Message().toStdString();
    }
  }
  // The same sheet twice in one file is refused at the second header.
  try {
    ParseSheetFile(QString::fromLatin1(good) + QString::fromLatin1(good), QStringLiteral("x.sheet"));
    ADD_FAILURE() << "a sheet defined twice was accepted";
  } catch (const ESheetFile& e) {
    EXPECT_EQ(e.Line(), 8);
  }
}

// Texts under the symbol shrink first, then wrap between words; every line fits the box and
// together the lines hold every word in order; a word wider than the box is never cut.
TEST(LabelSheets, TextsShrinkThenWrapAndAreNeverCut) {
  const QString face = TextFace();
  const QString longText = QStringLiteral("Organic green tea from the hills, twenty bags in a paper box");
  struct {
    QString Text;
    double Width, Height;
    bool Fits;
  } cases[] = {
      {QStringLiteral("Tea"), 40, 10, true},
      {longText, 60, 4, true},    // one line, smaller
      {longText, 30, 20, true},   // wrapped
      {longText, 30, 2, false},   // too many lines for the height
      {QStringLiteral("Supercalifragilisticexpialidocious"), 15, 30, false},
  };
  for (const auto& c : cases) {
    const std::optional<TTextBlock> block = FitTexts({c.Text}, face, c.Width, c.Height);
    ASSERT_EQ(block.has_value(), c.Fits) << c.Text.toStdString() << " in " << c.Width;
    if (!block) continue;
    EXPECT_LE(block->Height(), c.Height);
    for (const QString& line : block->Lines) EXPECT_LE(TextWidthMm(face, block->PixelHeight, line), c.Width);
    EXPECT_EQ(block->Lines.join(u' '), c.Text);
    EXPECT_GE(block->PixelHeight, LabelTextMinPixels);
  }
  // Shrinking comes before wrapping: a text that fits one line at some size is not wrapped.
  EXPECT_EQ(FitTexts({longText}, face, 60, 4)->Lines.size(), 1);
  EXPECT_GT(FitTexts({longText}, face, 30, 20)->Lines.size(), 1);
}

// Every symbology has its rules, and the bars read from the component's element string are
// as wide as the component draws them (at a module width that makes the ratio whole).
TEST(LabelSheets, SymbolBarsSpanWhatTheComponentDraws) {
  struct {
    TBarcodeType Typ;
    const char* Text;
  } cases[] = {
      {bcCode_2_5_interleaved, "123456"}, {bcCode_2_5_industrial, "1234"}, {bcCode_2_5_matrix, "1234"},
      {bcCode39, "ABC-12"},               {bcCode39Extended, "Ab-1"},      {bcCode128A, "AB-12"},
      {bcCode128B, "Ab-12"},              {bcCode128C, "123456"},          {bcCode93, "ABC-12"},
      {bcCode93Extended, "Abc"},          {bcCodeMSI, "1234"},             {bcCodePostNet, "12345"},
      {bcCodeCodabar, "12345"},           {bcCodeEAN8, "12345670"},        {bcCodeEAN13, "4006381333931"},
      {bcCodeUPC_A, "036000291452"},      {bcCodeUPC_E0, "4252614"},       {bcCodeUPC_E1, "4252612"},
      {bcCodeUPC_Supp2, "12"},            {bcCodeUPC_Supp5, "12345"},      {bcCodeEAN128A, "AB12"},
      {bcCodeEAN128B, "Ab12"},            {bcCodeEAN128C, "0112345678901231"},
  };
  static_assert(std::size(cases) == BarcodeTypeCount);
  for (const auto& c : cases) {
    const TSymbolRules& rules = SymbolRules(c.Typ);
    EXPECT_EQ(rules.Typ, c.Typ) << c.Text;
    // Modul 4 with the rules' ratio gives whole pixel widths 4, 4R, 6R and 8R.
    TNyBarcode barcode;
    barcode.SetTyp(c.Typ);
    barcode.SetModul(4);
    barcode.SetRatio(rules.WideRatio);
    barcode.SetText(QString::fromLatin1(c.Text));
    const QString elements = barcode.MakeData();
    double width = 0;
    const std::vector<TSymbolBar> bars = SymbolBars(rules, elements, &width);
    EXPECT_DOUBLE_EQ(width * 4, barcode.GetWidth()) << c.Text;
    EXPECT_EQ(bars.size(), size_t(std::count_if(elements.begin(), elements.end(), [](QChar e) { return e >= u'5'; })));
  }
  // EAN-13's bars and guards are those of its own drawing.
  const QString modules = encodeEAN13(QStringLiteral("4006381333931")).Modules;
  TNyBarcode barcode;
  barcode.SetText(QStringLiteral("4006381333931"));
  const std::vector<TSymbolBar> bars = SymbolBars(SymbolRules(bcCodeEAN13), barcode.MakeData());
  const std::vector<TEan13Bar> own = Ean13Bars(modules);
  ASSERT_EQ(bars.size(), own.size());
  for (size_t i = 0; i < own.size(); ++i) {
    EXPECT_EQ(bars[i].Module, own[i].Module);
    EXPECT_EQ(bars[i].Guard, own[i].Guard);
  }
}

// The plan's fit: the largest whole percent that fits, in the symbology's range first, below
// it only when asked (then shorter bars only where even 50 % is too tall), and always said.
// The size chosen fits the label and one percent more does not.
TEST(LabelSheets, FitStaysInRangeUnlessAskedAndSaysSo) {
  struct {
    double W, H;
    TBarcodeType Typ;
    double Modules;
    bool Outside;
    double Magnification, BarScale;
    const char* Said;  // the warning, or the problem when nothing fits; "" for neither
  } cases[] = {
      {48.5, 25.4, bcCodeEAN13, 95, false, 0.91, 1, ""},
      {44.45, 12.7, bcCodeEAN13, 95, false, 0, 1, "The symbol at 80 % needs 29.83 × 20.74 mm"},
      {44.45, 12.7, bcCodeEAN13, 95, true, 0.90, 0.40, "at 90 % with their bars shortened to 40 %"},
      {25.4, 19.0, bcCodeEAN13, 95, true, 0.67, 1, "The symbols are at 67 %, outside GS1's range of 80–200 %."},
      {99.1, 38.1, bcCodeEAN128C, 134, false, 1.04, 1, ""},
      {63.5, 38.1, bcCodeEAN128C, 134, false, 0, 1, "GS1 allows 100 % to 200 %."},
      {63.5, 38.1, bcCodeEAN128C, 134, true, 0.83, 1, "The symbols are at 83 %, outside GS1's range of 100–200 %"},
      {38.1, 21.2, bcCode39, 103, false, 0.93, 1, ""},
      {38.1, 21.2, bcCode39, 200, true, 0.52, 1, "The symbols are at 52 %, outside the range kept for Code39 of 80–200 %"},
  };
  for (const auto& c : cases) {
    TLabelRequest request;
    request.Sheet.Name = QStringLiteral("t");
    request.Sheet.LabelWidth = c.W;
    request.Sheet.LabelHeight = c.H;
    request.Symbology = c.Typ;
    request.Modules = c.Modules;
    request.OutsideRange = c.Outside;
    const TLabelPlan plan = PlanLabels(request);
    const QString said = (plan.Problems + plan.Warnings).filter(QStringLiteral(" %")).join(u'\n');
    const std::string name = BarcodeTypeName(c.Typ).toStdString() + " on " + std::to_string(c.W) + " x " + std::to_string(c.H);
    EXPECT_EQ(said.isEmpty(), *c.Said == 0) << name << ": " << said.toStdString();
    EXPECT_TRUE(said.contains(QString::fromUtf8(c.Said))) << name << ": " << said.toStdString();
    if (c.Magnification == 0) {
      EXPECT_FALSE(plan.Problems.isEmpty()) << name;
      continue;
    }
    ASSERT_TRUE(plan.Problems.isEmpty()) << name << ": " << plan.Problems.join(u' ').toStdString();
    const TSymbolSize& size = plan.Geometry.Size;
    EXPECT_DOUBLE_EQ(size.Magnification, c.Magnification) << name;
    EXPECT_DOUBLE_EQ(size.BarScale, c.BarScale) << name;
    EXPECT_LE(size.WidthWithQuietZones(), c.W + 1e-9) << name;
    EXPECT_LE(size.Height(), c.H + 1e-9) << name;
    TSymbolSize larger = size;
    larger.Magnification += 0.01;
    EXPECT_TRUE(larger.WidthWithQuietZones() > c.W || larger.Height() > c.H - 2 * LabelTextEdge || larger.Magnification > 2)
        << name;
  }
}
