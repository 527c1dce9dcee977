// A stand-alone picture of one symbol: bars, text and quiet zone on a white bitmap.
#include <QRect>
#include <cmath>
#include "barcode/Barcode.h"
#include "platform/Graphics.h"

std::unique_ptr<TBitmap> DrawBarcodeBitmap(TNyBarcode& barcode, int quietModules) {
  barcode.SetLeft(0);
  barcode.SetTop(0);
  // Encoding first: it settles Text (trimmed, padded) before the text is measured, and
  // raises the component's errors before anything is made.
  barcode.MakeData();
  // The element outlines include their last row and column, one pixel past the box.
  QRect bounds(0, 0, barcode.GetCanvasWidth() + 1, barcode.GetCanvasHeight() + 1);
  // The component writes a text at the top over the first bars; in a picture of its own the
  // bars move down below it, one pixel apart, as a text at the bottom stands below them.
  int barsDown = 0;

  if (barcode.ShowText() != bcoNone) {
    TBitmap probe(1, 1);
    TCanvas& canvas = probe.Canvas();
    canvas.Font() = barcode.ShowTextFont();
    const int width = barcode.GetWidth();
    const QString& text = barcode.Text();
    const QSize extent = canvas.TextExtent(text);
    if (barcode.ShowText() == bcoCode || barcode.ShowText() == bcoBoth) {
      int x = 0;
      switch (barcode.ShowTextPosition()) {
        case stpTopLeft: case stpBottomLeft: x = 0; break;
        case stpTopRight: case stpBottomRight: x = width - extent.width(); break;
        case stpTopCenter: case stpBottomCenter: x = (width - extent.width()) / 2; break;
      }
      const bool top = barcode.ShowTextPosition() <= stpTopCenter;
      if (top) {
        barsDown = extent.height() + 1;
        bounds.translate(0, barsDown);
      }
      bounds |= QRect(QPoint(x, top ? 0 : barcode.Height() + 1), extent);
    }
    if (barcode.ShowText() == bcoTyp || barcode.ShowText() == bcoBoth) {
      const int y = int(std::lrint(barcode.ShowTextFont().Height * 2.5));
      bounds |= QRect(QPoint(0, y), canvas.TextExtent(barcode.GetTypText()));
    }
  }

  const int quiet = quietModules * barcode.Modul();
  auto bitmap = std::make_unique<TBitmap>(bounds.width() + 2 * quiet, bounds.height() + 2 * quiet);
  barcode.SetLeft(quiet - bounds.left());
  barcode.SetTop(quiet - bounds.top());
  if (barsDown > 0) {
    const TBarcodeOption shown = barcode.ShowText();
    barcode.SetShowText(bcoNone);
    barcode.SetTop(barcode.Top() + barsDown);
    barcode.DrawBarcode(bitmap->Canvas());
    barcode.SetTop(barcode.Top() - barsDown);
    barcode.SetShowText(shown);
    barcode.DrawText(bitmap->Canvas());
  } else {
    barcode.DrawBarcode(bitmap->Canvas());
  }
  bitmap->Canvas().Release();
  return bitmap;
}
