// Drawing resources shared by the objects of a page list: pens, brushes, fonts, pictures
// and memos, each kept once per table with a reference count, and the font mapper that
// measures and places text at a fixed high resolution so that layout is the same on the
// screen at any zoom and on every printer.
#pragma once
#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>
#include "platform/Canvas.h"
#include "platform/Classes.h"
#include "platform/Graphics.h"
#include "preview/core/Vutypes.h"

class TIcon;
class TJPEGImage;

// Fill colour and pattern; device independent.
class TVuBrush : public TPersistent {
 public:
  TVuBrush() = default;
  TVuBrush(const TVuBrush&) = delete;
  TVuBrush& operator=(const TVuBrush&) = delete;
  QString ClassName() const override { return QStringLiteral("TVuBrush"); }
  // From a TVuBrush; notifies. A null source changes nothing.
  void Assign(const TPersistent* source) override;
  // From the platform brush; notifies.
  void Assign(const TBrush& brush);
  TColor GetColor() const { return FColor; }
  TBrushStyle GetStyle() const { return FStyle; }
  // A new colour also makes the brush solid.
  void SetColor(TColor value);
  void SetStyle(TBrushStyle value);
  // Colour first, then the style: clear when the colour is clNone.
  void AssignToCanvas(TCanvas& canvas) const;
  bool Equals(const TVuBrush& other) const { return FColor == other.FColor && FStyle == other.FStyle; }
  // ---- page files: the record is one value list
  void SaveToStream(QIODevice& stream) const;
  // Missing names take the record's load defaults.
  void LoadFromStream(QIODevice& stream);

  TNotifyEvent OnChange;

 private:
  void Changed();
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsClear;
};

// Line colour, width in quarter points (1/288 inch), style and mix mode.
class TVuPen : public TPersistent {
 public:
  TVuPen() = default;
  TVuPen(const TVuPen&) = delete;
  TVuPen& operator=(const TVuPen&) = delete;
  QString ClassName() const override { return QStringLiteral("TVuPen"); }
  // From a TVuPen; notifies. A null source is an assignment error.
  void Assign(const TPersistent* source) override;
  void Assign(const TPen& pen);
  int GetWidth() const { return FWidth; }
  TColor GetColor() const { return FColor; }
  TPenStyle GetStyle() const { return FStyle; }
  TPenMode GetMode() const { return FMode; }
  void SetWidth(int value);
  void SetColor(TColor value);
  void SetStyle(TPenStyle value);
  void SetMode(TPenMode value);
  // The device pen for a surface of ppi pixels per inch: width round(Width * ppi / 72 / 4);
  // clNone draws nothing; width up to 1 and solid is the one-pixel hairline.
  void AssignToCanvas(TCanvas& canvas, int ppi) const;
  // Colour, style and width as they are, unscaled.
  void AssignToPen(TPen& pen) const;
  // The device width for ppi pixels per inch.
  int DeviceWidth(int ppi) const;
  bool Equals(const TVuPen& other) const {
    return FColor == other.FColor && FMode == other.FMode && FStyle == other.FStyle && FWidth == other.FWidth;
  }
  // ---- page files: the record is one value list
  void SaveToStream(QIODevice& stream) const;
  // Missing names take the record's load defaults.
  void LoadFromStream(QIODevice& stream);

  TNotifyEvent OnChange;

 private:
  void Changed();
  int FWidth = 0;
  TColor FColor = clBlack;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmBlack;
};

