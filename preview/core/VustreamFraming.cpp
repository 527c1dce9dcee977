// The binary framing of page files: little-endian integers, length-prefixed strings and
// blocks, and string lists whose lines end with CR LF.
#include "platform/Errors.h"
#include "platform/Files.h"
#include "preview/core/Vustream.h"

void RaiseStreamReadError() { throw EReadError(QStringLiteral("Stream read error")); }

namespace {
[[noreturn]] void RaiseStreamWriteError() { throw EWriteError(QStringLiteral("Stream write error")); }
}  // namespace

void TVuWriter::WriteBytes(const char* data, qint64 count) {
  if (count <= 0) return;
  if (FStream.write(data, count) != count) RaiseStreamWriteError();
}

void TVuWriter::WriteInteger(int32_t value) {
  const uint32_t u = uint32_t(value);
  const char bytes[4] = {char(u & 0xFF), char((u >> 8) & 0xFF), char((u >> 16) & 0xFF), char((u >> 24) & 0xFF)};
  WriteBytes(bytes, 4);
}

void TVuWriter::WriteString(const QByteArray& text) {
  if (text.size() > INT32_MAX) RaiseStreamWriteError();
  WriteInteger(int32_t(text.size()));
  WriteBytes(text.constData(), text.size());
}

void TVuWriter::WriteStringList(const std::vector<QByteArray>& lines) {
  qsizetype size = 0;
  for (const QByteArray& line : lines) size += line.size() + 2;
  QByteArray block;
  block.reserve(size);
  for (const QByteArray& line : lines) {
    block += line;
    block += "\r\n";
  }
  WriteStream(block);
}

qint64 TVuReader::Remaining() const {
  if (FStream.isSequential()) return -1;
  return std::max<qint64>(0, FStream.size() - FStream.pos());
}

QByteArray TVuReader::ReadBytes(qint64 count) {
  if (count < 0) RaiseStreamReadError();
  if (count == 0) return QByteArray();
  const qint64 remaining = Remaining();
  if (remaining >= 0 && count > remaining) RaiseStreamReadError();
  // ReadAtMost grows its buffer with what really arrives, so a sequential stream cannot make
  // a damaged length cost memory either.
  QByteArray bytes = ReadAtMost(FStream, count);
  if (bytes.size() != count) RaiseStreamReadError();
  return bytes;
}

uint8_t TVuReader::ReadByte() {
  char c;
  if (FStream.read(&c, 1) != 1) RaiseStreamReadError();
  return uint8_t(c);
}

int32_t TVuReader::ReadInteger() {
  unsigned char b[4];
  if (FStream.read(reinterpret_cast<char*>(b), 4) != 4) RaiseStreamReadError();
  return int32_t(uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24));
}

QByteArray TVuReader::ReadString() { return ReadBytes(ReadInteger()); }

std::vector<QByteArray> TVuReader::ReadStringList() {
  const QByteArray block = ReadStream();
  std::vector<QByteArray> lines;
  const char* p = block.constData();
  const qsizetype n = block.size();
  qsizetype start = 0;
  for (qsizetype i = 0; i < n; ++i) {
    if (p[i] != '\r' && p[i] != '\n') continue;
    lines.emplace_back(p + start, i - start);
    if (p[i] == '\r' && i + 1 < n && p[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < n) lines.emplace_back(p + start, n - start);
  return lines;
}

void TVuReader::CheckCount(int32_t count, qint64 minBytes) const {
  if (count < 0) RaiseStreamReadError();
  const qint64 remaining = Remaining();
  if (remaining >= 0 && qint64(count) * minBytes > remaining) RaiseStreamReadError();
}
