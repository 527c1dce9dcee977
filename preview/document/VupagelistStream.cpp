// The document in page files: the file header, header and footer, margins and pages, and the
// load that reads a whole file into a fresh list before the list takes it over.
#include <QBuffer>
#include <unordered_map>
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Finally.h"
#include "preview/document/Vucanvas.h"
#include "preview/core/Vufuncs.h"
#include "preview/document/Vupagelist.h"
#include "preview/document/VupageStream.h"
#include "preview/core/Vustream.h"

namespace {

constexpr qint64 kMinPageRecord = 4;    // an empty value list
constexpr qint64 kMinObjectRecord = 8;  // the kind and an empty value list

// The platform pens and fonts of the header, footer and margins use the resource records.
void SavePen(const TPen& pen, QIODevice& stream) {
  TVuPen record;
  record.Assign(pen);
  record.SaveToStream(stream);
}

void LoadPen(TPen& pen, QIODevice& stream) {
  TVuPen record;
  record.LoadFromStream(stream);
  record.AssignToPen(pen);
  pen.Mode = record.GetMode();
}

int Orientation(const TVuFieldValue& v) { return VuIntIn(v, vuPortrait, vuLandscape, "orientation"); }

// ---- the file header ----------------------------------------------------------------------

// The list's own values, as the first value list of a file holds them.
struct TFileHeader {
  Extended Version = VuFileVersion;
  int64_t Orientation = 0;
  QString PaperSize;
  Extended PageWidth = 0, PageHeight = 0;
  int64_t NumPages = 0;
};

const TVuField<TFileHeader> kFileHeaderFields[] = {
    {"V", Extended(0), [](const TFileHeader& h) -> TVuFieldValue { return h.Version; },
     [](TFileHeader& h, const TVuFieldValue& v) { h.Version = VuExt(v); }},
    {"O", int64_t(0), [](const TFileHeader& h) -> TVuFieldValue { return h.Orientation; },
     [](TFileHeader& h, const TVuFieldValue& v) { h.Orientation = Orientation(v); }},
    {"PS", QStringLiteral("A4"), [](const TFileHeader& h) -> TVuFieldValue { return h.PaperSize; },
     [](TFileHeader& h, const TVuFieldValue& v) { h.PaperSize = VuStr(v); }},
    {"PW", Extended(8.26L), [](const TFileHeader& h) -> TVuFieldValue { return h.PageWidth; },
     [](TFileHeader& h, const TVuFieldValue& v) { h.PageWidth = VuExt(v); }},
    {"PH", Extended(11.69L), [](const TFileHeader& h) -> TVuFieldValue { return h.PageHeight; },
     [](TFileHeader& h, const TVuFieldValue& v) { h.PageHeight = VuExt(v); }},
    {"NP", int64_t(0), [](const TFileHeader& h) -> TVuFieldValue { return h.NumPages; },
     [](TFileHeader& h, const TVuFieldValue& v) { h.NumPages = VuIntIn(v, 0, INT32_MAX, "page count"); }},
};

// ---- header and footer ------------------------------------------------------------------

const TVuField<TVuHeaderFooterCaption> kCaptionFields[] = {
    {"T", QString(), [](const TVuHeaderFooterCaption& c) -> TVuFieldValue { return c.GetCaption(); },
     [](TVuHeaderFooterCaption& c, const TVuFieldValue& v) { c.SetCaption(VuStr(v)); }},
};

const TVuField<TVuHeaderFooter> kHeaderFooterFields[] = {
    {"VS", true, [](const TVuHeaderFooter& h) -> TVuFieldValue { return h.GetVisible(); },
     [](TVuHeaderFooter& h, const TVuFieldValue& v) { h.SetVisible(VuBool(v)); }},
    {"SL", true, [](const TVuHeaderFooter& h) -> TVuFieldValue { return h.GetShowLine(); },
     [](TVuHeaderFooter& h, const TVuFieldValue& v) { h.SetShowLine(VuBool(v)); }},
    // A missing height reads as -1; any height below 0 means the automatic one.
    {"HT", Extended(-1), [](const TVuHeaderFooter& h) -> TVuFieldValue { return h.Height().Inches(); },
     [](TVuHeaderFooter& h, const TVuFieldValue& v) { h.Height().SetAsInches(VuExt(v) < 0 ? 0 : VuExt(v)); }},
};

// ---- margins ----------------------------------------------------------------------------

const TVuField<TVuMargins> kMarginFields[] = {
    {"MV", TVuRect{0.5L, 0.5L, 0.5L, 0.5L}, [](const TVuMargins& m) -> TVuFieldValue { return m.GetAsInches(); },
     [](TVuMargins& m, const TVuFieldValue& v) { m.SetAsInches(VuRc(v)); }},
    {"CLM", false, [](const TVuMargins& m) -> TVuFieldValue { return m.GetClipMargins(); },
     [](TVuMargins& m, const TVuFieldValue& v) { m.SetClipMargins(VuBool(v)); }},
};

// ---- pages ------------------------------------------------------------------------------
// "XY", "M", "MV" and "C_WRT" belong to rich-text pages, which this engine does not make: a
// page writes their values for a page without rich text and ignores them when loading.

const TVuField<TVuPage> kPageFields[] = {
    {"XY", TPoint{}, [](const TVuPage&) -> TVuFieldValue { return TPoint{}; }, [](TVuPage&, const TVuFieldValue&) {}},
    {"M", int64_t(-1), [](const TVuPage&) -> TVuFieldValue { return int64_t(-1); }, [](TVuPage&, const TVuFieldValue&) {}},
    {"MV", TVuRect{}, [](const TVuPage&) -> TVuFieldValue { return TVuRect{}; }, [](TVuPage&, const TVuFieldValue&) {}},
    {"C_WRT", true, [](const TVuPage&) -> TVuFieldValue { return false; }, [](TVuPage&, const TVuFieldValue&) {}},
    {"O", int64_t(0), [](const TVuPage& p) -> TVuFieldValue { return int64_t(p.GetOrientation()); },
     [](TVuPage& p, const TVuFieldValue& v) { p.SetOrientation(TVuOrientation(Orientation(v))); }},
    // The size after the orientation, so that the stored size is kept as it is.
    {"PW", Extended(8.26L), [](const TVuPage& p) -> TVuFieldValue { return p.GetPageSize(vuInches).Width; },
     [](TVuPage& p, const TVuFieldValue& v) { p.SetPageSize(VuExt(v), p.GetPageSize(vuInches).Height); }},
    {"PH", Extended(11.69L), [](const TVuPage& p) -> TVuFieldValue { return p.GetPageSize(vuInches).Height; },
     [](TVuPage& p, const TVuFieldValue& v) { p.SetPageSize(p.GetPageSize(vuInches).Width, VuExt(v)); }},
    {"NO", int64_t(0), [](const TVuPage& p) -> TVuFieldValue { return int64_t(p.Count()); },
     [](TVuPage&, const TVuFieldValue&) {}},
    {"SH", true, [](const TVuPage& p) -> TVuFieldValue { return p.GetShowHeader(); },
     [](TVuPage& p, const TVuFieldValue& v) { p.SetShowHeader(VuBool(v)); },
     [](const TVuPage& p) { return !p.GetShowHeader(); }},
    {"SF", true, [](const TVuPage& p) -> TVuFieldValue { return p.GetShowFooter(); },
     [](TVuPage& p, const TVuFieldValue& v) { p.SetShowFooter(VuBool(v)); },
     [](const TVuPage& p) { return !p.GetShowFooter(); }},
};

// Each loaded object holds a reference to each resource it points to, so that changing one
// object's pen cannot free an entry others still draw with; an entry no object uses keeps
// the one count every entry has.
template <class List, class Entry>
void Recount(List& list, const std::unordered_map<const Entry*, int>& uses) {
  for (int i = 0; i < list.Count(); ++i) {
    auto it = uses.find(list.Get(i));
    list.References().SetValue(i, it == uses.end() ? 1 : it->second);
  }
}

void CountReferences(TVuPageList& list) {
  std::unordered_map<const TVuPen*, int> pens;
  std::unordered_map<const TVuBrush*, int> brushes;
  std::unordered_map<const TVuFont*, int> fonts;
  std::unordered_map<const TGraphic*, int> graphics;
  for (int n = 1; n <= list.Count(); ++n) {
    const TVuPage* page = list.Page(n);
    for (int i = 0; i < page->Count(); ++i) {
      TVuBaseObject* o = page->VuObject(i);
      if (auto* outline = dynamic_cast<TVuOutlineShape*>(o)) {
        if (outline->Pen()) ++pens[outline->Pen()];
        if (auto* solid = dynamic_cast<TVuSolidShape*>(o); solid && solid->Brush()) ++brushes[solid->Brush()];
        if (auto* text = dynamic_cast<TVuBaseTextObject*>(o); text && text->Font()) ++fonts[text->Font()];
        if (auto* picture = dynamic_cast<TVuGraphicObject*>(o); picture && picture->Graphic()) ++graphics[picture->Graphic()];
      }
    }
  }
  TVuResourceTable& table = list.ResourceTable();
  Recount(table.Pens(), pens);
  Recount(table.Brushes(), brushes);
  Recount(table.Fonts(), fonts);
  TVuGraphicList& g = table.Graphics();
  for (int i = 0; i < g.Count(); ++i) {
    auto it = graphics.find(g.GetGraphic(i));
    g.References().SetValue(i, it == graphics.end() ? 1 : it->second);
  }
}

}  // namespace