// Face, size in points, style, rotation, colour and character set.
class TVuFont : public TPersistent {
 public:
  TVuFont() = default;
  TVuFont(const TVuFont&) = delete;
  TVuFont& operator=(const TVuFont&) = delete;
  QString ClassName() const override { return QStringLiteral("TVuFont"); }
  // From a TVuFont (all six fields); does not notify. A null source is an assignment error.
  void Assign(const TPersistent* source) override;
  // From the platform font: size, colour, charset, name and style; the angle becomes 0.
  void Assign(const TFont& font);
  int GetSize() const { return FSize; }
  TFontStyles GetStyle() const { return FStyle; }
  Extended GetAngle() const { return FAngle; }
  TColor GetColor() const { return FColor; }
  TFontCharset GetCharset() const { return FCharset; }
  const QString& GetName() const { return FName; }
  void SetSize(int value);
  void SetStyle(TFontStyles value);
  void SetAngle(Extended value);
  void SetColor(TColor value);
  void SetCharset(TFontCharset value);
  void SetName(const QString& value);
  // Colour, size, name, charset, style; the escapement from the angle. The caller sets the
  // font's PixelsPerInch to the target's first.
  void AssignToFont(TFont& font) const;
  void AssignToCanvas(TCanvas& canvas) const { AssignToFont(canvas.Font()); }
  bool Equals(const TVuFont& other) const {
    return FName == other.FName && FSize == other.FSize && FCharset == other.FCharset &&
           FAngle == other.FAngle && FColor == other.FColor && FStyle == other.FStyle;
  }
  // ---- page files: the record is one value list
  void SaveToStream(QIODevice& stream) const;
  // Missing names take the record's load defaults.
  void LoadFromStream(QIODevice& stream);

  TNotifyEvent OnChange;

 private:
  void Changed();
  int FSize = 12;
  TFontStyles FStyle = 0;
  Extended FAngle = 0;
  TColor FColor = clBlack;
  TFontCharset FCharset = DEFAULT_CHARSET;
  QString FName;
};

// Reference counts, one per entry of the owning list, in the same order.
class TVuReferenceList {
 public:
  int Count() const { return int(FCounts.size()); }
  void AddValue(int value) { FCounts.push_back(value); }
  int GetValue(int index) const;
  void SetValue(int index, int value);
  void IncValueAtIndex(int index);
  void DecValueAtIndex(int index);
  void Delete(int index);
  void Clear() { FCounts.clear(); }

 private:
  void Check(int index) const;
  std::vector<int> FCounts;
};

// An owning list of resources with their counts. Entry i belongs to count i; every entry
// has a count of at least 1.
class TVuResourceList {
 public:
  virtual ~TVuResourceList() = default;
  virtual int Count() const = 0;
  virtual void Clear() = 0;
  TVuReferenceList& References() { return FReferences; }
  const TVuReferenceList& References() const { return FReferences; }
  // ---- page files: a count, then the records in list order (record i is entry i). Loading
  // empties the list first and keeps the file's indexes: equal records stay apart.
  virtual void SaveToStream(QIODevice& stream) const = 0;
  virtual void LoadFromStream(QIODevice& stream) = 0;

 protected:
  TVuReferenceList FReferences;
};

// Brushes, pens and fonts: found by value when added. The first equal entry is found
// through a hash index kept in step with the list, so adding costs O(1) on average.
template <class T>
class TVuValueResourceList : public TVuResourceList {
 public:
  TVuValueResourceList() = default;
  TVuValueResourceList(const TVuValueResourceList&) = delete;
  TVuValueResourceList& operator=(const TVuValueResourceList&) = delete;

  int Count() const override { return int(FEntries.size()); }
  void Clear() override;
  // The shared entry equal to resource: an existing one with its count raised, or a new
  // copy with a count of 1. The argument stays the caller's.
  T* Add(const T& resource);
  int IndexOf(const T* resource) const;
  // Null for -1; a list index error for any other index out of range.
  T* Get(int index) const;
  // Replaces the entry at index (freeing the old one); its count stays.
  void Set(int index, std::unique_ptr<T> resource);
  // Releases one reference to the very entry resource; frees it at zero.
  void DeleteResource(const T* resource);
  // ---- page files
  // Appends the entry as it is, with a count of 1 and no search for an equal one.
  T* Append(std::unique_ptr<T> resource);
  void SaveToStream(QIODevice& stream) const override;
  void LoadFromStream(QIODevice& stream) override;

 private:
  size_t Hash(const T& resource) const;
  void Reindex() const;
  int Find(const T& resource) const;
  void Watch(T* entry);

  std::vector<std::unique_ptr<T>> FEntries;
  mutable std::unordered_map<size_t, std::vector<int>> FIndex;
  mutable bool FIndexDirty = false;
};

