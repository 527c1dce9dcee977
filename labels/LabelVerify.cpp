#include "labels/LabelVerify.h"
#include <zbar.h>
#include <cmath>
#include <cstring>
#include <memory>
#include "platform/Graphics.h"
#include "preview/document/Vuobjects.h"

// The C interface of the decoder; its C++ header puts it in a namespace of its own.
using namespace zbar;

namespace {
struct TScannerDeleter {
  void operator()(zbar_image_scanner_t* s) const { zbar_image_scanner_destroy(s); }
};
struct TImageDeleter {
  void operator()(zbar_image_t* i) const { zbar_image_destroy(i); }
};

int Pixels(double mm, int ppi) { return int(std::lrint(mm * ppi / 25.4)); }

// Rows scanned: one in four (a 4 mm bar at 300 dpi still gets a dozen scans).
constexpr int RowStep = 4;

// Every step-th row of the picture (from the middle of the first step on) as the decoder's
// 8-bit grey rows without padding. The bars stand upright, so every row crosses all of
// them; a sample of rows decodes as surely as all, and the conversion (Qt's own goes through
// colour management and took half the time of the whole check) and the scan cost less.
QByteArray GreyRows(const QImage& picture, int step, int& rows) {
  const int w = picture.width();
  rows = picture.height() / step;
  QByteArray data(qsizetype(w) * rows, Qt::Uninitialized);
  uchar* out = reinterpret_cast<uchar*>(data.data());
  const QImage::Format f = picture.format();
  const bool grey = f == QImage::Format_Grayscale8;
  const bool rgb32 = f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 || f == QImage::Format_ARGB32_Premultiplied;
  const QImage source = grey || rgb32 ? picture : picture.convertToFormat(QImage::Format_RGB32);
  for (int r = 0; r < rows; ++r) {
    const int y = r * step + step / 2;
    uchar* row = out + qsizetype(r) * w;
    if (grey) {
      std::memcpy(row, source.constScanLine(y), size_t(w));
      continue;
    }
    const QRgb* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
    for (int x = 0; x < w; ++x) row[x] = uchar(qGray(line[x]));
  }
  return data;
}
}  // namespace

QStringList DecodeSymbols(const QImage& picture, int zbarType) {
  int rows = 0;
  const QByteArray data = GreyRows(picture, RowStep, rows);
  std::unique_ptr<zbar_image_scanner_t, TScannerDeleter> scanner(zbar_image_scanner_create());
  // The label's symbology only: nothing else may be mistaken for its symbol. Short symbols
  // are the label's own too (the decoder ignores short Interleaved 2 of 5 and Codabar).
  const auto type = zbar_symbol_type_t(zbarType);
  zbar_image_scanner_set_config(scanner.get(), ZBAR_NONE, ZBAR_CFG_ENABLE, 0);
  zbar_image_scanner_set_config(scanner.get(), type, ZBAR_CFG_ENABLE, 1);
  if (type != ZBAR_EAN13) zbar_image_scanner_set_config(scanner.get(), type, ZBAR_CFG_MIN_LEN, 1);
  // The decoder finds UPC symbols and add-ons through its EAN-13 reader; only the label's
  // own symbology counts among what it reads.
  const bool upc = type == ZBAR_UPCA || type == ZBAR_UPCE || type == ZBAR_EAN2 || type == ZBAR_EAN5;
  if (upc) zbar_image_scanner_set_config(scanner.get(), ZBAR_EAN13, ZBAR_CFG_ENABLE, 1);
  // The bars stand upright: rows cross every bar, columns cross none, so only rows are
  // scanned, every one of the sample.
  zbar_image_scanner_set_config(scanner.get(), ZBAR_NONE, ZBAR_CFG_X_DENSITY, 0);
  zbar_image_scanner_set_config(scanner.get(), ZBAR_NONE, ZBAR_CFG_Y_DENSITY, 1);
  std::unique_ptr<zbar_image_t, TImageDeleter> image(zbar_image_create());
  zbar_image_set_format(image.get(), zbar_fourcc('Y', '8', '0', '0'));
  zbar_image_set_size(image.get(), unsigned(picture.width()), unsigned(rows));
  zbar_image_set_data(image.get(), data.constData(), unsigned(data.size()), nullptr);
  QStringList values;
  if (zbar_scan_image(scanner.get(), image.get()) <= 0) return values;
  for (const zbar_symbol_t* s = zbar_image_first_symbol(image.get()); s; s = zbar_symbol_next(s))
    if (zbar_symbol_get_type(s) == type) values << QString::fromLatin1(zbar_symbol_get_data(s));
  return values;
}

QImage RenderLabel(TVuPage& page, const TLabelSheet& sheet, const TPlacedLabel& label, int ppi) {
  const QRectF cell = sheet.Cell(label.Position);
  const int left = Pixels(cell.left(), ppi), top = Pixels(cell.top(), ppi);
  TBitmap picture(Pixels(cell.right(), ppi) - left, Pixels(cell.bottom(), ppi) - top);
  TCanvas& canvas = picture.Canvas();
  // The label's objects are drawn as the page draws them, from the page's corner, shifted
  // so that the cell's corner lands on (0, 0). Only the label's own: drawing the whole
  // page for every label took most of the check's time, and nothing of a neighbour may
  // reach into the cell anyway (the plan keeps every label inside its own).
  canvas.SetWindowOrg(0, 0);
  canvas.SetViewportOrg(-left, -top);
  TVuObjectDrawData d;
  d.PageNum = page.GetPageNum();
  d.PpiX = d.PpiY = ppi;
  for (int i = label.FirstObject; i < label.EndObject; ++i) page.VuObject(i)->Draw(canvas, d);
  return picture.Image();
}

QStringList VerifySheet(TVuPage& page, const TLabelSheet& sheet, const std::vector<TPlacedLabel>& labels, int ppi,
                        int zbarType) {
  QStringList faults;
  for (const TPlacedLabel& label : labels) {
    const QStringList read = DecodeSymbols(RenderLabel(page, sheet, label, ppi), zbarType);
    if (read.size() == 1 && read[0] == label.Reading) continue;
    faults << QStringLiteral("row %1: the label of %2 (sheet %3, label %4) reads as %5 at %6 dpi.")
                  .arg(label.Row)
                  .arg(label.Value)
                  .arg(label.Sheet)
                  .arg(label.Position + 1)
                  .arg(read.isEmpty() ? QStringLiteral("nothing") : read.join(QStringLiteral(", ")))
                  .arg(ppi);
  }
  return faults;
}
