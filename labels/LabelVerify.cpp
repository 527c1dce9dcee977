#include "labels/LabelVerify.h"
#include <zbar.h>
#include <cmath>
#include <memory>
#include "platform/Graphics.h"

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
}  // namespace

QStringList DecodeEan13(const QImage& picture) { return DecodeSymbols(picture, ZBAR_EAN13); }

QStringList DecodeSymbols(const QImage& picture, int zbarType) {
  const QImage grey = picture.format() == QImage::Format_Grayscale8 ? picture : picture.convertToFormat(QImage::Format_Grayscale8);
  // zbar wants rows without padding.
  QByteArray data;
  data.reserve(qsizetype(grey.width()) * grey.height());
  for (int y = 0; y < grey.height(); ++y)
    data.append(reinterpret_cast<const char*>(grey.constScanLine(y)), grey.width());
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
  // scanned, every second one (hundreds of rows at a printer's resolution).
  zbar_image_scanner_set_config(scanner.get(), ZBAR_NONE, ZBAR_CFG_X_DENSITY, 0);
  zbar_image_scanner_set_config(scanner.get(), ZBAR_NONE, ZBAR_CFG_Y_DENSITY, 2);
  std::unique_ptr<zbar_image_t, TImageDeleter> image(zbar_image_create());
  zbar_image_set_format(image.get(), zbar_fourcc('Y', '8', '0', '0'));
  zbar_image_set_size(image.get(), unsigned(grey.width()), unsigned(grey.height()));
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
  // The page is drawn from its corner, shifted so that the cell's corner lands on (0, 0);
  // the neighbours fall outside the picture.
  canvas.SetWindowOrg(0, 0);
  canvas.SetViewportOrg(-left, -top);
  page.DrawToCanvas(canvas, ppi, ppi, false);
  return picture.Image().convertToFormat(QImage::Format_Grayscale8);
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
