// An independent encoder as oracle: the module patterns of zint (--dump) against this
// component's element strings expanded to modules, at least 50 texts per symbology.
//
// Where this component deliberately differs, the texts stay out of the comparison:
// - Interleaved 2 of 5 drops the last digit of an odd-length text (zint pads a leading
//   zero): only even lengths are compared.
// - Code 39 skips characters outside its table (zint refuses them): texts from the table.
// - Code 39 Extended and Code 93 Extended write '-' as /M and '.' as /N, and Code 93
//   Extended writes '$', '%', '/' and '+' with their shift pairs; zint uses the plain
//   characters. Texts without them are compared.
// - Code 128 A and EAN-128 A: zint cannot be held in set A. Set A and set B give the same
//   values to space .. underscore, so the data characters are compared with zint's set B
//   symbol and only start and check differ; those are checked by the decoder test.
// - Code 128 B / EAN-128 B turn characters outside the set into spaces: printable texts only.
// - EAN-128: zint chooses its code sets itself; the compared texts are ones it encodes in
//   one set (digits in C, texts without digits in B), under the free application
//   identifier 90 (its "[90]" prefix is the leading "90" of the text).
// - PostNet carries no check digit, hangs its half bars from the top and spaces its bars
//   two modules apart: only the sequence of full and half bars is compared, without
//   zint's check digit.
#include <gtest/gtest.h>
#include <QFile>
#include <random>
#include "TestSupport.h"
#include "barcode/Barcode.h"
#include "barcode/Bcchksum.h"

namespace {

struct TCase {
  QString Text;       // for this component
  bool Checksum = false;
  QString ZintInput;  // for zint
};

struct TGroup {
  const char* Name;
  TBarcodeType Typ;
  int ZintType;
  QStringList ZintArgs;
  double Ratio = 2.0;
  std::vector<TCase> Cases;
};

std::mt19937& Random() {
  static std::mt19937 random(20261209);
  return random;
}

QString RandomText(const QString& alphabet, int minLength, int maxLength) {
  std::uniform_int_distribution<int> length(minLength, maxLength);
  std::uniform_int_distribution<int> pick(0, int(alphabet.size()) - 1);
  QString text;
  for (int n = length(Random()); n > 0; --n) text += alphabet[pick(Random())];
  return text;
}

const QString Digits = QStringLiteral("0123456789");
const QString Code39Chars = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%");

QString AsciiWithout(const QString& excluded) {
  QString s;
  for (int c = 0; c < 128; ++c)
    if (!excluded.contains(QChar(c))) s += QChar(c);
  return s;
}

// zint --esc form: controls as \xNN, backslash doubled.
QString Escaped(const QString& text) {
  QString out;
  for (QChar c : text) {
    if (c == u'\\') out += QStringLiteral("\\\\");
    else if (c.unicode() < 32 || c.unicode() == 127) out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QChar(u'0'));
    else out += c;
  }
  return out;
}

// Modules of an element string: bars '1', spaces '0', each as wide as its module width.
QString Modules(TNyBarcode& b, const QString& elements) {
  QString out;
  for (QChar c : elements) {
    int w;
    TBarLineType t;
    b.OneBarProps(c, w, t);
    out += QString(w, t == white ? u'0' : u'1');
  }
  while (out.endsWith(u'0')) out.chop(1);
  return out;
}

QString HexRowToModules(const QString& row) {
  QString out;
  for (QChar c : row) {
    if (c == u' ') continue;
    const int v = QString(c).toInt(nullptr, 16);
    for (int bit = 3; bit >= 0; --bit) out += (v >> bit) & 1 ? u'1' : u'0';
  }
  while (out.endsWith(u'0')) out.chop(1);
  return out;
}

