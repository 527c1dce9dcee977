// The settings record of "VelEAN13.cfg": 190 bytes, read and written whole. Bytes 0..79 hold
// the value field's text as single-byte characters ended by a zero byte; bytes 80..189 are
// reserved and written back exactly as read.
#pragma once
#include <QString>
#include <array>
#include <cstdint>

class TSettingsRecord {
 public:
  static constexpr int RecordSize = 190;
  static constexpr int ValueSize = 80;
  static constexpr const char* FileName = "VelEAN13.cfg";

  TSettingsRecord() { FBytes.fill(0); }
  // Reads up to 190 bytes; a shorter file fills only its length. False (record unchanged)
  // when the file is missing, is not a file (a folder of that name), or cannot be opened or
  // read: a read error is not an empty file, so the caller keeps its design value.
  bool Load(const QString& fileName);
  // Writes all 190 bytes, replacing the file only once they are written. A file that cannot
  // be written is skipped without a message; false then.
  bool Save(const QString& fileName) const;

  // The value area up to its first zero byte; all 80 bytes when it holds none.
  QString Value() const;
  // Stores text followed by a zero byte; bytes after the terminator stay as they were. A text
  // longer than 79 characters is cut to 79, so the terminator always fits.
  void SetValue(const QString& text);

  const std::array<uint8_t, RecordSize>& Bytes() const { return FBytes; }

 private:
  std::array<uint8_t, RecordSize> FBytes;
};
