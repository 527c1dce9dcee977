// The --symbology command line of the real program: element strings, saved bitmaps that a
// reader decodes, and refusals with exit code 1.
#include <gtest/gtest.h>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include "TestSupport.h"
#include "barcode/Barcode.h"

namespace {

const QString Program = QStringLiteral(VELEAN13_BINARY_DIR "/app/velean13");

struct TResult {
  int Code = -1;
  QString Out, Err;
};

// Runs without a display and without a platform choice, as from a plain terminal.
TResult RunCommand(const QStringList& args) {
  QByteArray out, err;
  TResult r;
  r.Code = RunProgram(QStringLiteral("env"),
                      QStringList{QStringLiteral("-u"), QStringLiteral("DISPLAY"), QStringLiteral("-u"),
                                  QStringLiteral("QT_QPA_PLATFORM"), Program} + args,
                      &out, &err);
  r.Out = QString::fromLocal8Bit(out).trimmed();
  // Qt's own start-up notes are not the program's messages.
  QStringList lines;
  for (const QString& line : QString::fromLocal8Bit(err).split(u'\n', Qt::SkipEmptyParts))
    if (!line.startsWith(QLatin1String("QStandardPaths:"))) lines << line;
  r.Err = lines.join(u'\n');
  return r;
}

QString Elements(TBarcodeType typ, const QString& text, bool checksum = false) {
  TNyBarcode b;
  b.SetTyp(typ);
  b.SetText(text);
  b.SetChecksum(checksum);
  return b.MakeData();
}

}  // namespace

class SymbologyCommand : public testing::Test {
 protected:
  void SetUp() override {
    if (!QFile::exists(Program)) GTEST_SKIP() << "program not built";
  }
};

TEST_F(SymbologyCommand, ElementsByValueOrDisplayNameInAnyCase) {
  TResult r = RunCommand({"--symbology", "bcCode128B", "--text", "AB", "--elements"});
  EXPECT_EQ(r.Code, 0) << r.Err.toStdString();
  EXPECT_EQ(r.Out, Elements(bcCode128B, QStringLiteral("AB")));
  r = RunCommand({"--symbology", "code39 EXTENDED", "--text", "ab", "--checksum", "--elements"});
  EXPECT_EQ(r.Code, 0) << r.Err.toStdString();
  EXPECT_EQ(r.Out, Elements(bcCode39Extended, QStringLiteral("ab"), true));
  r = RunCommand({"--symbology", "Codebar", "--text", "123", "--elements", "--ratio", "3", "--modul", "4"});
  EXPECT_EQ(r.Out, Elements(bcCodeCodabar, QStringLiteral("123")));
  r = RunCommand({"--symbology", "help"});
  EXPECT_EQ(r.Code, 0);
  EXPECT_TRUE(r.Out.contains(QLatin1String("bcCodeUPC_Supp5"))) << r.Out.toStdString();
  EXPECT_TRUE(r.Out.contains(QLatin1String("\"UPC Supp5\"")));
}

