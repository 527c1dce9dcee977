// Writes the manual page velean13(1): a template of the fixed sections, filled in with the
// program's own usage table (the one --help prints), the barcode component's options and its
// symbology names. Run at build time: velean13_manual TEMPLATE OUTPUT DATADIR DATE.
#include <QFile>
#include <QString>
#include <QStringList>
#include <cstdio>
#include "app/CommandLine.h"
#include "app/SymbologyCommand.h"
#include "barcode/Barcode.h"

namespace {
// Text as roff shows it: backslashes and hyphens escaped, no line taken for a request.
QString Roff(const QString& text) {
  QString out;
  for (QChar c : text) {
    if (c == u'\\') out += QStringLiteral("\\e");
    else if (c == u'-') out += QStringLiteral("\\-");
    else out += c;
  }
  if (out.startsWith(u'.') || out.startsWith(u'\'')) out.prepend(QStringLiteral("\\&"));
  return out;
}

// A synopsis with its options in bold and the values to fill in (TEXT, FILE) in italics.
QString Synopsis(const QString& synopsis) {
  QStringList words;
  for (const QString& word : synopsis.split(u' ', Qt::SkipEmptyParts)) {
    qsizetype open = 0, close = word.size();
    while (open < close && (word[open] == u'[' || word[open] == u'(')) ++open;
    while (close > open && (word[close - 1] == u']' || word[close - 1] == u')')) --close;
    const QString core = word.mid(open, close - open);
    QString shown = Roff(core);
    if (core.startsWith(u'-')) shown = QStringLiteral("\\fB%1\\fR").arg(shown);
    else if (core != core.toLower() && !core.contains(u'|')) shown = QStringLiteral("\\fI%1\\fR").arg(shown);
    words << Roff(word.left(open)) + shown + Roff(word.mid(close));
  }
  return QStringLiteral("\\fBvelean13\\fR") + (words.isEmpty() ? QString() : u' ' + words.join(u' '));
}

QString SynopsisSection() {
  QStringList lines;
  for (const TUsageForm& form : CommandLineForms()) lines << Synopsis(QLatin1String(form.Synopsis)) + QStringLiteral("\n.br");
  return lines.join(u'\n');
}

QString ModesSection() {
  QStringList items;
  for (const TUsageForm& form : CommandLineForms()) {
    QString text = QString::fromLatin1(form.Text);
    text[0] = text[0].toUpper();
    items << QStringLiteral(".TP\n%1\n%2.").arg(Synopsis(QLatin1String(form.Synopsis)), Roff(text));
  }
  return items.join(u'\n');
}

// The component's usage as it prints it, without its first "Usage:" line (the synopsis has
// that form already), kept in its columns.
QString SymbologySection() {
  QStringList lines = QString::fromLatin1(SymbologyCommandUsage()).split(u'\n', Qt::SkipEmptyParts);
  if (!lines.isEmpty() && lines.first().startsWith(QLatin1String("Usage:"))) {
    const QString form = lines.takeFirst().mid(6).trimmed();
    lines.prepend(QString());
    lines.prepend(form);
  }
  QStringList out{QStringLiteral(".nf")};
  for (const QString& line : lines) out << Roff(line);
  out << QStringLiteral(".fi") << QStringLiteral(".PP")
      << QStringLiteral("The symbologies, by value name and display name:") << QStringLiteral(".PP")
      << QStringLiteral(".nf");
  for (int i = 0; i < BarcodeTypeCount; ++i)
    out << Roff(QStringLiteral("%1  %2").arg(BarcodeTypeValueName(TBarcodeType(i)), -24).arg(BarcodeTypeName(TBarcodeType(i))));
  out << QStringLiteral(".fi");
  return out.join(u'\n');
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fputs("usage: velean13_manual TEMPLATE OUTPUT DATADIR DATE\n", stderr);
    return 2;
  }
  QFile in(QFile::decodeName(argv[1]));
  if (!in.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "velean13_manual: cannot read %s\n", argv[1]);
    return 1;
  }
  QString page = QString::fromUtf8(in.readAll());
  page.replace(QLatin1String("@VERSION@"), QLatin1String(VELEAN13_VERSION));
  page.replace(QLatin1String("@DATE@"), QString::fromLatin1(argv[4]));
  page.replace(QLatin1String("@DATADIR@"), Roff(QFile::decodeName(argv[3])));
  page.replace(QLatin1String("@SYNOPSIS@"), SynopsisSection());
  page.replace(QLatin1String("@MODES@"), ModesSection());
  page.replace(QLatin1String("@SYMBOLOGY@"), SymbologySection());
  QFile out(QFile::decodeName(argv[2]));
  if (!out.open(QIODevice::WriteOnly) || out.write(page.toUtf8()) < 0) {
    std::fprintf(stderr, "velean13_manual: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