// Runs zint once over every case of the group; returns its dump lines.
QStringList ZintDump(const TGroup& g, int rows, bool escape) {
  TTempDir dir;
  QFile input(dir.File(QStringLiteral("input.txt")));
  EXPECT_TRUE(input.open(QIODevice::WriteOnly));
  for (const TCase& c : g.Cases) input.write((escape ? Escaped(c.ZintInput) : c.ZintInput).toLatin1() + '\n');
  input.close();
  QStringList args{QStringLiteral("--batch"), QStringLiteral("--dump"), QStringLiteral("-b"),
                   QString::number(g.ZintType), QStringLiteral("-i"), input.fileName()};
  if (escape) args << QStringLiteral("--esc");
  args << g.ZintArgs;
  QByteArray out, err;
  EXPECT_EQ(RunProgram(QStringLiteral("zint"), args, &out, &err), 0) << err.toStdString();
  // Warnings about non-standard lengths are harmless; errors would shift the lines.
  EXPECT_FALSE(err.contains("Error")) << g.Name << ": " << err.toStdString();
  QStringList lines = QString::fromLatin1(out).split(u'\n', Qt::SkipEmptyParts);
  EXPECT_EQ(lines.size(), qsizetype(g.Cases.size()) * rows) << g.Name;
  return lines;
}

void CompareModules(const TGroup& g, bool escape = false) {
  ASSERT_GE(g.Cases.size(), 25u) << g.Name;
  const QStringList dumps = ZintDump(g, 1, escape);
  ASSERT_EQ(dumps.size(), qsizetype(g.Cases.size()));
  int compared = 0;
  for (size_t i = 0; i < g.Cases.size(); ++i) {
    const TCase& c = g.Cases[i];
    TNyBarcode b;
    b.SetTyp(g.Typ);
    b.SetRatio(g.Ratio);
    b.SetText(c.Text);
    b.SetChecksum(c.Checksum);
    const QString ours = Modules(b, b.MakeData());
    EXPECT_EQ(ours, HexRowToModules(dumps[qsizetype(i)]))
        << g.Name << " text \"" << Escaped(c.Text).toStdString() << "\" checksum " << c.Checksum;
    ++compared;
  }
  EXPECT_EQ(compared, int(g.Cases.size()));
}

TGroup Group(const char* name, TBarcodeType typ, int zintType, QStringList zintArgs = {}, double ratio = 2.0) {
  TGroup g{name, typ, zintType, std::move(zintArgs), ratio, {}};
  return g;
}

void AddSame(TGroup& g, const QString& alphabet, int minLength, int maxLength, int count, bool checksum = false,
             int lengthStep = 1) {
  for (int i = 0; i < count; ++i) {
    QString t = RandomText(alphabet, minLength, maxLength);
    if (lengthStep == 2 && t.size() % 2 == 1) t.chop(1);
    if (t.isEmpty()) t = alphabet.left(lengthStep);
    g.Cases.push_back({t, checksum, t});
  }
}

// zint takes only the shortest form of a UPC-A number: a six-digit text that a shorter rule
// would have written otherwise is refused there (this component draws it as it is).
bool CanonicalUPCE(const QString& six) {
  const QChar last = six[5];
  if (last == u'3') return six[2] >= u'3';
  if (last == u'4') return six[3] != u'0';
  if (last >= u'5') return six[4] != u'0';
  return true;
}

}  // namespace

class SymbologyZint : public testing::Test {
 protected:
  void SetUp() override {
    if (!HaveProgram(QStringLiteral("zint"))) GTEST_SKIP() << "zint is not installed";
  }
};

TEST_F(SymbologyZint, TwoOfFive) {
  TGroup interleaved = Group("2_5_interleaved", bcCode_2_5_interleaved, 3, {}, 3.0);
  AddSame(interleaved, Digits, 2, 30, 50, false, 2);
  CompareModules(interleaved);
  TGroup industrial = Group("2_5_industrial", bcCode_2_5_industrial, 7, {}, 3.0);
  AddSame(industrial, Digits, 1, 30, 50);
  CompareModules(industrial);
  TGroup matrix = Group("2_5_matrix", bcCode_2_5_matrix, 2, {}, 3.0);
  AddSame(matrix, Digits, 1, 30, 50);
  CompareModules(matrix);
}

TEST_F(SymbologyZint, Code39) {
  TGroup plain = Group("Code39", bcCode39, 8);
  AddSame(plain, Code39Chars, 1, 25, 50);
  CompareModules(plain);
  TGroup checked = Group("Code39 check", bcCode39, 8, {QStringLiteral("--vers=1")});
  AddSame(checked, Code39Chars, 1, 25, 50, true);
  CompareModules(checked);

  TGroup extended = Group("Code39 Extended", bcCode39Extended, 9);
  AddSame(extended, AsciiWithout(QStringLiteral("-.")), 1, 20, 50);
  CompareModules(extended, true);
  TGroup extendedChecked = Group("Code39 Extended check", bcCode39Extended, 9, {QStringLiteral("--vers=1")});
  AddSame(extendedChecked, AsciiWithout(QStringLiteral("-.")), 1, 20, 25, true);
  CompareModules(extendedChecked, true);
}