TEST_F(SymbologyCommand, RefusalsGoToStandardErrorWithExitOne) {
  struct TCase {
    QStringList Args;
    QString Message;  // the whole error text, or its start when it ends in "..."
  };
  TTempDir dir;
  const TCase cases[] = {
      // Texts the symbology cannot carry as given: the first offending character or rule.
      {{"--symbology", "Code39", "--text", "abc", "--elements"},
       "Code39 cannot carry \"a\" (character 1 of the text): it takes 0 to 9, A to Z (capitals), space and - . $ / + %."},
      {{"--symbology", "Code39", "--text", "A~B", "--elements"}, "Code39 cannot carry \"~\" (character 2 of the text)..."},
      {{"--symbology", "Code93", "--text", "abc", "--elements"}, "Code93 cannot carry \"a\" (character 1 of the text)..."},
      {{"--symbology", "EAN13", "--text", "12a", "--elements"}, "EAN13 cannot carry \"a\" (character 3 of the text): it takes digits 0 to 9."},
      {{"--symbology", "Codebar", "--text", "A1234B", "--elements"}, "Codebar cannot carry \"A\" (character 1 of the text)..."},
      {{"--symbology", "Code128A", "--text", "ab", "--elements"}, "Code128A cannot carry \"a\" (character 1 of the text)..."},
      {{"--symbology", "Code39 Extended", "--text", "\u00e9", "--elements"}, "Code39 Extended cannot carry \"\u00e9\"..."},
      {{"--symbology", "2_5_interleaved", "--text", "1234567", "--elements"},
       "2_5_interleaved encodes digits in pairs: 7 digits are an odd number."},
      {{"--symbology", "2_5_interleaved", "--text", "123456", "--checksum", "--elements"},
       "2_5_interleaved encodes digits in pairs: 6 digits and the check digit are an odd number."},
      {{"--symbology", "Code128C", "--text", "12345", "--elements"}, "Code128C encodes digits in pairs: 5 digits are an odd number."},
      {{"--symbology", "EAN13", "--text", "4006381333932", "--elements"}, "EAN13: the check digit of 400638133393 is 1, not 2."},
      {{"--symbology", "UPC_A", "--text", "036000291453", "--elements"}, "UPC_A: the check digit of 03600029145 is 2, not 3."},
      {{"--symbology", "UPC_E0", "--text", "1234560", "--elements"}, "UPC_E0: the check digit of 123456 is 5, not 0."},
      {{"--symbology", "EAN8", "--text", "123456789", "--elements"},
       "EAN8 takes 7 digits, or 8 ending in their check digit; not 9."},
      {{"--symbology", "UPC_A", "--text", "0360002914", "--elements"}, "UPC_A takes 11 digits, or 12 ending in their check digit; not 10."},
      {{"--symbology", "UPC Supp5", "--text", "123", "--elements"}, "UPC Supp5 takes exactly 5 digits, not 3."},
      {{"--symbology", "MSI", "--text", "", "--elements"}, "MSI needs a text to encode."},
      // The command line itself.
      {{"--symbology", "Code 11", "--text", "1", "--elements"}, "Unknown symbology \"Code 11\"...."},
      {{"--symbology", "EAN13", "--elements"}, "--symbology needs --text TEXT."},
      {{"--symbology", "EAN13", "--text", "1"}, "Give either --elements or --save FILE."},
      {{"--symbology", "EAN13", "--text", "1", "--elements", "--save", dir.File("x.bmp")},
       "Give either --elements or --save FILE."},
      {{"--symbology", "EAN13", "--text", "1", "--modul", "50", "--elements"}, "--modul takes a whole number from 1 to 49..."},
      {{"--symbology", "EAN13", "--text", "1", "--angle", "x", "--elements"}, "--angle takes a number..."},
      {{"--symbology", "EAN13", "--text", "1", "--show-text", "all", "--elements"}, "--show-text takes none..."},
      {{"--symbology", "EAN13", "--text", "1", "--text-position", "Middle", "--elements"}, "Unknown text position..."},
      {{"--symbology", "EAN13", "--text", "1", "--colour", "red", "--elements"}, "Unknown option \"--colour\"."},
      {{"--symbology", "EAN13", "--text"}, "--text needs a value."},
      {{"--symbology", "EAN13", "--text", "400638133393", "--save", dir.File("missing/x.bmp")}, "Cannot create file..."},
  };
  for (const TCase& c : cases) {
    const TResult r = RunCommand(c.Args);
    const std::string line = c.Args.join(u' ').toStdString();
    EXPECT_EQ(r.Code, 1) << line;
    if (c.Message.endsWith(QLatin1String("...")))
      EXPECT_TRUE(r.Err.startsWith(c.Message.chopped(3))) << line << " -> " << r.Err.toStdString();
    else
      EXPECT_EQ(r.Err, c.Message) << line;
    // No message names a place in the program's sources.
    EXPECT_FALSE(r.Err.contains(QLatin1String(".cpp"))) << line;
    EXPECT_TRUE(r.Out.isEmpty());
  }
  EXPECT_FALSE(QFile::exists(dir.File("x.bmp")));
}

// A missing check digit is completed: the symbol is the one of the complete number.
TEST_F(SymbologyCommand, MissingCheckDigitIsCompleted) {
  const struct {
    const char* Name;
    const char* Short;
    TBarcodeType Typ;
    const char* Complete;
  } cases[] = {
      {"EAN13", "400638133393", bcCodeEAN13, "4006381333931"},
      {"EAN8", "9638507", bcCodeEAN8, "96385074"},
      {"UPC_A", "03600029145", bcCodeUPC_A, "036000291452"},
      {"UPC_E0", "123456", bcCodeUPC_E0, "1234565"},
  };
  for (const auto& c : cases) {
    const TResult r = RunCommand({"--symbology", c.Name, "--text", c.Short, "--elements"});
    EXPECT_EQ(r.Code, 0) << c.Name << ": " << r.Err.toStdString();
    EXPECT_EQ(r.Out, Elements(c.Typ, QString::fromLatin1(c.Complete))) << c.Name;
  }
}

