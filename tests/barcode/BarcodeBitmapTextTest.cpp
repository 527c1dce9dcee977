// A barcode picture of its own (DrawBarcodeBitmap, the --symbology command's picture) with its
// text at any position: the bars stay whole, the text stands beside them, not over them.
#include <gtest/gtest.h>
#include <QImage>
#include <optional>
#include "TestSupport.h"
#include "barcode/Barcode.h"
#include "platform/Graphics.h"

namespace {
QImage Picture(TBarcodeOption shown, TShowTextPosition position) {
  TNyBarcode b;
  b.SetTyp(bcCode128B);
  b.SetText(QStringLiteral("Hello-123"));
  b.SetModul(2);
  b.SetHeight(50);
  b.SetShowText(shown);
  b.SetShowTextPosition(position);
  return DrawBarcodeBitmap(b)->Image().convertToFormat(QImage::Format_RGB32);
}

// Where the block appears pixel for pixel in the image, if anywhere.
std::optional<QPoint> Find(const QImage& image, const QImage& block) {
  for (int y = 0; y + block.height() <= image.height(); ++y)
    for (int x = 0; x + block.width() <= image.width(); ++x)
      if (image.copy(x, y, block.width(), block.height()) == block) return QPoint(x, y);
  return std::nullopt;
}
}  // namespace

TEST(BarcodeBitmapText, TheTextNeverCoversTheBars) {
  const QImage plain = Picture(bcoNone, stpTopLeft);
  const int quiet = 10 * 2;
  const QImage bars = plain.copy(quiet, quiet, plain.width() - 2 * quiet, plain.height() - 2 * quiet);
  for (TBarcodeOption shown : {bcoCode, bcoBoth})
    for (TShowTextPosition position : {stpTopLeft, stpTopRight, stpTopCenter, stpBottomLeft, stpBottomCenter}) {
      SCOPED_TRACE(testing::Message() << "show " << int(shown) << " position " << int(position));
      const QImage withText = Picture(shown, position);
      const std::optional<QPoint> at = Find(withText, bars);
      ASSERT_TRUE(at.has_value()) << "the bars are drawn over";
      // The text adds rows above (top positions) or below (bottom positions) the bars.
      const bool top = position <= stpTopCenter;
      if (top) EXPECT_GT(at->y(), quiet);
      else EXPECT_GT(withText.height() - at->y() - bars.height(), quiet);
    }
}