TEST_F(SymbologyZint, Code93) {
  TGroup plain = Group("Code93", bcCode93, 25);
  AddSame(plain, Code39Chars, 1, 40, 50);  // long texts wrap both check weights
  CompareModules(plain);
  TGroup extended = Group("Code93 Extended", bcCode93Extended, 25);
  AddSame(extended, AsciiWithout(QStringLiteral("-.$%/+")), 1, 30, 50);
  CompareModules(extended, true);
}

TEST_F(SymbologyZint, Code128) {
  QString printable;
  for (int c = 32; c < 127; ++c) printable += QChar(c);
  TGroup b = Group("Code128B", bcCode128B, 60);
  AddSame(b, printable, 1, 30, 50);
  CompareModules(b);
  TGroup c = Group("Code128C", bcCode128C, 20);
  AddSame(c, Digits, 2, 40, 50, false, 2);
  CompareModules(c);

  // EAN-128 under application identifier 90.
  TGroup eanC = Group("EAN128C", bcCodeEAN128C, 16);
  for (int i = 0; i < 50; ++i) {
    QString rest = RandomText(Digits, 2, 28);
    if (rest.size() % 2 == 1) rest.chop(1);
    eanC.Cases.push_back({QStringLiteral("90") + rest, false, QStringLiteral("[90]") + rest});
  }
  // With Checksum the completed text is encoded.
  for (int i = 0; i < 25; ++i) {
    // An even text, so that the completed one is odd and ends in set B.
    QString rest = RandomText(Digits, 2, 27);
    if (rest.size() % 2 == 1) rest.chop(1);
    const QString text = QStringLiteral("90") + rest;
    eanC.Cases.push_back({text, true, QStringLiteral("[90]") + CheckSumModulo10(text).mid(2)});
  }
  CompareModules(eanC);
  TGroup eanB = Group("EAN128B", bcCodeEAN128B, 16);
  const QString gs1 = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz!\"%&'*+,-./:;<=>?_");
  for (int i = 0; i < 50; ++i) {
    const QString rest = RandomText(gs1, 1, 28);
    eanB.Cases.push_back({QStringLiteral("90") + rest, false, QStringLiteral("[90]") + rest});
  }
  CompareModules(eanB);
}

// Set A shares the values of space .. underscore with set B: between the start character
// and the check character the symbols are the same.
TEST_F(SymbologyZint, Code128ADataMatchesSetB) {
  QString setA;
  for (int c = 32; c < 96; ++c) setA += QChar(c);
  for (auto [typ, zintType, prefix] : {std::tuple{bcCode128A, 60, ""}, std::tuple{bcCodeEAN128A, 16, "90"}}) {
    TGroup g = Group(typ == bcCode128A ? "Code128A" : "EAN128A", typ, zintType);
    const QString gs1A = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ!\"%&'*+,-./:;<=>?_");
    for (int i = 0; i < 50; ++i) {
      const QString rest = RandomText(typ == bcCode128A ? setA : gs1A, 1, 25);
      g.Cases.push_back({QLatin1String(prefix) + rest, false,
                         (typ == bcCode128A ? QString() : QStringLiteral("[90]")) + rest});
    }
    const QStringList dumps = ZintDump(g, 1, false);
    ASSERT_EQ(dumps.size(), 50);
    for (int i = 0; i < 50; ++i) {
      TNyBarcode b;
      b.SetTyp(typ);
      b.SetText(g.Cases[size_t(i)].Text);
      const QString ours = Modules(b, b.MakeData());
      const QString theirs = HexRowToModules(dumps[i]);
      ASSERT_EQ(ours.size(), theirs.size());
      EXPECT_EQ(ours.left(11), QStringLiteral("11010000100"));  // start A
      EXPECT_EQ(ours.mid(11, ours.size() - 11 - 24), theirs.mid(11, theirs.size() - 11 - 24))
          << g.Name << " " << g.Cases[size_t(i)].Text.toStdString();
    }
  }
}