TEST_F(SymbologyCommand, SavedBitmapHoldsSymbolAndQuietZone) {
  TTempDir dir;
  const QString file = dir.File(QStringLiteral("code.bmp"));
  TResult r = RunCommand({"--symbology", "EAN13", "--text", "400638133393", "--checksum", "--modul", "3", "--height", "70",
                   "--save", file});
  ASSERT_EQ(r.Code, 0) << r.Err.toStdString();
  QFile raw(file);
  ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
  EXPECT_TRUE(raw.read(2) == "BM");
  QImage image(file);
  // 95 modules of 3 pixels and 70 pixels of bars, one pixel of outline, 30 pixels of quiet zone around.
  EXPECT_EQ(image.size(), QSize(286 + 1 + 60, 70 + 1 + 60));
  for (int x = 0; x < image.width(); ++x) {
    EXPECT_EQ(image.pixel(x, 29), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(x, image.height() - 30), qRgb(255, 255, 255));
  }
  EXPECT_EQ(image.pixel(30, 30), qRgb(0, 0, 0));  // the first guard bar

  // The text below and the name above make it taller.
  r = RunCommand({"--symbology", "EAN13", "--text", "400638133393", "--checksum", "--modul", "3", "--height", "70",
           "--show-text", "both", "--text-position", "stpBottomCenter", "--save", file});
  ASSERT_EQ(r.Code, 0) << r.Err.toStdString();
  EXPECT_GT(QImage(file).height(), 70 + 1 + 60 + 20);
}

// Every symbology the reader knows, saved by the program at 0 and 90 degrees.
TEST_F(SymbologyCommand, SavedSymbolsDecode) {
  if (!HaveProgram(QStringLiteral("zbarimg"))) GTEST_SKIP() << "zbarimg is not installed";
  struct TCase {
    const char* Name;
    const char* Text;
    bool Checksum;
    const char* Read;
  };
  const TCase cases[] = {
      {"EAN13", "400638133393", true, "EAN-13:4006381333931"},
      {"bcCodeEAN8", "9638507", true, "EAN-8:96385074"},
      {"UPC_A", "03600029145", true, "UPC-A:036000291452"},
      {"UPC_E0", "123456", true, "UPC-E:01234565"},
      {"2_5_interleaved", "12345678", false, "I2/5:12345678"},
      {"Code39", "VELEAN13", false, "CODE-39:VELEAN13"},
      {"Code93", "CODE 93", false, "CODE-93:CODE 93"},
      {"Code128A", "ABC-123", false, "CODE-128:ABC-123"},
      {"Code128B", "Velmor 13", false, "CODE-128:Velmor 13"},
      {"Code128C", "12345678", false, "CODE-128:12345678"},
      {"EAN128A", "LOT 7", false, "CODE-128:LOT 7"},
      {"EAN128B", "10abc", false, "CODE-128:10abc"},
      {"EAN128C", "0104006381", true, "CODE-128:01040063819"},
      {"Codebar", "40156", false, "Codabar:A40156B"},
  };
  TTempDir dir;
  QStringList files, wanted;
  int n = 0;
  for (const TCase& c : cases)
    for (const char* angle : {"0", "90"}) {
      const QString file = dir.File(QStringLiteral("s%1.bmp").arg(n++));
      QStringList args{"--symbology", c.Name, "--text", c.Text, "--modul", "2", "--height", "60", "--angle", angle,
                       "--save", file};
      if (c.Checksum) args << "--checksum";
      const TResult r = RunCommand(args);
      ASSERT_EQ(r.Code, 0) << c.Name << ": " << r.Err.toStdString();
      files << file;
      wanted << QString::fromLatin1(c.Read);
    }
  QByteArray out;
  RunProgram(QStringLiteral("zbarimg"),
             QStringList{"--xml", "-q", "-Supca.enable", "-Supce.enable", "-Scodabar.enable"} + files, &out);
  const QString xml = QString::fromUtf8(out);
  for (qsizetype i = 0; i < files.size(); ++i) {
    const QString type = wanted[i].section(u':', 0, 0), data = wanted[i].section(u':', 1);
    const QRegularExpression found(
        QStringLiteral("<source href='%1'>.*?<symbol type='%2'[^>]*>.*?<data><!\\[CDATA\\[%3\\]\\]></data>.*?</source>")
            .arg(QRegularExpression::escape(files[i]), QRegularExpression::escape(type), QRegularExpression::escape(data)),
        QRegularExpression::DotMatchesEverythingOption);
    EXPECT_TRUE(found.match(xml).hasMatch()) << files[i].toStdString() << " should read " << wanted[i].toStdString();
  }
}