void TVuHeaderFooterCaption::SaveToStream(QIODevice& stream) const {
  TVuValueList list;
  WriteFields<TVuHeaderFooterCaption>(list, *this, kCaptionFields);
  list.SaveToStream(stream);
  TVuFont font;
  font.Assign(FFont);
  font.SaveToStream(stream);
}

void TVuHeaderFooterCaption::LoadFromStream(QIODevice& stream) {
  TVuValueList list;
  list.LoadFromStream(stream);
  TVuFont record;
  record.LoadFromStream(stream);
  ReadFields<TVuHeaderFooterCaption>(list, *this, kCaptionFields);
  TFont font = FFont;
  record.AssignToFont(font);
  SetFont(font);
}

void TVuHeaderFooter::SaveToStream(QIODevice& stream) const {
  for (const auto& caption : FCaptions) caption->SaveToStream(stream);
  TVuValueList list;
  WriteFields<TVuHeaderFooter>(list, *this, kHeaderFooterFields);
  list.SaveToStream(stream);
  SavePen(FPen, stream);
}

void TVuHeaderFooter::LoadFromStream(QIODevice& stream) {
  for (auto& caption : FCaptions) caption->LoadFromStream(stream);
  TVuValueList list;
  list.LoadFromStream(stream);
  ReadFields<TVuHeaderFooter>(list, *this, kHeaderFooterFields);
  LoadPen(FPen, stream);
}

