// The resource table in page files: the brush, pen and font records (one value list each,
// described once by their field tables), the five lists with their counts, the graphic
// records with their end positions and the memo records.
#include <QBuffer>
#include "platform/Errors.h"
#include "platform/Finally.h"
#include "platform/Jpeg.h"
#include "platform/Memo.h"
#include "platform/Metafile.h"
#include "preview/core/Vufuncs.h"
#include "preview/document/Vuresource.h"
#include "preview/core/Vustream.h"

namespace {

// The least bytes a record can take: one empty value-list block, or a kind and a length.
constexpr qint64 kMinValueListRecord = 4;
constexpr qint64 kMinGraphicRecord = 5;
constexpr qint64 kMinMemoRecord = 8;
// The kind byte written for a picture that has no file image (a placeholder of a skipped
// record): read back, it is skipped again.
constexpr uint8_t kNoPictureKind = 255;

TColor ColorIn(const TVuFieldValue& v) { return VuIntIn(v, INT32_MIN, INT32_MAX, "colour"); }

const TVuField<TVuBrush> kBrushFields[] = {
    {"CL", int64_t(16777215), [](const TVuBrush& b) -> TVuFieldValue { return int64_t(b.GetColor()); },
     [](TVuBrush& b, const TVuFieldValue& v) { b.SetColor(ColorIn(v)); }},
    {"ST", int64_t(0), [](const TVuBrush& b) -> TVuFieldValue { return int64_t(b.GetStyle()); },
     [](TVuBrush& b, const TVuFieldValue& v) { b.SetStyle(TBrushStyle(VuIntIn(v, bsSolid, bsDiagCross, "brush style"))); }},
};

const TVuField<TVuPen> kPenFields[] = {
    {"CL", int64_t(0), [](const TVuPen& p) -> TVuFieldValue { return int64_t(p.GetColor()); },
     [](TVuPen& p, const TVuFieldValue& v) { p.SetColor(ColorIn(v)); }},
    {"SZ", int64_t(1), [](const TVuPen& p) -> TVuFieldValue { return int64_t(p.GetWidth()); },
     [](TVuPen& p, const TVuFieldValue& v) { p.SetWidth(VuIntIn(v, 0, 1 << 20, "pen width")); }},
    {"ST", int64_t(0), [](const TVuPen& p) -> TVuFieldValue { return int64_t(p.GetStyle()); },
     [](TVuPen& p, const TVuFieldValue& v) { p.SetStyle(TPenStyle(VuIntIn(v, psSolid, psInsideFrame, "pen style"))); }},
    {"PM", int64_t(4), [](const TVuPen& p) -> TVuFieldValue { return int64_t(p.GetMode()); },
     [](TVuPen& p, const TVuFieldValue& v) { p.SetMode(TPenMode(VuIntIn(v, pmBlack, pmNotXor, "pen mode"))); }},
};

const TVuField<TVuFont> kFontFields[] = {
    {"CL", int64_t(16777215), [](const TVuFont& f) -> TVuFieldValue { return int64_t(f.GetColor()); },
     [](TVuFont& f, const TVuFieldValue& v) { f.SetColor(ColorIn(v)); }},
    {"ST", QString(), [](const TVuFont& f) -> TVuFieldValue { return FontStyleToString(f.GetStyle()); },
     [](TVuFont& f, const TVuFieldValue& v) { f.SetStyle(FontStyleFromString(VuStr(v))); }},
    {"FA", Extended(0), [](const TVuFont& f) -> TVuFieldValue { return f.GetAngle(); },
     [](TVuFont& f, const TVuFieldValue& v) { f.SetAngle(VuExt(v)); }},
    {"SZ", int64_t(10), [](const TVuFont& f) -> TVuFieldValue { return int64_t(f.GetSize()); },
     [](TVuFont& f, const TVuFieldValue& v) { f.SetSize(VuIntIn(v, -10000, 10000, "font size")); }},
    {"CS", int64_t(1), [](const TVuFont& f) -> TVuFieldValue { return int64_t(f.GetCharset()); },
     [](TVuFont& f, const TVuFieldValue& v) { f.SetCharset(TFontCharset(VuIntIn(v, 0, 255, "character set"))); }},
    {"FN", QStringLiteral("Arial"), [](const TVuFont& f) -> TVuFieldValue { return f.GetName(); },
     [](TVuFont& f, const TVuFieldValue& v) { f.SetName(VuStr(v)); }},
};

template <class C, size_t N>
void SaveRecord(const C& object, const TVuField<C> (&fields)[N], QIODevice& stream) {
  TVuValueList list;
  WriteFields<C>(list, object, fields);
  list.SaveToStream(stream);
}

template <class C, size_t N>
void LoadRecord(C& object, const TVuField<C> (&fields)[N], QIODevice& stream) {
  TVuValueList list;
  list.LoadFromStream(stream);
  ReadFields<C>(list, object, fields);
}

}  // namespace

