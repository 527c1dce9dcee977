#include "preview/document/Vuresource.h"
#include <QBuffer>
#include <QHash>
#include <QStringList>
#include <algorithm>
#include <cstring>
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Icon.h"
#include "platform/Jpeg.h"
#include "platform/Memo.h"
#include "platform/Metafile.h"
#include "platform/SysUtils.h"

// ---- brush ----------------------------------------------------------------------------

void TVuBrush::Changed() {
  if (OnChange) OnChange(this);
}

void TVuBrush::Assign(const TPersistent* source) {
  if (!source) return;
  if (auto* brush = dynamic_cast<const TVuBrush*>(source)) {
    FColor = brush->FColor;
    FStyle = brush->FStyle;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

void TVuBrush::Assign(const TBrush& brush) {
  FColor = brush.Color;
  FStyle = brush.Style;
  Changed();
}

void TVuBrush::SetColor(TColor value) {
  if (value == FColor) return;
  FColor = value;
  FStyle = bsSolid;
  Changed();
}

void TVuBrush::SetStyle(TBrushStyle value) {
  if (value == FStyle) return;
  FStyle = value;
  Changed();
}

void TVuBrush::AssignToCanvas(TCanvas& canvas) const {
  // On the old platform setting a colour makes a clear brush solid, so the colour goes
  // first and the style is set after it.
  TBrush brush;
  brush.Color = FColor;
  brush.Style = brush.Color == clNone ? bsClear : FStyle;
  canvas.Brush() = brush;
}

// ---- pen ------------------------------------------------------------------------------

void TVuPen::Changed() {
  if (OnChange) OnChange(this);
}

void TVuPen::Assign(const TPersistent* source) {
  if (auto* pen = dynamic_cast<const TVuPen*>(source)) {
    FWidth = pen->FWidth;
    FColor = pen->FColor;
    FStyle = pen->FStyle;
    FMode = pen->FMode;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

void TVuPen::Assign(const TPen& pen) {
  FWidth = pen.Width;
  FColor = pen.Color;
  FStyle = pen.Style;
  FMode = pen.Mode;
  Changed();
}

void TVuPen::SetWidth(int value) {
  if (value == FWidth) return;
  FWidth = value;
  Changed();
}

void TVuPen::SetColor(TColor value) {
  if (value == FColor) return;
  FColor = value;
  Changed();
}

void TVuPen::SetStyle(TPenStyle value) {
  if (value == FStyle) return;
  FStyle = value;
  Changed();
}

void TVuPen::SetMode(TPenMode value) {
  if (value == FMode) return;
  FMode = value;
  Changed();
}

int TVuPen::DeviceWidth(int ppi) const { return VuRound(Extended(FWidth) * ppi / 72 / 4); }

void TVuPen::AssignToCanvas(TCanvas& canvas, int ppi) const {
  TPen& pen = canvas.Pen();
  pen.Color = FColor;
  pen.Style = FStyle;
  pen.Width = DeviceWidth(ppi);
  if (FColor == clNone) {
    pen.Style = psClear;
    return;
  }
  // A style the platform does not know draws solid. Width up to 1 and solid is the cosmetic
  // one-pixel hairline; every other pen is geometric with square ends and mitred joins.
  if (FStyle > psClear) pen.Style = psSolid;
  pen.EndCap = pecSquare;
  pen.Join = pjMiter;
  pen.Geometric = !(pen.Width <= 1 && pen.Style == psSolid);
  if (!pen.Geometric) pen.Width = 1;
}

void TVuPen::AssignToPen(TPen& pen) const {
  pen.Color = FColor;
  pen.Style = FStyle;
  pen.Width = FWidth;
}

// ---- font -----------------------------------------------------------------------------

void TVuFont::Changed() {
  if (OnChange) OnChange(this);
}

void TVuFont::Assign(const TPersistent* source) {
  if (auto* font = dynamic_cast<const TVuFont*>(source)) {
    FSize = font->FSize;
    FStyle = font->FStyle;
    FAngle = font->FAngle;
    FColor = font->FColor;
    FCharset = font->FCharset;
    FName = font->FName;
    return;
  }
  TPersistent::Assign(source);
}

void TVuFont::Assign(const TFont& font) {
  FSize = font.Size();
  FColor = font.Color;
  FCharset = font.Charset;
  FName = font.Name;
  FStyle = font.Style;
  FAngle = 0;
}

void TVuFont::SetSize(int value) {
  if (value == FSize) return;
  FSize = value;
  Changed();
}

void TVuFont::SetStyle(TFontStyles value) {
  if (value == FStyle) return;
  FStyle = value;
  Changed();
}

void TVuFont::SetAngle(Extended value) {
  if (value == FAngle) return;
  FAngle = value;
  Changed();
}

void TVuFont::SetColor(TColor value) {
  if (value == FColor) return;
  FColor = value;
  Changed();
}

void TVuFont::SetCharset(TFontCharset value) {
  if (value == FCharset) return;
  FCharset = value;
  Changed();
}

void TVuFont::SetName(const QString& value) {
  if (value == FName) return;
  FName = value;
  Changed();
}

void TVuFont::AssignToFont(TFont& font) const {
  font.Color = FColor;
  font.SetSize(FSize);
  font.Name = FName;
  font.Charset = FCharset;
  font.Style = FStyle;
  // Setting the font's properties makes a new, unrotated font; only an angle turns it.
  font.Orientation = FAngle != 0 ? VuRound(FAngle * 10) : 0;
}

// ---- reference counts -----------------------------------------------------------------

void TVuReferenceList::Check(int index) const {
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
}

int TVuReferenceList::GetValue(int index) const {
  Check(index);
  return FCounts[size_t(index)];
}

void TVuReferenceList::SetValue(int index, int value) {
  Check(index);
  FCounts[size_t(index)] = value;
}

void TVuReferenceList::IncValueAtIndex(int index) {
  Check(index);
  ++FCounts[size_t(index)];
}

void TVuReferenceList::DecValueAtIndex(int index) {
  Check(index);
  --FCounts[size_t(index)];
}

void TVuReferenceList::Delete(int index) {
  Check(index);
  FCounts.erase(FCounts.begin() + index);
}

// ---- brushes, pens, fonts ---------------------------------------------------------------

namespace {
size_t Mix(size_t seed, size_t value) { return seed ^ (value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2)); }

size_t HashOf(const TVuBrush& b) { return Mix(size_t(uint32_t(b.GetColor())), size_t(b.GetStyle())); }

size_t HashOf(const TVuPen& p) {
  size_t h = Mix(size_t(uint32_t(p.GetColor())), size_t(p.GetWidth()));
  return Mix(Mix(h, size_t(p.GetStyle())), size_t(p.GetMode()));
}

size_t HashOf(const TVuFont& f) {
  size_t h = qHash(f.GetName());
  h = Mix(h, size_t(f.GetSize()));
  h = Mix(h, size_t(f.GetCharset()));
  h = Mix(h, size_t(uint32_t(f.GetColor())));
  h = Mix(h, size_t(f.GetStyle()));
  // Equal angles must hash alike: 0 and -0 compare equal, and only the 80 value bits count.
  Extended angle = f.GetAngle() == 0 ? 0 : f.GetAngle();
  unsigned char bits[10];
  std::memcpy(bits, &angle, sizeof bits);
  return Mix(h, qHashBits(bits, sizeof bits));
}
}  // namespace

template <class T>
size_t TVuValueResourceList<T>::Hash(const T& resource) const {
  return HashOf(resource);
}

template <class T>
void TVuValueResourceList<T>::Reindex() const {
  FIndex.clear();
  for (int i = 0; i < Count(); ++i) FIndex[Hash(*FEntries[size_t(i)])].push_back(i);
  FIndexDirty = false;
}

template <class T>
int TVuValueResourceList<T>::Find(const T& resource) const {
  if (FIndexDirty) Reindex();
  auto it = FIndex.find(Hash(resource));
  if (it == FIndex.end()) return -1;
  // Indexes of a bucket are ascending, and equal entries share a bucket: the first equal
  // one found is the first equal one of the list.
  for (int i : it->second)
    if (FEntries[size_t(i)]->Equals(resource)) return i;
  return -1;
}

template <class T>
void TVuValueResourceList<T>::Watch(T* entry) {
  // A stored entry must not be changed in place; if one is, its place in the index is
  // rebuilt before the next search.
  entry->OnChange = [this](TPersistent*) { FIndexDirty = true; };
}

template <class T>
T* TVuValueResourceList<T>::Add(const T& resource) {
  const int found = Find(resource);
  if (found >= 0) {
    FReferences.IncValueAtIndex(found);
    return FEntries[size_t(found)].get();
  }
  auto entry = std::make_unique<T>();
  entry->Assign(&resource);
  T* result = entry.get();
  FReferences.AddValue(1);
  FEntries.push_back(std::move(entry));
  Watch(result);
  if (!FIndexDirty) FIndex[Hash(*result)].push_back(Count() - 1);
  return result;
}

template <class T>
int TVuValueResourceList<T>::IndexOf(const T* resource) const {
  return resource ? Find(*resource) : -1;
}

template <class T>
T* TVuValueResourceList<T>::Get(int index) const {
  if (index == -1) return nullptr;
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
  return FEntries[size_t(index)].get();
}

template <class T>
void TVuValueResourceList<T>::Set(int index, std::unique_ptr<T> resource) {
  if (index < 0 || index >= Count() || !resource) RaiseListIndexError(index);
  Watch(resource.get());
  FEntries[size_t(index)] = std::move(resource);
  FIndexDirty = true;
}

template <class T>
void TVuValueResourceList<T>::DeleteResource(const T* resource) {
  auto it = std::find_if(FEntries.begin(), FEntries.end(),
                         [&](const std::unique_ptr<T>& e) { return e.get() == resource; });
  if (!resource || it == FEntries.end()) return;
  const int index = int(it - FEntries.begin());
  if (FReferences.GetValue(index) <= 1) {
    FReferences.Delete(index);
    FEntries.erase(it);
    FIndexDirty = true;  // later indexes moved down by one
  } else {
    FReferences.DecValueAtIndex(index);
  }
}

template <class T>
void TVuValueResourceList<T>::Clear() {
  FEntries.clear();
  FReferences.Clear();
  FIndex.clear();
  FIndexDirty = false;
}

template class TVuValueResourceList<TVuBrush>;
template class TVuValueResourceList<TVuPen>;
template class TVuValueResourceList<TVuFont>;

// ---- graphics -------------------------------------------------------------------------

namespace {
std::unique_ptr<TGraphic> EmptyOfKind(const TGraphic& graphic) {
  if (dynamic_cast<const TJPEGImage*>(&graphic)) return std::make_unique<TJPEGImage>();
  if (dynamic_cast<const TMetafile*>(&graphic)) return std::make_unique<TMetafile>();
  if (dynamic_cast<const TBitmap*>(&graphic)) return std::make_unique<TBitmap>();
  return nullptr;
}
}  // namespace

TVuGraphicList::TVuGraphicList() = default;
TVuGraphicList::~TVuGraphicList() = default;

void TVuGraphicList::Clear() {
  StopDeferring();
  FEntries.clear();
  FReferences.Clear();
  FIndex.clear();
  FByAddress.clear();
  FIndexDirty = false;
}

void TVuGraphicList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
}

void TVuGraphicList::Reindex() const {
  FIndex.clear();
  FByAddress.clear();
  FIndex.reserve(FEntries.size());
  FByAddress.reserve(FEntries.size());
  for (int i = 0; i < Count(); ++i) {
    FIndex.emplace(FEntries[size_t(i)]->ContentHash(), i);
    FByAddress.emplace(FEntries[size_t(i)].get(), i);
  }
  FIndexDirty = false;
}

int TVuGraphicList::FindEqual(const TGraphic& graphic) const {
  if (FIndexDirty) Reindex();
  if (FIndex.empty()) return -1;
  // Equal pictures share a hash: the lowest equal index among them is the first equal entry.
  int found = -1;
  const auto [first, last] = FIndex.equal_range(graphic.ContentHash());
  for (auto it = first; it != last; ++it)
    if ((found < 0 || it->second < found) && FEntries[size_t(it->second)]->SameContent(graphic)) found = it->second;
  return found;
}

TGraphic* TVuGraphicList::AddGraphic(const TGraphic* graphic) {
  if (!graphic) return nullptr;
  // A black-and-white bitmap is kept at one bit per pixel, and compared in that form.
  std::optional<TBitmap> monochrome;
  if (auto* bitmap = dynamic_cast<const TBitmap*>(graphic); bitmap && bitmap->PixelFormat() != pf1bit) {
    monochrome.emplace(*bitmap);
    if (monochrome->MakeMonochrome()) graphic = &*monochrome;
  }
  if (CompareGraphics) {
    const int found = FindEqual(*graphic);
    if (found >= 0) {
      FReferences.IncValueAtIndex(found);
      return FEntries[size_t(found)].get();
    }
  }
  std::unique_ptr<TGraphic> copy = EmptyOfKind(*graphic);
  if (!copy) return nullptr;
  copy->Assign(*graphic);
  return AppendGraphic(std::move(copy));
}

TGraphic* TVuGraphicList::AppendGraphic(std::unique_ptr<TGraphic> graphic) {
  if (!graphic) return nullptr;
  if (auto* bitmap = dynamic_cast<TBitmap*>(graphic.get())) bitmap->ReleaseHandle();
  TGraphic* result = graphic.get();
  FReferences.AddValue(1);
  FEntries.push_back(std::move(graphic));
  if (!FIndexDirty) {
    FIndex.emplace(result->ContentHash(), Count() - 1);
    FByAddress.emplace(result, Count() - 1);
  }
  return result;
}

TGraphic* TVuGraphicList::LoadGraphic(TVuGraphicType kind, QIODevice& stream) {
  std::unique_ptr<TGraphic> graphic;
  switch (kind) {
    case vuJPeg: graphic = std::make_unique<TJPEGImage>(); break;
    case vuMetafile: graphic = std::make_unique<TMetafile>(); break;
    case vuBitmap: graphic = std::make_unique<TBitmap>(); break;
    default: return nullptr;
  }
  graphic->LoadFromStream(stream);
  return AppendGraphic(std::move(graphic));
}

TGraphic* TVuGraphicList::LoadGraphic(TVuGraphicType kind, QIODevice& stream, qint64 length) {
  std::unique_ptr<TGraphic> graphic;
  switch (kind) {
    case vuJPeg: graphic = std::make_unique<TJPEGImage>(); break;
    case vuMetafile: graphic = std::make_unique<TMetafile>(); break;
    case vuBitmap: graphic = std::make_unique<TBitmap>(); break;
    default: break;
  }
  if (!graphic) {
    // Skipped in pieces, so a damaged length costs no more memory than one piece.
    for (qint64 left = length; left != 0;) {
      const QByteArray piece = left > 0 ? stream.read(std::min<qint64>(left, 1 << 16)) : QByteArray();
      if (piece.isEmpty()) throw EReadError(QStringLiteral("Stream read error"));
      left -= piece.size();
    }
    return nullptr;
  }
  graphic->LoadFromStream(stream, length);
  return AppendGraphic(std::move(graphic));
}

int TVuGraphicList::IndexOf(const TGraphic* graphic) const {
  if (!graphic) return -1;
  if (FIndexDirty) Reindex();
  int index = -1;
  if (auto it = FByAddress.find(graphic); it != FByAddress.end()) index = it->second;
  else if (CompareGraphics) index = FindEqual(*graphic);
  return index < 0 ? -1 : IndexBase + index;
}

TGraphic* TVuGraphicList::GetGraphic(int index) const {
  if (index == -1) return nullptr;
  CheckIndex(index);
  TGraphic* graphic = FEntries[size_t(index)].get();
  if (auto* bitmap = dynamic_cast<TBitmap*>(graphic); bitmap && !bitmap->Empty()) bitmap->Canvas();
  return graphic;
}

void TVuGraphicList::SetGraphic(int index, std::unique_ptr<TGraphic> graphic) {
  CheckIndex(index);
  if (!graphic) RaiseListIndexError(index);
  FEntries[size_t(index)] = std::move(graphic);
  FIndexDirty = true;
}

void TVuGraphicList::ReleaseDeferred() {
  for (const TGraphic* entry : FDeferredLoaded) {
    const_cast<TBitmap*>(static_cast<const TBitmap*>(entry))->Assign(TBitmap());
    FDeferred[entry].Loaded = false;
  }
  FDeferredLoaded.clear();
}

void TVuGraphicList::StopDeferring() {
  FDeferred.clear();
  FDeferredLoaded.clear();
  FDeferredSource = nullptr;
}

void TVuGraphicList::DeleteResource(const TGraphic* graphic) {
  const int i = graphic ? IndexOfEntry(graphic) : -1;
  if (i < 0) return;
  if (FReferences.GetValue(i) <= 1) {
    FReferences.Delete(i);
    FEntries.erase(FEntries.begin() + i);
    FIndexDirty = true;  // later indexes moved down by one
  } else {
    FReferences.DecValueAtIndex(i);
  }
}

int TVuGraphicList::IndexOfEntry(const TGraphic* graphic) const {
  if (FIndexDirty) Reindex();
  const auto it = FByAddress.find(graphic);
  return it == FByAddress.end() ? -1 : it->second;
}

TVuGraphicType TVuGraphicList::GetGraphicType(const TGraphic* graphic) {
  if (dynamic_cast<const TJPEGImage*>(graphic)) return vuJPeg;
  if (dynamic_cast<const TMetafile*>(graphic)) return vuMetafile;
  return vuBitmap;
}

// ---- memos ----------------------------------------------------------------------------

TVuCustomMemoList::TVuCustomMemoList() = default;

TVuCustomMemoList::~TVuCustomMemoList() { Clear(); }

QWidget* TVuCustomMemoList::HostWindow() {
  if (!FHost) {
    FHost = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint | Qt::Tool);
    FHost->setObjectName(QStringLiteral("VuMemoHost"));
    FHost->setAttribute(Qt::WA_DontShowOnScreen);
    FHost->setFixedSize(0, 0);
    FHost->show();
  }
  return FHost.get();
}

void TVuCustomMemoList::Clear() {
  FEntries.clear();
  FReferences.Clear();
}

void TVuCustomMemoList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
}