void TVuMargins::SaveToStream(QIODevice& stream) const {
  TVuValueList list;
  WriteFields<TVuMargins>(list, *this, kMarginFields);
  list.SaveToStream(stream);
  SavePen(FPen, stream);
}

void TVuMargins::LoadFromStream(QIODevice& stream) {
  TVuValueList list;
  list.LoadFromStream(stream);
  ReadFields<TVuMargins>(list, *this, kMarginFields);
  TPen pen = FPen;
  LoadPen(pen, stream);
  SetPen(pen);
}

void TVuPage::SaveToStream(QIODevice& stream) const {
  TVuValueList list;
  WriteFields<TVuPage>(list, *this, kPageFields);
  list.SaveToStream(stream);
  const int count = Count();
  for (int i = 0; i < count; ++i) FObjects.GetObject(i)->SaveToStream(stream);
}

void TVuPage::LoadFromStream(QIODevice& stream) {
  TVuReader reader(stream);
  TVuValueList list;
  list.LoadFromStream(reader);
  ReadFields<TVuPage>(list, *this, kPageFields);
  const int64_t count = list.ReadIntValue(QStringLiteral("NO"), 0);
  if (count > INT32_MAX) RaiseStreamReadError();
  reader.CheckCount(int32_t(count), kMinObjectRecord);
  for (int64_t i = 0; i < count; ++i) {
    const int32_t kind = reader.ReadInteger();
    std::unique_ptr<TVuBaseObject> object = CreateVuObject(kind);
    if (!object) {
      TVuValueList skipped;
      skipped.LoadFromStream(reader);
      continue;
    }
    object->LoadFromStream(stream);
    AddObject(std::move(object));
  }
}