class TVuBrushList : public TVuValueResourceList<TVuBrush> {
 public:
  TVuBrush* AddBrush(const TVuBrush* brush) { return brush ? Add(*brush) : nullptr; }
  TVuBrush* GetBrush(int index) const { return Get(index); }
  void SetBrush(int index, std::unique_ptr<TVuBrush> brush) { Set(index, std::move(brush)); }
};

class TVuPenList : public TVuValueResourceList<TVuPen> {
 public:
  TVuPen* AddPen(const TVuPen* pen) { return pen ? Add(*pen) : nullptr; }
  TVuPen* GetPen(int index) const { return Get(index); }
  void SetPen(int index, std::unique_ptr<TVuPen> pen) { Set(index, std::move(pen)); }
};

class TVuFontList : public TVuValueResourceList<TVuFont> {
 public:
  TVuFont* AddFont(const TVuFont* font) { return font ? Add(*font) : nullptr; }
  TVuFont* GetFont(int index) const { return Get(index); }
  void SetFont(int index, std::unique_ptr<TVuFont> font) { Set(index, std::move(font)); }
};

enum TVuGraphicType { vuJPeg, vuMetafile, vuBitmap };

// Pictures in their own format: JPEG images keep their compressed data, metafiles stay
// metafiles, bitmaps stay bitmaps (kept without a drawing handle).
class TVuGraphicList : public TVuResourceList {
 public:
  TVuGraphicList();
  ~TVuGraphicList() override;
  int Count() const override { return int(FEntries.size()); }
  void Clear() override;
  // With CompareGraphics on, an equal stored picture (same kind and content, found by its
  // content hash) is shared; otherwise a copy is stored. Kinds other than JPEG, metafile and bitmap are
  // not stored: the result is then null.
  TGraphic* AddGraphic(const TGraphic* graphic);
  // Appends a picture as it is, with a count of 1 and no comparison (loading a file).
  TGraphic* AppendGraphic(std::unique_ptr<TGraphic> graphic);
  // Reads a picture of that kind from the stream and appends it as it is. A picture that
  // does not load raises its error and nothing is appended; an unknown kind reads nothing
  // and gives null.
  TGraphic* LoadGraphic(TVuGraphicType kind, QIODevice& stream);
  // The same from exactly the next length bytes of the stream (a page file's graphic record:
  // its end position less the current one), leaving the stream right after them whatever
  // the picture read; an unknown kind skips them.
  TGraphic* LoadGraphic(TVuGraphicType kind, QIODevice& stream, qint64 length);
  // The entry itself, else (with CompareGraphics on) the first equal stored picture; -1.
  int IndexOf(const TGraphic* graphic) const;
  // A stored bitmap gets its drawing handle back before it is returned.
  TGraphic* GetGraphic(int index) const;
  void SetGraphic(int index, std::unique_ptr<TGraphic> graphic);
  void DeleteResource(const TGraphic* graphic);
  static TVuGraphicType GetGraphicType(const TGraphic* graphic);
  // ---- page files: kind byte, the record's end position, the picture in its own format.
  // A picture of an unknown kind is skipped to its end and held by an empty bitmap, so the
  // later records keep their indexes.
  void SaveToStream(QIODevice& stream) const override;
  void LoadFromStream(QIODevice& stream) override;
  // The records without their count, each end position given as endBase plus the stream's
  // position (a file written a part at a time puts the part's stream at endBase).
  void SaveRecordsToStream(QIODevice& stream, qint64 endBase) const;

  // ---- bitmaps read when a page needs them (a page file printed as it is read)
  // With DeferBitmaps on, LoadFromStream reads only where each bitmap record lies, if the
  // stream can seek; each bitmap entry stays empty until LoadDeferred reads it from that
  // stream, which must then stay open.
  bool DeferBitmaps = false;
  // Reads the entry's bitmap if it is a deferred one not read yet (the stream's position is
  // kept); raises the picture's error.
  void LoadDeferred(const TGraphic* entry);
  // Empties the deferred bitmaps read so far: their pages have been printed.
  void ReleaseDeferred();
  // Forgets where the deferred bitmaps lie (the stream is about to close); they stay as they are.
  void StopDeferring();

