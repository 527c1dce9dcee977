#include "app/CsvReader.h"
#include <QStringDecoder>

ECsvError::ECsvError(int line, const QString& reason)
    : Exception(QStringLiteral("CSV line %1: %2").arg(line).arg(reason)), FLine(line) {}

namespace {
// The UTF-8 check goes line by line so that a bad byte is reported where it is.
void CheckUtf8(const QByteArray& data) {
  int line = 1;
  qsizetype start = 0;
  while (start <= data.size()) {
    qsizetype end = data.indexOf('\n', start);
    if (end < 0) end = data.size();
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(QByteArrayView(data).sliced(start, end - start));
    if (decoder.hasError()) throw ECsvError(line, QStringLiteral("the text is not UTF-8."));
    ++line;
    start = end + 1;
  }
}
}  // namespace

namespace {
QString Decoded(const QByteArray& bytes) {
  QByteArrayView data(bytes);
  if (data.startsWith("\xEF\xBB\xBF")) data = data.sliced(3);
  CheckUtf8(data.toByteArray());
  return QString::fromUtf8(data);
}
}  // namespace

TCsvRecords::TCsvRecords(const QByteArray& data) : FText(Decoded(data)) {}

void TCsvRecords::Rewind() {
  FAt = 0;
  FLine = 1;
}

bool TCsvRecords::Next(QStringList& record) {
  const QString& text = FText;
  qsizetype& i = FAt;
  int& line = FLine;
  const qsizetype n = text.size();
  record.clear();
  if (i >= n) return false;
  QString field;
  // A record ends at CR LF or LF; a file's last line may lack it.
  while (i < n) {
    if (text[i] == u'"') {
      // A quoted field: up to the closing quote, which a comma, the line end or the file's
      // end must follow.
      const int opened = line;
      ++i;
      for (;;) {
        if (i >= n) throw ECsvError(opened, QStringLiteral("a quoted field is not closed."));
        const QChar c = text[i];
        if (c == u'"') {
          if (i + 1 < n && text[i + 1] == u'"') {
            field += u'"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        if (c == u'\n') ++line;
        field += c;
        ++i;
      }
      if (i < n && text[i] != u',' && text[i] != u'\n' && !(text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n') &&
          !(text[i] == u'\r' && i + 1 == n))
        throw ECsvError(line, QStringLiteral("a quoted field is followed by \"%1\" instead of a comma.").arg(text[i]));
    } else {
      const qsizetype from = i;
      while (i < n && text[i] != u',' && text[i] != u'\n' && text[i] != u'\r') {
        if (text[i] == u'"') throw ECsvError(line, QStringLiteral("a quotation mark inside a field that is not quoted."));
        ++i;
      }
      field += QStringView(text).sliced(from, i - from);
      if (i < n && text[i] == u'\r' && !(i + 1 < n && text[i + 1] == u'\n') && i + 1 != n)
        throw ECsvError(line, QStringLiteral("a carriage return inside a field that is not quoted."));
    }
    if (i >= n) break;
    if (text[i] == u',') {
      record << field;
      field.clear();
      ++i;
      // A comma at the very end still opens one more, empty field.
      if (i >= n) break;
      continue;
    }
    if (text[i] == u'\r') ++i;
    ++i;  // the LF
    ++line;
    break;
  }
  record << field;
  return true;
}

TCsvTable ParseCsv(const QByteArray& bytes) {
  TCsvRecords records(bytes);
  TCsvTable table;
  QStringList record;
  while (records.Next(record)) table.push_back(record);
  return table;
}

