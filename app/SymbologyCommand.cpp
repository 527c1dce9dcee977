#include "app/SymbologyCommand.h"
#include "app/HeadlessServices.h"
#include "app/SymbologyText.h"
#include <QRegularExpression>
#include <cmath>
#include <optional>
#include "barcode/Barcode.h"
#include "platform/Errors.h"
#include "platform/Graphics.h"

namespace {

const char* const Usage =
    "Usage: velean13 --symbology NAME --text TEXT [options] (--elements | --save FILE)\n"
    "  NAME                 a symbology, by value name (bcCode128B) or display name\n"
    "                       (\"Code128B\"), in any case; --symbology help lists them\n"
    "  --text TEXT          the text to encode\n"
    "  --checksum           add the symbology's optional check digit\n"
    "  --modul N            narrow module width in pixels, 1 to 49 (default 1)\n"
    "  --ratio R            wide to narrow ratio (default 2)\n"
    "  --height H           bar height in pixels (default 50)\n"
    "  --angle DEG          rotation, counter-clockwise (default 0)\n"
    "  --show-text none|code|typ|both   draw the text, the symbology's name, or both\n"
    "  --text-position NAME TopLeft, TopRight, TopCenter, BottomLeft, BottomRight or\n"
    "                       BottomCenter (an stp prefix is allowed; default TopLeft)\n"
    "  --elements           print the element string\n"
    "  --save FILE          save the symbol with a quiet zone as a Windows bitmap\n";

constexpr int DefaultHeight = 50;

void Print(FILE* f, const QString& text) {
  QByteArray bytes = text.toLocal8Bit();
  std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f);
  std::fputc('\n', f);
}

// A refusal of the command line itself, reported like the component's errors.
struct TUsageError {
  QString Message;
};

QString TypeList() {
  QString list = QStringLiteral("Symbologies (value name, display name):");
  for (int i = 0; i < BarcodeTypeCount; ++i)
    list += QStringLiteral("\n  %1  \"%2\"").arg(BarcodeTypeValueName(TBarcodeType(i)), -24)
                .arg(BarcodeTypeName(TBarcodeType(i)));
  return list;
}

TShowTextPosition ParsePosition(const QString& text) {
  static const char* const names[] = {"TopLeft", "TopRight", "TopCenter",
                                      "BottomLeft", "BottomRight", "BottomCenter"};
  QString name = text;
  if (name.startsWith(QStringLiteral("stp"), Qt::CaseInsensitive)) name = name.mid(3);
  for (int i = 0; i < 6; ++i)
    if (name.compare(QLatin1String(names[i]), Qt::CaseInsensitive) == 0) return TShowTextPosition(i);
  throw TUsageError{QStringLiteral("Unknown text position \"%1\".").arg(text)};
}

TBarcodeOption ParseShowText(const QString& text) {
  static const char* const names[] = {"none", "code", "typ", "both"};
  for (int i = 0; i < 4; ++i)
    if (text.compare(QLatin1String(names[i]), Qt::CaseInsensitive) == 0) return TBarcodeOption(i);
  throw TUsageError{QStringLiteral("--show-text takes none, code, typ or both, not \"%1\".").arg(text)};
}

int ParseInt(const QString& option, const QString& text, int low, int high) {
  bool ok = false;
  const int value = text.toInt(&ok);
  if (!ok || value < low || value > high)
    throw TUsageError{QStringLiteral("%1 takes a whole number from %2 to %3, not \"%4\".")
                          .arg(option).arg(low).arg(high).arg(text)};
  return value;
}

double ParseDouble(const QString& option, const QString& text, double low, double high) {
  bool ok = false;
  const double value = text.toDouble(&ok);
  if (!ok || !std::isfinite(value) || value < low || value > high)
    throw TUsageError{QStringLiteral("%1 takes a number from %2 to %3, not \"%4\".")
                          .arg(option).arg(low).arg(high).arg(text)};
  return value;
}