QWidget* TVuCustomMemoList::CreateMemo() {
  QWidget* memo = OnNeedRichEdit ? OnNeedRichEdit(this) : nullptr;
  if (!memo || IndexOf(memo) >= 0) memo = new TRichEdit;
  memo->setParent(HostWindow());
  memo->setGeometry(0, 0, 0, 0);
  return memo;
}

QWidget* TVuCustomMemoList::AddMemo(QWidget* memo) {
  if (!memo) return nullptr;
  const int index = IndexOf(memo);
  if (index >= 0) {
    FReferences.IncValueAtIndex(index);
    return memo;
  }
  std::unique_ptr<QWidget> copy(CreateMemo());
  CopyMemoText(memo, copy.get());
  FReferences.AddValue(1);
  FEntries.push_back(std::move(copy));
  return FEntries.back().get();
}

int TVuCustomMemoList::IndexOf(const QWidget* memo) const {
  auto it = std::find_if(FEntries.begin(), FEntries.end(),
                         [&](const std::unique_ptr<QWidget>& e) { return e.get() == memo; });
  return it == FEntries.end() ? -1 : int(it - FEntries.begin());
}

QWidget* TVuCustomMemoList::GetMemo(int index) const {
  if (index == -1) return nullptr;
  CheckIndex(index);
  return FEntries[size_t(index)].get();
}

