#include "platform/Icon.h"

void TIcon::SetImage(const QImage& image) {
  FImage = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_ARGB32);
}