  bool CompareGraphics = true;
  // Added to every index IndexOf answers: the number of pictures a page file written a part
  // at a time (TVuPageFileWriter) holds before this list's entries. 0 otherwise.
  int IndexBase = 0;

 private:
  int FindEqual(const TGraphic& graphic) const;
  void CheckIndex(int index) const;
  void Reindex() const;
  // The position of the very entry graphic, or -1.
  int IndexOfEntry(const TGraphic* graphic) const;
  struct TDeferred {
    qint64 Offset = 0;
    qint64 Length = 0;
    bool Loaded = false;
  };
  std::vector<std::unique_ptr<TGraphic>> FEntries;
  std::unordered_map<const TGraphic*, TDeferred> FDeferred;
  // The deferred entries read since they were last emptied.
  std::vector<const TGraphic*> FDeferredLoaded;
  QIODevice* FDeferredSource = nullptr;
  // Entry indexes by content hash, ascending within a hash; rebuilt before the next search
  // once entries have moved or been replaced.
  mutable std::unordered_multimap<size_t, int> FIndex;
  mutable std::unordered_map<const TGraphic*, int> FByAddress;
  mutable bool FIndexDirty = false;
};

enum TVuMemoType { vuMemo, vuRichEdit };

// Text controls, shared only when the very same control is added again. The list owns each
// control once; they sit in a hidden host window, also the list's.
class TVuCustomMemoList : public TVuResourceList {
 public:
  TVuCustomMemoList();
  ~TVuCustomMemoList() override;
  int Count() const override { return int(FEntries.size()); }
  void Clear() override;
  // The memo itself when it is an entry (count raised); otherwise a new control with a copy
  // of its text.
  QWidget* AddMemo(QWidget* memo);
  int IndexOf(const QWidget* memo) const;
  QWidget* GetMemo(int index) const;
  // Replaces the entry at index, freeing the old one; the list takes memo over. A control
  // that is already another entry is refused with a list error (it would be owned twice),
  // and the list stays as it was.
  void SetMemo(int index, QWidget* memo);
  void DeleteResource(const QWidget* memo);
  // A new control in the host window: the one OnNeedRichEdit supplies, else a rich-text one.
  // A supplied control that is already an entry is not taken; a fresh one is made instead.
  QWidget* CreateMemo();
  // vuMemo for a plain-text control (TMemo or any other QPlainTextEdit), else vuRichEdit.
  static TVuMemoType GetMemoType(const QWidget* memo);
  QWidget* HostWindow();
  // ---- page files: the kind, then a block with the memo's text (UTF-8).
  void SaveToStream(QIODevice& stream) const override;
  void LoadFromStream(QIODevice& stream) override;

  std::function<QWidget*(TVuCustomMemoList* sender)> OnNeedRichEdit;

 private:
  void CheckIndex(int index) const;
  std::unique_ptr<QWidget> FHost;
  // Children of FHost as well; declared after it, so they go first.
  std::vector<std::unique_ptr<QWidget>> FEntries;
};

// One list of each kind, created and freed in the order brushes, fonts, pens, graphics,
// memos.
class TVuResourceTable : public TPersistent {
 public:
  TVuResourceTable();
  ~TVuResourceTable() override;
  QString ClassName() const override { return QStringLiteral("TVuResourceTable"); }
  TVuBrushList& Brushes() { return *FBrushes; }
  TVuFontList& Fonts() { return *FFonts; }
  TVuPenList& Pens() { return *FPens; }
  TVuGraphicList& Graphics() { return *FGraphics; }
  TVuCustomMemoList& Memos() { return *FMemos; }
  const TVuBrushList& Brushes() const { return *FBrushes; }
  const TVuFontList& Fonts() const { return *FFonts; }
  const TVuPenList& Pens() const { return *FPens; }
  const TVuGraphicList& Graphics() const { return *FGraphics; }
  const TVuCustomMemoList& Memos() const { return *FMemos; }
  void Clear();
  // ---- page files: brushes, fonts, pens, graphics, memos, in that order.
  void SaveToStream(QIODevice& stream) const;
  void LoadFromStream(QIODevice& stream);

