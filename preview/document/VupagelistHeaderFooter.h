// The header and footer of the page list's pages: captions with page and date tokens.
#pragma once
#include <QString>
#include <memory>
#include <optional>
#include <utility>
#include "platform/Canvas.h"
#include "platform/Classes.h"
#include "preview/core/Vuclasses.h"
#include "preview/core/Vutypes.h"
#include "preview/document/VupagelistMargins.h"

// ---------------------------------------------------------------------------------------
// Header and footer

enum TVuCaptionAlign { vuLeft, vuCenter, vuRight };

class TVuHeaderFooter;

// One of the three captions of a header or footer; the page tokens are expanded per page.
class TVuHeaderFooterCaption : public TPersistent {
 public:
  TVuHeaderFooterCaption(TVuHeaderFooter* owner, TNotifyEvent onChange);
  QString ClassName() const override { return QStringLiteral("TVuHeaderFooterCaption"); }
  // From another caption: text and font; notifies.
  void Assign(const TPersistent* source) override;
  const QString& GetCaption() const { return FCaption; }
  void SetCaption(const QString& value);
  // Arial 12 points at first.
  const TFont& Font() const { return FFont; }
  // Copies the font and notifies.
  void SetFont(const TFont& value);
  TVuHeaderFooter* Owner() const { return FOwner; }
  // ---- page files: a value list with "T", then the font record.
  void SaveToStream(QIODevice& stream) const;
  void LoadFromStream(QIODevice& stream);
  // Writes the caption into rect (device pixels): standing on the rectangle's bottom in a
  // header, hanging from its top in a footer. ppiY is not used: the horizontal resolution
  // sizes the text.
  void DrawToCanvas(TCanvas& canvas, const TRect& rect, int ppiX, int ppiY, TVuCaptionAlign align,
                    int page, int numPages);

  TVuNotifyHook OnChange;

 private:
  void Changed();
  TVuHeaderFooter* FOwner;
  QString FCaption;
  TFont FFont;
};

class TVuHeaderFooter : public TPersistent {
 public:
  explicit TVuHeaderFooter(TNotifyEvent onChange = {});
  ~TVuHeaderFooter() override;
  TVuHeaderFooter(const TVuHeaderFooter&) = delete;
  TVuHeaderFooter& operator=(const TVuHeaderFooter&) = delete;
  QString ClassName() const override { return QStringLiteral("TVuHeaderFooter"); }
  // From another header or footer: only the three captions (text and font).
  void Assign(const TPersistent* source) override;

  TVuHeaderFooterCaption& CaptionLeft() const { return *FCaptions[0]; }
  TVuHeaderFooterCaption& CaptionCenter() const { return *FCaptions[1]; }
  TVuHeaderFooterCaption& CaptionRight() const { return *FCaptions[2]; }
  // Index 0 left, 1 centre, 2 right; a list index error otherwise.
  TVuHeaderFooterCaption& GetCaptionIndex(int index) const;
  void SetCaptionIndex(int index, const TVuHeaderFooterCaption& caption);

  // The stored height, or with 0 the height of the largest caption font.
  Extended GetHeight(TVuMeasurement measurement) const;
  // 0 returns to automatic height.
  void SetHeight(TVuMeasurement measurement, Extended value);
  TVuValue& Height() const { return *FHeight; }
  // The caption font of the greatest point size; ties go to left, then centre.
  const TFont& GetLargestFont() const;
  const TPen& Pen() const { return FPen; }
  // Copies the pen; reports nothing.
  void SetPen(const TPen& value) { FPen = value; }
  bool GetShowLine() const { return FShowLine; }
  void SetShowLine(bool value);
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool value);

  // True for a header: captions stand on the band's bottom edge and the separator line
  // runs along it; a footer hangs its captions from its top edge.
  virtual bool IsHeader() const = 0;
  // The band of a page of pageSize inches, in pixels at ppiX by ppiY.
  TRect BandRect(const TVuMargins& margins, const TVuSize& pageSize, int ppiX, int ppiY) const;
  // Nothing unless Visible: the captions, then the separator line.
  virtual void DrawToCanvas(TCanvas& canvas, const TVuMargins& margins, const TVuSize& pageSize,
                            int ppiX, int ppiY, int page, int numPages);
  // ---- page files: the three captions, a value list with "VS", "SL", "HT", the line pen.
  void SaveToStream(QIODevice& stream) const;
  void LoadFromStream(QIODevice& stream);

  void Changed();
  TVuNotifyHook OnChange;

 private:
  std::unique_ptr<TVuHeaderFooterCaption> FCaptions[3];
  std::unique_ptr<TVuValue> FHeight;
  TPen FPen;
  bool FShowLine = true;
  bool FVisible = false;
  // The height of the font last measured for GetHeight: a grid asks for every row.
  mutable std::optional<std::pair<TFont, Extended>> FFontHeight;
};

class TVuHeader : public TVuHeaderFooter {
 public:
  using TVuHeaderFooter::TVuHeaderFooter;
  QString ClassName() const override { return QStringLiteral("TVuHeader"); }
  bool IsHeader() const override { return true; }
};

class TVuFooter : public TVuHeaderFooter {
 public:
  using TVuHeaderFooter::TVuHeaderFooter;
  QString ClassName() const override { return QStringLiteral("TVuFooter"); }
  bool IsHeader() const override { return false; }
};