void TVuBrush::SaveToStream(QIODevice& stream) const { SaveRecord(*this, kBrushFields, stream); }
void TVuBrush::LoadFromStream(QIODevice& stream) { LoadRecord(*this, kBrushFields, stream); }
void TVuPen::SaveToStream(QIODevice& stream) const { SaveRecord(*this, kPenFields, stream); }
void TVuPen::LoadFromStream(QIODevice& stream) { LoadRecord(*this, kPenFields, stream); }
void TVuFont::SaveToStream(QIODevice& stream) const { SaveRecord(*this, kFontFields, stream); }
void TVuFont::LoadFromStream(QIODevice& stream) { LoadRecord(*this, kFontFields, stream); }

// ---- brush, font and pen lists -------------------------------------------------------------

template <class T>
T* TVuValueResourceList<T>::Append(std::unique_ptr<T> resource) {
  if (!resource) return nullptr;
  T* result = resource.get();
  FReferences.AddValue(1);
  FEntries.push_back(std::move(resource));
  Watch(result);
  // Buckets stay ascending, so an equal earlier entry is still the one found first.
  if (!FIndexDirty) FIndex[Hash(*result)].push_back(Count() - 1);
  return result;
}

template <class T>
void TVuValueResourceList<T>::SaveToStream(QIODevice& stream) const {
  TVuWriter writer(stream);
  writer.WriteInteger(Count());
  for (const auto& entry : FEntries) entry->SaveToStream(stream);
}

template <class T>
void TVuValueResourceList<T>::LoadFromStream(QIODevice& stream) {
  Clear();
  TVuReader reader(stream);
  const int32_t count = reader.ReadInteger();
  reader.CheckCount(count, kMinValueListRecord);
  for (int32_t i = 0; i < count; ++i) {
    auto entry = std::make_unique<T>();
    entry->LoadFromStream(stream);
    Append(std::move(entry));
  }
}

template TVuBrush* TVuValueResourceList<TVuBrush>::Append(std::unique_ptr<TVuBrush>);
template TVuPen* TVuValueResourceList<TVuPen>::Append(std::unique_ptr<TVuPen>);
template TVuFont* TVuValueResourceList<TVuFont>::Append(std::unique_ptr<TVuFont>);
template void TVuValueResourceList<TVuBrush>::SaveToStream(QIODevice&) const;
template void TVuValueResourceList<TVuPen>::SaveToStream(QIODevice&) const;
template void TVuValueResourceList<TVuFont>::SaveToStream(QIODevice&) const;
template void TVuValueResourceList<TVuBrush>::LoadFromStream(QIODevice&);
template void TVuValueResourceList<TVuPen>::LoadFromStream(QIODevice&);
template void TVuValueResourceList<TVuFont>::LoadFromStream(QIODevice&);

// ---- graphics ---------------------------------------------------------------------------

void TVuGraphicList::SaveToStream(QIODevice& stream) const {
  TVuWriter writer(stream);
  writer.WriteInteger(Count());
  SaveRecordsToStream(stream, 0);
}

void TVuGraphicList::SaveRecordsToStream(QIODevice& stream, qint64 endBase) const {
  TVuWriter writer(stream);
  for (const auto& entry : FEntries) {
    // The picture goes to memory first, so its end position is known before it is written
    // and the stream needs no seeking back.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    uint8_t kind = uint8_t(GetGraphicType(entry.get()));
    if (entry->Empty()) kind = kNoPictureKind;
    else entry->SaveToStream(buffer);
    const QByteArray& picture = buffer.data();
    writer.WriteByte(kind);
    const qint64 end = endBase + stream.pos() + 4 + picture.size();
    if (end > INT32_MAX) throw EWriteError(QStringLiteral("Stream write error"));
    writer.WriteInteger(int32_t(end));
    writer.WriteBytes(picture.constData(), picture.size());
  }
}

