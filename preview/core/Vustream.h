// Page files: the binary framing of the blocks (TVuWriter, TVuReader), the name=value lists
// most records are made of (TVuValueList), and the field tables that describe a record's
// names once, so that one mechanism writes them, reads them and supplies their defaults.
#pragma once
#include <QByteArray>
#include <QHash>
#include <QIODevice>
#include <QString>
#include <span>
#include <variant>
#include <vector>
#include "platform/Types.h"
#include "preview/core/Vutypes.h"

// The version a page file of this engine carries in its "V" entry.
constexpr Extended VuFileVersion = 2.96L;

// Writes the framing items to a stream it does not own. A stream that takes fewer bytes
// than given raises EWriteError.
class TVuWriter {
 public:
  explicit TVuWriter(QIODevice& stream) : FStream(stream) {}
  QIODevice& Stream() const { return FStream; }
  void WriteBytes(const char* data, qint64 count);
  void WriteByte(uint8_t value) { WriteBytes(reinterpret_cast<const char*>(&value), 1); }
  // 4 bytes, little-endian two's complement.
  void WriteInteger(int32_t value);
  // The length, then the bytes; no terminator.
  void WriteString(const QByteArray& text);
  void WriteStream(const QByteArray& block) { WriteString(block); }
  // A block of the lines, each followed by CR LF.
  void WriteStringList(const std::vector<QByteArray>& lines);

 private:
  QIODevice& FStream;
};

// Reads the framing items. A stream that ends early, or a declared length that is negative
// or larger than what the stream still holds, raises EReadError ("Stream read error"), so
// damaged data never makes the reader allocate more than the stream has.
class TVuReader {
 public:
  explicit TVuReader(QIODevice& stream) : FStream(stream) {}
  QIODevice& Stream() const { return FStream; }
  // Bytes left before the end; -1 for a sequential stream, which cannot tell.
  qint64 Remaining() const;
  QByteArray ReadBytes(qint64 count);
  uint8_t ReadByte();
  int32_t ReadInteger();
  QByteArray ReadString();
  QByteArray ReadStream() { return ReadString(); }
  // The block's lines; CR LF, CR and LF each end a line.
  std::vector<QByteArray> ReadStringList();
  // A record count that cannot be right: negative, or more records of at least minBytes
  // each than the stream still holds, raises EReadError.
  void CheckCount(int32_t count, qint64 minBytes) const;

 private:
  QIODevice& FStream;
};

[[noreturn]] void RaiseStreamReadError();

// Lines of the form name=value, kept in the order the names were first written. Names are
// found without regard to letter case; the value is everything after the first "=". An
// empty value is never stored: writing one removes the name. Numbers are written with a
// full stop as decimal separator whatever the locale.
class TVuValueList {
 public:
  int Count() const { return int(FLines.size()); }
  void Clear();
  // A line as it is (the object records start with two empty lines).
  void AddLine(const QString& line);
  QString Line(int index) const;
  int IndexOfName(const QString& name) const;
  bool HasName(const QString& name) const { return IndexOfName(name) >= 0; }
  // The value after the first "=", or fallback when the name is missing.
  QString Value(const QString& name, const QString& fallback = QString()) const;
  // Replaces the line of a present name in place, else appends; an empty value removes it.
  void SetValue(const QString& name, const QString& value);