// ---- the page list ------------------------------------------------------------------------

void TVuPageList::SaveToStream(QIODevice& stream) const {
  SaveFileHeaderToStream(stream, Count());
  FResourceTable->SaveToStream(stream);
  SaveSettingsToStream(stream);
  for (const auto& page : FPages) page->SaveToStream(stream);
}

void TVuPageList::SaveFileHeaderToStream(QIODevice& stream, int numPages) const {
  TFileHeader values;
  values.Orientation = FOrientation;
  values.PaperSize = PaperSizeToStr(FPaperSize);
  values.PageWidth = FPageWidth;
  values.PageHeight = FPageHeight;
  values.NumPages = numPages;
  TVuValueList header;
  WriteFields<TFileHeader>(header, values, kFileHeaderFields);
  header.SaveToStream(stream);
}

void TVuPageList::SaveSettingsToStream(QIODevice& stream) const {
  FHeader->SaveToStream(stream);
  FFooter->SaveToStream(stream);
  FMargins->SaveToStream(stream);
}

bool TVuPageList::LoadFromStream(QIODevice& stream) {
  TVuValueList header;
  header.LoadFromStream(stream);
  bool loadFile = true;
  if (OnBeforeLoad) OnBeforeLoad(this, header.ReadExtValue(QStringLiteral("V"), 0), loadFile);
  if (!loadFile) return false;
  // The fresh list shares the printer; nothing of this list is touched until it is complete.
  TVuPageList loaded(FPrinter);
  loaded.ReadDocument(stream, header);
  TakeDocument(loaded);
  return true;
}

void TVuPageList::ReadDocument(QIODevice& stream, const TVuValueList& fileHeader) {
  TFileHeader values;
  ReadFields<TFileHeader>(fileHeader, values, kFileHeaderFields);
  FOrientation = TVuOrientation(values.Orientation);
  FPaperSize = StrToPaperSize(values.PaperSize);
  FPageWidth = values.PageWidth;
  FPageHeight = values.PageHeight;
  const int64_t pages = values.NumPages;
  FResourceTable->LoadFromStream(stream);
  FHeader->LoadFromStream(stream);
  FFooter->LoadFromStream(stream);
  FMargins->LoadFromStream(stream);
  TVuReader reader(stream);
  reader.CheckCount(int32_t(pages), kMinPageRecord);
  FPages.clear();
  for (int64_t i = 0; i < pages; ++i) AddPage()->LoadFromStream(stream);
  CountReferences(*this);
}

