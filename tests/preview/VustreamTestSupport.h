// A document of every kind for the page-file tests, the fuzzer's seed corpus and the
// benchmark: all twenty object kinds, the three picture kinds, header and footer captions,
// margins and pages of both orientations.
#pragma once
#include <QBuffer>
#include <QByteArray>
#include <vector>
#include "platform/Jpeg.h"
#include "platform/Metafile.h"
#include "preview/document/Vucanvas.h"
#include "preview/document/Vupagelist.h"

inline TBitmap TestPicture(int width = 64, int height = 32, TColor ink = clBlack) {
  TBitmap picture(width, height);
  picture.Canvas().Brush().Color = ink;
  picture.Canvas().FillRect(QRect(4, 4, width / 2 - 4, height - 8));
  return picture;
}

inline TMetafile TestMetafile() {
  TMetafile metafile;
  metafile.SetWidth(40);
  metafile.SetHeight(20);
  {
    TMetafileCanvas canvas(metafile);
    canvas.Brush().Color = clRed;
    canvas.FillRect(QRect(2, 2, 28, 16));
  }
  return metafile;
}

inline std::unique_ptr<TJPEGImage> TestJpeg() {
  std::unique_ptr<TJPEGImage> jpeg;
  GraphicToJPeg(TestPicture(24, 16, clBlue), jpeg);
  return jpeg;
}

// One page with every object kind; the others with a few shapes, so that a document of
// pages pages is small enough to cut at every byte.
inline void RecordEveryKind(TVuPageList& list, int pages = 2) {
  TVuCanvas& c = list.Canvas();
  c.SetPenValues(2, clBlue, psDash);
  c.SetBrushValues(clYellow, bsSolid);
  c.SetFontValues(QStringLiteral("Arial"), 14, clMaroon, fsBold | fsItalic);
  c.TextOut(10, 10, QStringLiteral("Hello {PAGE}"));
  const TVuRect clip{5, 5, 50, 20};
  c.TextOutExt(20, 20, 30, &clip, QStringLiteral("turned"));
  c.TextBox(10, 30, 90, 60, QStringLiteral("first line\r\nsecond line"));
  c.Line(0, 0, 100, 100);
  c.Rectangle(10, 20, 60, 40);
  c.Ellipse(20, 20, 40, 50);
  c.RoundRect(30, 30, 80, 60, 5, 5);
  c.Arc(10, 70, 60, 120, 60, 95, 10, 95);
  c.Chord(10, 70, 60, 120, 60, 95, 10, 95);
  c.Pie(10, 70, 60, 120, 60, 95, 10, 95);
  const TVuPoint points[] = {{10, 130}, {40, 150}, {70, 130}, {100, 160}};
  c.Polygon(points, 3);
  c.Polyline(points, 3);
  c.PolyBezier(points, 3);
  c.PolylineTo(points, 2);
  c.PolyBezierTo(points, 2);
  c.BeginPath();
  c.Rectangle(120, 10, 150, 30);
  c.EndPath();
  c.StrokePath();
  c.SetClipRect(100, 100, 180, 200);
  c.SetClipEllipse(100, 100, 180, 200);
  c.SetClipRoundRect(100, 100, 180, 200, 10, 10);
  c.RemoveClipRgn();
  const TBitmap bitmap = TestPicture();
  c.StretchDraw(120, 40, 180, 70, bitmap);
  c.StretchDraw(120, 80, 160, 100, TestMetafile());
  c.StretchDraw(120, 110, 150, 130, *TestJpeg());
  c.StretchDraw(120, 140, 180, 170, bitmap);  // the same picture again: stored once
  for (int n = 2; n <= pages; ++n) {
    list.AddPage();
    if (n % 2 == 0) list.Current()->SetOrientation(vuLandscape);
    c.SetPenValues(1, clGreen, psSolid);
    c.Rectangle(5.0L * n, 5, 50, 50);
    c.TextOut(10, 60, QStringLiteral("page %1").arg(n));
  }
  list.Header().CaptionLeft().SetCaption(QStringLiteral("Left {DATE}"));
  list.Header().CaptionCenter().SetCaption(QStringLiteral("Centre"));
  list.Header().SetVisible(true);
  list.Footer().CaptionRight().SetCaption(QStringLiteral("Page {PAGE} of {NUMPAGES}"));
  list.Footer().SetVisible(true);
  list.Footer().SetShowLine(false);
  list.Footer().SetHeight(vuInches, 0.4L);
  list.Margins().SetClipMargins(true);
  list.Margins().SetAsInches(VuRect(0.25L, 0.5L, 0.75L, 1.0L));
  list.Page(1)->SetShowFooter(false);
}

inline QByteArray SavedBytes(const TVuPageList& list) {
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  list.SaveToStream(buffer);
  return data;
}

// Loads bytes into list; raises what the load raises.
inline bool LoadBytes(TVuPageList& list, QByteArray bytes) {
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  return list.LoadFromStream(buffer);
}