void TVuCustomMemoList::SetMemo(int index, QWidget* memo) {
  CheckIndex(index);
  if (!memo) RaiseListIndexError(index);
  const int current = IndexOf(memo);
  if (current == index) return;
  if (current >= 0) throw EListError(QStringLiteral("The memo is already list item %1").arg(current));
  memo->setParent(HostWindow());
  FEntries[size_t(index)].reset(memo);
}

void TVuCustomMemoList::DeleteResource(const QWidget* memo) {
  const int index = memo ? IndexOf(memo) : -1;
  if (index < 0) return;
  if (FReferences.GetValue(index) <= 1) {
    FReferences.Delete(index);
    FEntries.erase(FEntries.begin() + index);
  } else {
    FReferences.DecValueAtIndex(index);
  }
}

TVuMemoType TVuCustomMemoList::GetMemoType(const QWidget* memo) {
  return qobject_cast<const QPlainTextEdit*>(memo) ? vuMemo : vuRichEdit;
}

// ---- table ----------------------------------------------------------------------------

TVuResourceTable::TVuResourceTable()
    : FBrushes(std::make_unique<TVuBrushList>()),
      FFonts(std::make_unique<TVuFontList>()),
      FPens(std::make_unique<TVuPenList>()),
      FGraphics(std::make_unique<TVuGraphicList>()),
      FMemos(std::make_unique<TVuCustomMemoList>()) {}

