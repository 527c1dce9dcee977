#include "platform/Jpeg.h"
#include <QIODevice>
#include <QPainter>
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include "platform/Errors.h"

namespace {
// libjpeg's own error handler ends the process; this one jumps back to the caller, which
// turns the failure into an exception once it is out of the library's frames. Warnings
// (truncated data, corrupt entropy data) count as failures: a picture that decodes only
// with gaps is damaged.
struct TJpegError {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<TJpegError*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->Message);
  std::longjmp(err->Jump, 1);
}

void EmitMessage(j_common_ptr cinfo, int level) {
  if (level < 0) ErrorExit(cinfo);
}

void InitError(TJpegError& err) {
  jpeg_std_error(&err.Manager);
  err.Manager.error_exit = ErrorExit;
  err.Manager.emit_message = EmitMessage;
  err.Message[0] = 0;
}

// Larger pictures than this are refused rather than allocated (a damaged header can claim
// 65500 by 65500 pixels).
constexpr long long MaxPixels = 1LL << 28;

[[noreturn]] void RaiseJpeg(const char* message) {
  throw EInvalidGraphic(QStringLiteral("JPEG error #%1").arg(QString::fromLocal8Bit(message)));
}

// Returns false with err.Message set on failure. Only plain C state lives in this frame
// between setjmp and the library's longjmp.
bool DecodeInto(const QByteArray& data, QImage* out, bool headerOnly, QSize* size, qsizetype* consumed,
                TJpegError& err) {
  jpeg_decompress_struct cinfo;
  InitError(err);
  cinfo.err = &err.Manager;
  if (setjmp(err.Jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.constData()),
               static_cast<unsigned long>(data.size()));
  jpeg_read_header(&cinfo, TRUE);
  *size = QSize(int(cinfo.image_width), int(cinfo.image_height));
  if ((long long)cinfo.image_width * cinfo.image_height > MaxPixels) {
    std::snprintf(err.Message, sizeof err.Message, "Image is too large (%ux%u)", cinfo.image_width,
                  cinfo.image_height);
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  if (headerOnly) {
    jpeg_destroy_decompress(&cinfo);
    return true;
  }
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
  jpeg_start_decompress(&cinfo);
  if (out->width() != int(cinfo.output_width) || out->height() != int(cinfo.output_height)) {
    // The caller allocates from the header size; output size always matches it here.
    std::snprintf(err.Message, sizeof err.Message, "Unexpected output size");
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = out->scanLine(int(cinfo.output_scanline));
    jpeg_read_scanlines(&cinfo, &row, 1);
    if (cmyk) {
      // Adobe writes CMYK inverted: each byte is 255 - ink. Convert in place to BGRX.
      uchar* p = row;
      for (unsigned x = 0; x < cinfo.output_width; ++x, p += 4) {
        const int c = p[0], m = p[1], y = p[2], k = p[3];
        p[0] = uchar(y * k / 255);
        p[1] = uchar(m * k / 255);
        p[2] = uchar(c * k / 255);
        p[3] = 255;
      }
    }
  }
  jpeg_finish_decompress(&cinfo);
  // The reader stops at the end-of-image marker; what follows belongs to someone else.
  if (consumed) *consumed = data.size() - qsizetype(cinfo.src->bytes_in_buffer);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

bool EncodeFrom(const QImage& image, int quality, bool progressive, bool grayscale,
                unsigned char** buffer, unsigned long* size, TJpegError& err) {
  jpeg_compress_struct cinfo;
  InitError(err);
  cinfo.err = &err.Manager;
  if (setjmp(err.Jump)) {
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, buffer, size);
  cinfo.image_width = JDIMENSION(image.width());
  cinfo.image_height = JDIMENSION(image.height());
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_EXT_BGRX;
  jpeg_set_defaults(&cinfo);
  if (grayscale) jpeg_set_colorspace(&cinfo, JCS_GRAYSCALE);
  jpeg_set_quality(&cinfo, quality, TRUE);
  if (progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<uchar*>(image.constScanLine(int(cinfo.next_scanline)));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}
}  // namespace

QSize JpegSize(const QByteArray& data) {
  if (data.isEmpty()) RaiseJpeg("Empty input file");
  TJpegError err;
  QSize size;
  if (!DecodeInto(data, nullptr, true, &size, nullptr, err)) RaiseJpeg(err.Message);
  return size;
}

QImage DecodeJpeg(const QByteArray& data, qsizetype* consumed) {
  const QSize size = JpegSize(data);
  QImage image(size, QImage::Format_RGB32);
  if (image.isNull()) throw EOutOfResources(QStringLiteral("Out of system resources"));
  TJpegError err;
  QSize decodedSize;
  if (!DecodeInto(data, &image, false, &decodedSize, consumed, err)) RaiseJpeg(err.Message);
  return image;
}

QByteArray EncodeJpeg(const QImage& source, int quality, bool progressive, bool grayscale) {
  if (source.isNull()) throw EInvalidGraphic(QStringLiteral("Cannot compress an empty picture"));
  QImage image = source.convertToFormat(QImage::Format_RGB32);
  if (source.hasAlphaChannel()) {
    image = QImage(source.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.drawImage(0, 0, source);
  }
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  TJpegError err;
  const bool ok = EncodeFrom(image, quality, progressive, grayscale, &buffer, &size, err);
  QByteArray bytes;
  if (ok) bytes = QByteArray(reinterpret_cast<const char*>(buffer), qsizetype(size));
  std::free(buffer);
  if (!ok) RaiseJpeg(err.Message);
  return bytes;
}

TJPEGImage::TJPEGImage(const TJPEGImage& other)
    : TGraphic(), FData(other.FData), FWidth(other.FWidth), FHeight(other.FHeight),
      FQuality(other.FQuality), FProgressive(other.FProgressive), FGrayscale(other.FGrayscale),
      FDecoded(other.FDecoded) {}

TJPEGImage& TJPEGImage::operator=(const TJPEGImage& other) {
  if (this != &other) {
    FData = other.FData;
    FWidth = other.FWidth;
    FHeight = other.FHeight;
    FQuality = other.FQuality;
    FProgressive = other.FProgressive;
    FGrayscale = other.FGrayscale;
    FDecoded = other.FDecoded;
  }
  return *this;
}

const QImage& TJPEGImage::Image() const {
  if (FDecoded.isNull() && !FData.isEmpty()) FDecoded = DecodeJpeg(FData);
  return FDecoded;
}

void TJPEGImage::Draw(TCanvas& canvas, const QRect& rect) const {
  QPainter* p = canvas.Painter();
  if (!p || Empty()) return;
  p->drawImage(rect, Image());
}

void TJPEGImage::SaveToStream(QIODevice& stream) const {
  if (stream.write(FData) != FData.size()) throw EWriteError(QStringLiteral("Stream write error"));
}

void TJPEGImage::LoadFromStream(QIODevice& stream) {
  const qint64 start = stream.pos();
  QByteArray data = stream.readAll();
  qsizetype consumed = data.size();
  QImage decoded = DecodeJpeg(data, &consumed);
  // Keep only the picture's own bytes and leave the stream just after them.
  data.truncate(consumed);
  if (!stream.isSequential()) stream.seek(start + consumed);
  FData = std::move(data);
  FWidth = decoded.width();
  FHeight = decoded.height();
  // Only the compressed bytes stay; drawing decodes them again.
  FDecoded = QImage();
}

void TJPEGImage::Compress(const QImage& image) {
  QByteArray data = EncodeJpeg(image, FQuality, FProgressive, FGrayscale);
  FData = std::move(data);
  FWidth = image.width();
  FHeight = image.height();
  FDecoded = QImage();
}

void TJPEGImage::Assign(const TGraphic& source) {
  if (&source == this) return;
  if (auto* jpeg = dynamic_cast<const TJPEGImage*>(&source)) {
    *this = *jpeg;
    return;
  }
  if (source.Empty()) {
    FData.clear();
    FWidth = FHeight = 0;
    FDecoded = QImage();
    return;
  }
  if (auto* bitmap = dynamic_cast<const TBitmap*>(&source)) {
    Compress(bitmap->Image());
    return;
  }
  TBitmap bitmap;
  bitmap.Assign(source);
  Compress(bitmap.Image());
}