int TVuPageList::PrintFromStream(QIODevice& stream, const QString& outputFile) {
  TVuValueList fileHeader;
  fileHeader.LoadFromStream(stream);
  TFileHeader values;
  ReadFields<TFileHeader>(fileHeader, values, kFileHeaderFields);
  FCanvas->ForgetObject(FCanvas->LastObject());
  ClearPages(true, true);
  FOrientation = TVuOrientation(values.Orientation);
  FPaperSize = StrToPaperSize(values.PaperSize);
  FPageWidth = values.PageWidth;
  FPageHeight = values.PageHeight;
  // Bitmaps, the bulk of a long file, are read a sheet's worth at a time where the stream
  // can seek; they are emptied again once their sheet is printed.
  TVuGraphicList& graphics = FResourceTable->Graphics();
  graphics.DeferBitmaps = true;
  TryFinally([&] { FResourceTable->LoadFromStream(stream); }, [&] { graphics.DeferBitmaps = false; });
  FHeader->LoadFromStream(stream);
  FFooter->LoadFromStream(stream);
  FMargins->LoadFromStream(stream);
  TVuReader reader(stream);
  reader.CheckCount(int32_t(values.NumPages), kMinPageRecord);
  // Pens, fonts and the table's entries stay for the whole job: every page may use any of them.
  TVuPageStreamJob job(*this, outputFile);
  job.KeepResources();
  job.SetTotalPages(int(values.NumPages));
  TryFinally(
      [&] {
        for (int64_t i = 0; i < values.NumPages; ++i) {
          TVuPage* page = job.NewPage();
          // A page alone in the job follows a printed sheet, whose bitmaps are no longer needed.
          if (job.PagesHeld() == 1) graphics.ReleaseDeferred();
          page->LoadFromStream(stream);
          for (int o = 0; o < page->Count(); ++o)
            if (auto* picture = dynamic_cast<TVuGraphicObject*>(page->VuObject(o)))
              graphics.LoadDeferred(picture->Graphic());
        }
        job.Finish();
      },
      [&] { graphics.StopDeferring(); });
  return job.PagesPrinted();
}

void TVuPageList::TakeDocument(TVuPageList& loaded) {
  BeginUpdate();
  // The recording canvas must not keep an object of the pages that go.
  FCanvas->ForgetObject(FCanvas->LastObject());
  const bool compareGraphics = FResourceTable->Graphics().CompareGraphics;
  std::swap(FResourceTable, loaded.FResourceTable);
  std::swap(FPages, loaded.FPages);
  FResourceTable->Graphics().CompareGraphics = compareGraphics;
  FResourceTable->Memos().OnNeedRichEdit = [this](TVuCustomMemoList*) { return NeedRichEdit(); };
  loaded.FResourceTable->Memos().OnNeedRichEdit = nullptr;
  for (auto& page : loaded.FPages) {
    page->FOwner = &loaded;
    page->OnChange = nullptr;
    page->OnOrientationChange = nullptr;
  }
  for (auto& page : FPages) {
    page->FOwner = this;
    page->OnChange = [this](TPersistent* sender) { PageChanged(sender); };
    page->OnOrientationChange = [this](TPersistent* sender) { PageChanged(sender); };
    for (int i = 0; i < page->Count(); ++i) {
      TVuBaseObject* object = page->VuObject(i);
      if (object->IsVisibleObject())
        static_cast<TVuVisibleObject*>(object)->OnChangeLevel = [this](TPersistent* sender, TVuArrangeObject arrange) {
          ChangeObjectLevel(sender, arrange);
        };
    }
  }
  FOrientation = loaded.FOrientation;
  FPaperSize = loaded.FPaperSize;
  FPageWidth = loaded.FPageWidth;
  FPageHeight = loaded.FPageHeight;
  for (auto [to, from] : {std::pair<TVuHeaderFooter*, TVuHeaderFooter*>{FHeader.get(), loaded.FHeader.get()},
                          {FFooter.get(), loaded.FFooter.get()}}) {
    to->Assign(from);
    to->SetVisible(from->GetVisible());
    to->SetShowLine(from->GetShowLine());
    to->Height().SetAsInches(from->Height().Inches());
    to->SetPen(from->Pen());
  }
  FMargins->SetAsInches(loaded.FMargins->GetAsInches());
  FMargins->SetClipMargins(loaded.FMargins->GetClipMargins());
  FMargins->SetPen(loaded.FMargins->Pen());
  FCurrentPage = 1;
  EndUpdate();
}

void TVuPageList::SaveToFile(const QString& fileName) const {
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  SaveToStream(buffer);
  buffer.close();
  WriteFileReplacing(fileName, data);
}

bool TVuPageList::LoadFromFile(const QString& fileName) {
  QByteArray data = ReadWholeFile(fileName);
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  return LoadFromStream(buffer);
}