int Run(const QStringList& args, FILE* out) {
  QString symbology, saveFile;
  std::optional<QString> text;
  bool elements = false, save = false, checksum = false;
  TNyBarcode barcode;
  barcode.SetHeight(DefaultHeight);

  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    if (arg == QLatin1String("--checksum")) { checksum = true; continue; }
    if (arg == QLatin1String("--elements")) { elements = true; continue; }
    if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
      std::fputs(Usage, out);
      return 0;
    }
    static const char* const valued[] = {"--symbology", "--text", "--modul", "--ratio", "--height",
                                         "--angle", "--show-text", "--text-position", "--save"};
    bool known = false;
    for (const char* name : valued) known = known || arg == QLatin1String(name);
    if (!known) throw TUsageError{QStringLiteral("Unknown option \"%1\".").arg(arg)};
    if (i + 1 >= args.size()) throw TUsageError{QStringLiteral("%1 needs a value.").arg(arg)};
    const QString value = args[++i];
    if (arg == QLatin1String("--symbology")) symbology = value;
    else if (arg == QLatin1String("--text")) text = value;
    else if (arg == QLatin1String("--modul")) barcode.SetModul(ParseInt(arg, value, 1, 49));
    else if (arg == QLatin1String("--ratio")) barcode.SetRatio(ParseDouble(arg, value, 1.0, 10.0));
    else if (arg == QLatin1String("--height")) barcode.SetHeight(ParseInt(arg, value, 1, 10000));
    else if (arg == QLatin1String("--angle")) barcode.SetAngle(ParseDouble(arg, value, -36000.0, 36000.0));
    else if (arg == QLatin1String("--show-text")) barcode.SetShowText(ParseShowText(value));
    else if (arg == QLatin1String("--text-position")) barcode.SetShowTextPosition(ParsePosition(value));
    else { save = true; saveFile = value; }
  }

  if (symbology.compare(QLatin1String("help"), Qt::CaseInsensitive) == 0) {
    std::fputs(Usage, out);
    Print(out, TypeList());
    return 0;
  }
  const std::optional<TBarcodeType> typ = FindSymbology(symbology);
  if (!typ) throw TUsageError{QStringLiteral("Unknown symbology \"%1\". %2").arg(symbology, TypeList())};
  barcode.SetTyp(*typ);
  if (!text) throw TUsageError{QStringLiteral("--symbology needs --text TEXT.")};
  if (elements == save) throw TUsageError{QStringLiteral("Give either --elements or --save FILE.")};
  if (save && saveFile.isEmpty()) throw TUsageError{QStringLiteral("--save needs a file name.")};
  // A text the symbology cannot carry as given is refused, not drawn as some other data.
  const TSymbologyText checked = CheckSymbologyText(*typ, *text, checksum);
  if (!checked.Problem.isEmpty()) throw TUsageError{checked.Problem};
  barcode.SetChecksum(checked.Checksum);
  barcode.SetText(checked.Text);

  if (elements) {
    Print(out, barcode.MakeData());
    return 0;
  }
  DrawBarcodeBitmap(barcode)->SaveToFile(saveFile);
  return 0;
}

}  // namespace

const char* SymbologyCommandUsage() { return Usage; }

int RunSymbologyCommand(const QStringList& args, FILE* out, FILE* err) {
  try {
    THeadlessServices headless;
    return Run(args, out);
  } catch (const TUsageError& error) {
    Print(err, error.Message);
  } catch (const EAssertionFailed& error) {
    // The component's assertions name the place in its sources that found the fault; a
    // person at the command line gets the fault alone.
    Print(err, QString(error.Message()).remove(QRegularExpression(QStringLiteral(" \\([^()]*, line [0-9]+\\)$"))));
  } catch (const Exception& error) {
    Print(err, error.Message());
  } catch (const std::exception& error) {
    Print(err, QString::fromLocal8Bit(error.what()));
  }
  return 1;
}