 private:
  std::unique_ptr<TVuBrushList> FBrushes;
  std::unique_ptr<TVuFontList> FFonts;
  std::unique_ptr<TVuPenList> FPens;
  std::unique_ptr<TVuGraphicList> FGraphics;
  std::unique_ptr<TVuCustomMemoList> FMemos;
};

// "colour,width,style,mode" of a platform pen, e.g. "12632256,1,2,4".
QString PenToString(const TPen& pen);
// Assigns colour, width, style and mode from the four fields in that order. A missing field
// is a list index error, a field that is not a decimal integer (or not a style or mode) a
// conversion error; the fields before it are already assigned.
void PenFromString(TPen& pen, const QString& text);

// A new JPEG image holding graphic compressed at quality 90.
void GraphicToJPeg(const TGraphic& graphic, std::unique_ptr<TJPEGImage>& jpeg);
// A new bitmap of the icon's size with the icon drawn at (0, 0).
void IconToBitmap(const TIcon& icon, std::unique_ptr<TBitmap>& bitmap);

// The reference resolution of the font mapper: 7200 pixels per inch on this platform.
extern const int FontMapperPpi;

class TVuFontMapper {
 public:
  TVuFontMapper();
  ~TVuFontMapper();

  // In inches, measured with the canvas font at MapperPpi. The width is the sum of the
  // characters' advances, as the text is drawn (kerning off).
  TVuSize TextExtent(TCanvas& canvas, const QString& text);
  Extended TextWidth(TCanvas& canvas, const QString& text) { return TextExtent(canvas, text).Width; }
  Extended TextHeight(TCanvas& canvas, const QString& text) { return TextExtent(canvas, text).Height; }
  // Text with its top-left at device pixel (x, y), clipped to clip, each character placed at
  // the advance computed at the mapper's resolution (96 when screenPpi).
  void TextOut(TCanvas& canvas, int x, int y, const TRect& clip, const QString& text, bool screenPpi);
  // last is the index of the last element of spacing; -1 draws with the font's advances.
  void VuDrawText(TCanvas& canvas, int x, int y, const TRect& clip, const QString& text,
                  const std::vector<int>& spacing, int last);
  // Fills CharSpacing with the device advances of each character of text.
  void CalculateCharSpacing(TCanvas& measureCanvas, const QString& text);
  // The rule behind CalculateCharSpacing: widths in measuring pixels to whole device pixels,
  // carrying the lost fractions forward.
  static std::vector<int> CharSpacingFromWidths(const std::vector<Extended>& widths, int mapperPpi,
                                                int devicePpi);
  // Lays text out in rect with word wrap; returns the height used in inches.
  Extended TextBox(TCanvas& canvas, const TRect& rect, const QString& text, TAlignment alignment,
                   bool screenPpi);
  // The height TextBox needs for text in font, rect's width being pixels at the current
  // MapperPpi; measured without drawing.
  Extended TextBoxHeight(const TFont& font, const TRect& rect, const QString& text);

  TBitmap& MeasureBitmap() { return FMeasureBitmap; }
  std::vector<int> CharSpacing;
  int MapperPpi = 7200;
  int DevicePpi = 96;
  bool WordWrap = true;

 private:
  struct TMeasuredFont {
    TFont Font;
    int Ppi = 0;
    QFontMetricsF Metrics;
    std::unordered_map<char32_t, qreal> Advances;
  };
  // The canvas font at MapperPpi with the advances of the characters measured so far; the
  // last few fonts asked are kept.
  TMeasuredFont& Measured(const TFont& font);
  // One width per UTF-16 unit of text in measuring pixels; a surrogate pair's width goes to
  // its first unit.
  void CharWidths(TMeasuredFont& measured, const QString& text, std::vector<Extended>& widths);
  void OutputLine(TCanvas& canvas, const TRect& rect, QString line, int k, TAlignment alignment,
                  bool screenPpi);
  void DropCache();

  TBitmap FMeasureBitmap;
  std::vector<std::unique_ptr<TMeasuredFont>> FMeasured;  // most recent first
  std::vector<Extended> FWidths;
  bool FMeasureOnly = false;
};

// The shared font mapper of the process.
TVuFontMapper& VuFontMapper();