TVuResourceTable::~TVuResourceTable() {
  FBrushes.reset();
  FFonts.reset();
  FPens.reset();
  FGraphics.reset();
  FMemos.reset();
}

void TVuResourceTable::Clear() {
  FBrushes->Clear();
  FFonts->Clear();
  FPens->Clear();
  FGraphics->Clear();
  FMemos->Clear();
}

// ---- free functions -------------------------------------------------------------------

QString PenToString(const TPen& pen) {
  return QStringLiteral("%1,%2,%3,%4").arg(pen.Color).arg(pen.Width).arg(int(pen.Style)).arg(int(pen.Mode));
}

void PenFromString(TPen& pen, const QString& text) {
  const QStringList fields = text.split(u',');
  auto field = [&](int i) {
    if (i >= fields.size()) RaiseListIndexError(i);
    return StrToInt(fields[i]);
  };
  pen.Color = field(0);
  pen.Width = field(1);
  const int style = field(2);
  if (style < psSolid || style > psInsideFrame) RaiseConvertError(fields[2]);
  pen.Style = TPenStyle(style);
  const int mode = field(3);
  if (mode < pmBlack || mode > pmNotXor) RaiseConvertError(fields[3]);
  pen.Mode = TPenMode(mode);
}

void GraphicToJPeg(const TGraphic& graphic, std::unique_ptr<TJPEGImage>& jpeg) {
  auto result = std::make_unique<TJPEGImage>();
  result->Assign(graphic);
  jpeg = std::move(result);
}

void IconToBitmap(const TIcon& icon, std::unique_ptr<TBitmap>& bitmap) {
  auto result = std::make_unique<TBitmap>(icon.Width(), icon.Height());
  if (!icon.Empty()) {
    icon.Draw(result->Canvas(), QRect(0, 0, icon.Width(), icon.Height()));
    result->Canvas().Release();
  }
  bitmap = std::move(result);
}
