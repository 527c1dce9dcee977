#include "app/Settings.h"
#include <QByteArray>
#include <algorithm>
#include <cstring>
#include "platform/Files.h"

bool TSettingsRecord::Load(const QString& fileName) {
  std::optional<QByteArray> data = ReadFileHead(fileName, RecordSize);
  if (!data) return false;
  std::memcpy(FBytes.data(), data->constData(), size_t(data->size()));
  return true;
}

bool TSettingsRecord::Save(const QString& fileName) const {
  if (!CanWriteFile(fileName)) return false;
  try {
    WriteFileReplacing(fileName, QByteArray(reinterpret_cast<const char*>(FBytes.data()), RecordSize));
  } catch (...) {
    return false;
  }
  return true;
}

QString TSettingsRecord::Value() const {
  const uint8_t* begin = FBytes.data();
  const uint8_t* end = std::find(begin, begin + ValueSize, uint8_t(0));
  // The platform's single-byte code page; Latin-1 keeps every byte as one character.
  return QString::fromLatin1(reinterpret_cast<const char*>(begin), end - begin);
}

void TSettingsRecord::SetValue(const QString& text) {
  QByteArray bytes = text.left(ValueSize - 1).toLatin1();
  std::memcpy(FBytes.data(), bytes.constData(), size_t(bytes.size()));
  FBytes[size_t(bytes.size())] = 0;
}
