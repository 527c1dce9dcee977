#include "app/CommandLine.h"
#include <QDir>
#include <QFile>
#include <QTextStream>
#include "barcode/Barcode.h"
#include "barcode/Ean13.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/SysUtils.h"

namespace {
const char* const Usage =
    "Usage:\n"
    "  velean13                          start the barcode maker window\n"
    "  velean13 --value TEXT --save FILE complete TEXT to 13 digits and save its barcode as BMP\n"
    "  velean13 --modules TEXT           print the completed value and its 95 modules\n"
    "  velean13 --batch LIST --out DIR   save DIR/<value>.bmp for every line of LIST\n"
    "  velean13 --symbology NAME --text TEXT ...  any symbology of the barcode component\n"
    "                                    (velean13 --symbology help lists its options)\n"
    "  velean13 --help                   this text\n";

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

QString Option(const QStringList& args, const QString& name, bool* present = nullptr) {
  qsizetype i = args.indexOf(name);
  if (present) *present = i >= 0;
  return i >= 0 && i + 1 < args.size() ? args[i + 1] : QString();
}

int SaveOne(const QStringList& args, FILE* out, FILE* err) {
  bool hasSave = false;
  QString file = Option(args, QStringLiteral("--save"), &hasSave);
  if (!hasSave || file.isEmpty()) {
    Print(err, QStringLiteral("--value needs --save FILE"));
    return 2;
  }
  TEncoded e = Encode(Option(args, QStringLiteral("--value")));
  if (!e.Ok) {
    Print(err, e.Message);
    return 1;
  }
  WriteFileReplacing(file, EAN13BitmapFile(*RenderEAN13(e.Value, e.Modules)));
  Print(out, e.Value);
  return 0;
}

int Modules(const QStringList& args, FILE* out, FILE* err) {
  TEncoded e = Encode(Option(args, QStringLiteral("--modules")));
  if (!e.Ok) {
    Print(err, e.Message);
    return 1;
  }
  Print(out, e.Value);
  Print(out, e.Modules);
  return 0;
}

int Batch(const QStringList& args, FILE* out, FILE* err) {
  QString list = Option(args, QStringLiteral("--batch"));
  QString dir = Option(args, QStringLiteral("--out"));
  if (list.isEmpty() || dir.isEmpty()) {
    Print(err, QStringLiteral("--batch needs a LIST file and --out DIR"));
    return 2;
  }
  QFile input(list);
  if (!input.open(QIODevice::ReadOnly)) {
    Print(err, QStringLiteral("Cannot open file \"%1\". %2").arg(list, input.errorString()));
    return 1;
  }
  if (!QDir().mkpath(dir)) {
    Print(err, QStringLiteral("Cannot create folder \"%1\".").arg(dir));
    return 1;
  }
  QDir target(dir);
  int written = 0, refused = 0, lineNo = 0;
  while (!input.atEnd()) {
    QByteArray raw = input.readLine();
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
      QByteArray bmp = EAN13BitmapFile(*RenderEAN13(e.Value, e.Modules));
      // New files of a batch need no flush to disk one by one: a failed write still
      // leaves no partial file behind.
      WriteFileReplacing(target.filePath(e.Value + QStringLiteral(".bmp")), bmp, false);
      ++written;
    } catch (const Exception& error) {
      Print(err, QStringLiteral("line %1: %2").arg(lineNo).arg(error.Message()));
      ++refused;
    }
  }
  Print(out, QStringLiteral("%1 written, %2 refused").arg(written).arg(refused));
  return refused ? 1 : 0;
}
}  // namespace

bool IsEan13Command(const QStringList& args) {
  for (const char* flag : {"--value", "--modules", "--batch", "--help", "-h"})
    if (args.contains(QLatin1String(flag))) return true;
  return false;
}

int RunEan13Command(const QStringList& args, FILE* out, FILE* err) {
  try {
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
      std::fputs(Usage, out);
      return 0;
    }
    if (args.contains(QStringLiteral("--modules"))) return Modules(args, out, err);
    if (args.contains(QStringLiteral("--batch"))) return Batch(args, out, err);
    if (args.contains(QStringLiteral("--value"))) return SaveOne(args, out, err);
  } catch (const Exception& error) {
    Print(err, error.Message());
    return 1;
  }
  std::fputs(Usage, err);
  return 2;
}