void TVuGraphicList::LoadFromStream(QIODevice& stream) {
  Clear();
  TVuReader reader(stream);
  const int32_t count = reader.ReadInteger();
  reader.CheckCount(count, kMinGraphicRecord);
  for (int32_t i = 0; i < count; ++i) {
    const uint8_t kind = reader.ReadByte();
    const qint64 end = reader.ReadInteger();
    const qint64 length = end - stream.pos();
    const qint64 remaining = reader.Remaining();
    if (length < 0 || (remaining >= 0 && length > remaining)) RaiseStreamReadError();
    // The picture reads only its record's bytes and the stream continues at the end position,
    // whatever the picture's own reader took of them.
    TGraphic* loaded = nullptr;
    if (kind == vuBitmap && DeferBitmaps && !stream.isSequential()) {
      // Its place only: the bitmap is read when a page to print needs it.
      loaded = AppendGraphic(std::make_unique<TBitmap>());
      FDeferred[loaded] = {stream.pos(), length, false};
      FDeferredSource = &stream;
      if (!stream.seek(end)) RaiseStreamReadError();
    } else if (kind <= vuBitmap) loaded = LoadGraphic(TVuGraphicType(kind), stream, length);
    else if (stream.skip(length) != length) RaiseStreamReadError();
    if (!loaded) AppendGraphic(std::make_unique<TBitmap>());
  }
}

void TVuGraphicList::LoadDeferred(const TGraphic* entry) {
  const auto it = entry ? FDeferred.find(entry) : FDeferred.end();
  if (it == FDeferred.end() || it->second.Loaded) return;
  QIODevice& source = *FDeferredSource;
  const qint64 back = source.pos();
  if (!source.seek(it->second.Offset)) RaiseStreamReadError();
  TryFinally([&] { const_cast<TGraphic*>(entry)->LoadFromStream(source, it->second.Length); },
             [&] { source.seek(back); });
  it->second.Loaded = true;
  FDeferredLoaded.push_back(entry);
}

// ---- memos ------------------------------------------------------------------------------

void TVuCustomMemoList::SaveToStream(QIODevice& stream) const {
  TVuWriter writer(stream);
  writer.WriteInteger(Count());
  for (const auto& memo : FEntries) {
    writer.WriteInteger(GetMemoType(memo.get()));
    writer.WriteStream(MemoPlainText(memo.get()).toUtf8());
  }
}

void TVuCustomMemoList::LoadFromStream(QIODevice& stream) {
  Clear();
  TVuReader reader(stream);
  const int32_t count = reader.ReadInteger();
  reader.CheckCount(count, kMinMemoRecord);
  for (int32_t i = 0; i < count; ++i) {
    const int32_t kind = reader.ReadInteger();
    const QString text = QString::fromUtf8(reader.ReadStream());
    // A plain memo is kept as a plain-text control, a rich-text one as the list's own kind.
    std::unique_ptr<QWidget> source;
    if (kind == vuMemo) {
      auto memo = std::make_unique<TMemo>();
      memo->setPlainText(text);
      source = std::move(memo);
    } else {
      auto rich = std::make_unique<TRichEdit>();
      rich->setPlainText(text);
      source = std::move(rich);
    }
    AddMemo(source.get());
  }
}

// ---- the table --------------------------------------------------------------------------

void TVuResourceTable::SaveToStream(QIODevice& stream) const {
  FBrushes->SaveToStream(stream);
  FFonts->SaveToStream(stream);
  FPens->SaveToStream(stream);
  FGraphics->SaveToStream(stream);
  FMemos->SaveToStream(stream);
}

void TVuResourceTable::LoadFromStream(QIODevice& stream) {
  Clear();
  FBrushes->LoadFromStream(stream);
  FFonts->LoadFromStream(stream);
  FPens->LoadFromStream(stream);
  FGraphics->LoadFromStream(stream);
  FMemos->LoadFromStream(stream);
}