TEST_F(SymbologyZint, MSIAndCodabar) {
  TGroup msi = Group("MSI", bcCodeMSI, 47, {QStringLiteral("--vers=1")});
  AddSame(msi, Digits, 1, 30, 50);
  CompareModules(msi);
  TGroup codabar = Group("Codebar", bcCodeCodabar, 18);
  for (int i = 0; i < 50; ++i) {
    const QString t = RandomText(QStringLiteral("0123456789-$:/.+"), 1, 25);
    codabar.Cases.push_back({t, false, u'A' + t + u'B'});
  }
  CompareModules(codabar);
}

TEST_F(SymbologyZint, EANAndUPC) {
  TGroup ean8 = Group("EAN8", bcCodeEAN8, 13);
  TGroup ean13 = Group("EAN13", bcCodeEAN13, 13);
  TGroup upcA = Group("UPC_A", bcCodeUPC_A, 34);
  TGroup upcE0 = Group("UPC_E0", bcCodeUPC_E0, 37);
  TGroup upcE1 = Group("UPC_E1", bcCodeUPC_E1, 37);
  TGroup supp2 = Group("UPC Supp2", bcCodeUPC_Supp2, 13);
  TGroup supp5 = Group("UPC Supp5", bcCodeUPC_Supp5, 13);
  for (int i = 0; i < 50; ++i) {
    const bool checksum = i % 2 == 0;
    // Without Checksum the text carries its own (right) check digit.
    const QString d7 = RandomText(Digits, 7, 7), d12 = RandomText(Digits, 12, 12);
    ean8.Cases.push_back({checksum ? d7 : CheckSumModulo10(d7), checksum, d7});
    ean13.Cases.push_back({checksum ? d12 : CheckSumModulo10(d12), checksum, d12});
    const QString d11 = RandomText(Digits, 11, 11);
    upcA.Cases.push_back({checksum ? d11 : CheckSumModulo10(d11), checksum, d11});
    // UPC-E: six digits, plus any seventh digit without Checksum (the parity comes from the
    // computed check digit).
    QString six;
    do six = RandomText(Digits, 6, 6);
    while (!CanonicalUPCE(six));
    upcE0.Cases.push_back({checksum ? six : six + u'9', checksum, six});
    upcE1.Cases.push_back({checksum ? six : six + u'0', checksum, u'1' + six});
    const QString two = RandomText(Digits, 2, 2), five = RandomText(Digits, 5, 5);
    supp2.Cases.push_back({two, checksum, two});
    supp5.Cases.push_back({five, checksum, five});
  }
  for (TGroup* g : {&ean8, &ean13, &upcA, &upcE0, &upcE1, &supp2, &supp5}) CompareModules(*g);
}

TEST_F(SymbologyZint, PostNetBarHeights) {
  TGroup g = Group("PostNet", bcCodePostNet, 40);
  for (int i = 0; i < 50; ++i) {
    const QString t = RandomText(Digits, 5, 5) + (i % 3 == 0 ? QString() : RandomText(Digits, 4, 4)) +
                      (i % 3 == 2 ? RandomText(Digits, 2, 2) : QString());
    g.Cases.push_back({t, false, t});
  }
  const QStringList dumps = ZintDump(g, 2, false);
  ASSERT_EQ(dumps.size(), 100);
  for (int i = 0; i < 50; ++i) {
    TNyBarcode b;
    b.SetTyp(bcCodePostNet);
    b.SetText(g.Cases[size_t(i)].Text);
    QString ours;
    for (QChar c : b.MakeData())
      if (c == u'5' || c == u'A') ours += c == u'5' ? u'F' : u'H';
    const QString tall = HexRowToModules(dumps[2 * i]), all = HexRowToModules(dumps[2 * i + 1]);
    QString theirs;
    for (qsizetype x = 0; x < all.size(); ++x)
      if (all[x] == u'1') theirs += x < tall.size() && tall[x] == u'1' ? u'F' : u'H';
    theirs.remove(theirs.size() - 6, 5);  // zint's check digit before the closing frame bar
    EXPECT_EQ(ours, theirs) << g.Cases[size_t(i)].Text.toStdString();
  }
}