  void WriteIntValue(const QString& name, int64_t value);
  int64_t ReadIntValue(const QString& name, int64_t fallback) const;
  void WriteBoolValue(const QString& name, bool value);
  // True when the integer's lowest byte is not 0.
  bool ReadBoolValue(const QString& name, bool fallback) const;
  // Three decimals ("0.000"), rounded halves to even.
  void WriteExtValue(const QString& name, Extended value);
  Extended ReadExtValue(const QString& name, Extended fallback) const;
  // As it is. A value with line breaks keeps its first line under name, which every reader
  // of the format understands, and the whole value, with its breaks escaped, under name~.
  void WriteStringValue(const QString& name, const QString& value);
  QString ReadStringValue(const QString& name, const QString& fallback) const;
  // Each coordinate as round(v x 1000), comma-separated; read back / 1000.
  void WriteVuPointValue(const QString& name, const TVuPoint& value);
  TVuPoint ReadVuPointValue(const QString& name, const TVuPoint& fallback) const;
  // Left, Top, Right, Bottom; a present but empty value reads as (0, 0, 0, 0).
  void WriteVuRectValue(const QString& name, const TVuRect& value);
  TVuRect ReadVuRectValue(const QString& name, const TVuRect& fallback) const;
  // As a point; each coordinate rounded to an integer when read.
  void WritePointValue(const QString& name, const TPoint& value);
  TPoint ReadPointValue(const QString& name, const TPoint& fallback) const;

  // One string-list block.
  void SaveToStream(TVuWriter& writer) const;
  void LoadFromStream(TVuReader& reader);
  void SaveToStream(QIODevice& stream) const;
  void LoadFromStream(QIODevice& stream);

 private:
  struct TLine {
    QString Name;
    QString Value;
    bool Named = false;  // false: a line without "="
  };
  void Reindex() const;
  std::vector<TLine> FLines;
  // Lower-cased name to the first line that has it; built for long lists only.
  mutable QHash<QString, int> FIndex;
  mutable bool FIndexValid = false;
};

// Number parsing of the value encodings; anything else raises EConvertError.
int64_t VuStrToInt64(const QString& text);
// Optional sign, digits, an optional full stop with digits.
Extended VuStrToExt(const QString& text);
QString VuExtToStr(Extended value);

// ---- field tables --------------------------------------------------------------------------
// A record's names are described once, each with its kind (the alternative its default
// holds), its load default, how it is read from and put into the object, and whether it is
// written. WriteFields and ReadFields are the one mechanism for every record.

using TVuFieldValue = std::variant<int64_t, bool, Extended, QString, TVuPoint, TVuRect, TPoint>;

template <class C>
struct TVuField {
  const char* Name;
  TVuFieldValue Default;
  TVuFieldValue (*Get)(const C& object);
  void (*Set)(C& object, const TVuFieldValue& value);
  // Null: always written.
  bool (*Written)(const C& object) = nullptr;
};

void WriteFieldValue(TVuValueList& list, const QString& name, const TVuFieldValue& value);
// The stored value in the kind of fallback, or fallback when the name is missing.
TVuFieldValue ReadFieldValue(const TVuValueList& list, const QString& name, const TVuFieldValue& fallback);

template <class C>
void WriteFields(TVuValueList& list, const C& object, std::span<const TVuField<C>> fields) {
  for (const TVuField<C>& f : fields)
    if (!f.Written || f.Written(object)) WriteFieldValue(list, QString::fromLatin1(f.Name), f.Get(object));
}

template <class C>
void ReadFields(const TVuValueList& list, C& object, std::span<const TVuField<C>> fields) {
  for (const TVuField<C>& f : fields) f.Set(object, ReadFieldValue(list, QString::fromLatin1(f.Name), f.Default));
}

// Typed views of a field value, for the tables' Set functions.
inline int64_t VuInt(const TVuFieldValue& v) { return std::get<int64_t>(v); }
inline bool VuBool(const TVuFieldValue& v) { return std::get<bool>(v); }
inline Extended VuExt(const TVuFieldValue& v) { return std::get<Extended>(v); }
inline const QString& VuStr(const TVuFieldValue& v) { return std::get<QString>(v); }
inline const TVuPoint& VuPt(const TVuFieldValue& v) { return std::get<TVuPoint>(v); }
inline const TVuRect& VuRc(const TVuFieldValue& v) { return std::get<TVuRect>(v); }
// An integer that must lie in lo..hi (an enumeration, a count, an index): else EConvertError.
int VuIntIn(const TVuFieldValue& v, int lo, int hi, const char* what);
