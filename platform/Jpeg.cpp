#include "platform/Jpeg.h"
#include <QIODevice>
#include <QPainter>
#include <atomic>
#include <csetjmp>
#include <cstdio>
#include <list>
#include <mutex>
#include <optional>
#include <jpeglib.h>
#include <jerror.h>
#include "platform/Errors.h"
#include "platform/Files.h"

namespace {
// libjpeg's own error handler ends the process; this one jumps back to the caller, which
// turns the failure into an exception once it is out of the library's frames. Warnings
// (truncated data, corrupt entropy data) count as failures: a picture that decodes only
// with gaps is damaged.
struct TJpegError {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
  bool OutOfResources;
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
  err.OutOfResources = false;
}

// Larger pictures than this are refused rather than allocated (a damaged header can claim
// 65500 by 65500 pixels).
constexpr long long MaxPixels = 1LL << 28;

[[noreturn]] void RaiseJpeg(const char* message) {
  throw EInvalidGraphic(QStringLiteral("JPEG error #%1").arg(QString::fromLocal8Bit(message)));
}

[[noreturn]] void Raise(const TJpegError& err) {
  if (err.OutOfResources) throw EOutOfResources(QStringLiteral("Out of system resources"));
  RaiseJpeg(err.Message);
}

// A source that reads the stream in pieces as the decoder asks for them. Every byte read is
// kept in Taken, and the decoder's window always ends at the end of Taken, so what the
// decoder did not use is known exactly when it stops.
struct TStreamSource {
  jpeg_source_mgr Manager;
  QIODevice* Stream;
  QByteArray* Taken;
};

constexpr qint64 SourcePiece = 4096;

// Appends up to count bytes from the stream and widens the decoder's window over them;
// false when the stream has none left.
bool TakeMore(TStreamSource& src, qint64 count) {
  const qsizetype offset = src.Taken->size() - qsizetype(src.Manager.bytes_in_buffer);
  const QByteArray more = ReadAtMost(*src.Stream, count);
  if (more.isEmpty()) return false;
  *src.Taken += more;
  src.Manager.next_input_byte = reinterpret_cast<const JOCTET*>(src.Taken->constData()) + offset;
  src.Manager.bytes_in_buffer = size_t(src.Taken->size() - offset);
  return true;
}

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInput(j_decompress_ptr cinfo) {
  auto* src = reinterpret_cast<TStreamSource*>(cinfo->src);
  if (TakeMore(*src, SourcePiece)) return TRUE;
  if (src->Taken->isEmpty()) ERREXIT(cinfo, JERR_INPUT_EMPTY);
  // The end of the stream inside the picture: a warning, which the error manager treats
  // as a failure; the inserted end-of-image marker is never decoded.
  static const JOCTET EndOfImage[2] = {0xFF, JPEG_EOI};
  WARNMS(cinfo, JWRN_JPEG_EOF);
  src->Manager.next_input_byte = EndOfImage;
  src->Manager.bytes_in_buffer = 2;
  return TRUE;
}

void SkipInput(j_decompress_ptr cinfo, long count) {
  jpeg_source_mgr* src = cinfo->src;
  while (count > long(src->bytes_in_buffer)) {
    count -= long(src->bytes_in_buffer);
    src->next_input_byte += src->bytes_in_buffer;
    src->bytes_in_buffer = 0;
    FillInput(cinfo);
  }
  if (count > 0) {
    src->next_input_byte += count;
    src->bytes_in_buffer -= size_t(count);
  }
}

void InitStreamSource(TStreamSource& src, QIODevice& stream, QByteArray& taken) {
  src.Manager.init_source = InitSource;
  src.Manager.fill_input_buffer = FillInput;
  src.Manager.skip_input_data = SkipInput;
  src.Manager.resync_to_restart = jpeg_resync_to_restart;
  src.Manager.term_source = TermSource;
  src.Manager.next_input_byte = nullptr;
  src.Manager.bytes_in_buffer = 0;
  src.Stream = &stream;
  src.Taken = &taken;
}

// Where the compressed bytes come from: all of them in memory, or a stream read on demand.
struct TJpegInput {
  const QByteArray* Data = nullptr;
  TStreamSource* Stream = nullptr;
};

enum class TJpegAction { Header, Check, Decode };

// The fewest compressed bytes that can hold the first scan of the frame. Huffman coding
// spends at least one bit on every block's DC difference and, in a sequential scan, at
// least one more on its end of block. Arithmetic coding can spend far less than a bit on a
// block, so it gives no useful bound and only the pixel limit applies to it.
qint64 MinimumDataBytes(j_decompress_ptr cinfo) {
  if (cinfo->arith_code) return 0;
  const int bitsPerBlock = !cinfo->progressive_mode ? 2 : cinfo->Ss == 0 ? 1 : 0;
  qint64 blocks = 0;
  for (int i = 0; i < cinfo->comps_in_scan; ++i)
    blocks += qint64(cinfo->cur_comp_info[i]->width_in_blocks) * cinfo->cur_comp_info[i]->height_in_blocks;
  return blocks * bitsPerBlock / 8;
}

// Refuses a frame the data cannot hold before the decoder allocates anything for it. A
// stream source reads ahead as far as the bound asks, so that the check does not depend
// on how much the header parser happened to read.
bool FrameFits(j_decompress_ptr cinfo, const TJpegInput& input, TJpegError& err) {
  if ((long long)cinfo->image_width * cinfo->image_height > MaxPixels) {
    std::snprintf(err.Message, sizeof err.Message, "Image is too large (%ux%u)", cinfo->image_width,
                  cinfo->image_height);
    return false;
  }
  const qint64 need = MinimumDataBytes(cinfo);
  qint64 have = 0;
  if (input.Stream) {
    have = input.Stream->Taken->size();
    if (have < need && TakeMore(*input.Stream, need - have)) have = input.Stream->Taken->size();
  } else {
    have = input.Data->size();
  }
  if (have < need) {
    std::snprintf(err.Message, sizeof err.Message, "Data too short for a %ux%u image", cinfo->image_width,
                  cinfo->image_height);
    return false;
  }
  return true;
}

// Returns false with err set on failure. Only plain C state lives in this frame between
// setjmp and the library's longjmp; out belongs to the caller. Check decodes every row
// into one scratch row, to prove the data whole without keeping pixels. unread receives
// the bytes the decoder had read but not used when it reached the end-of-image marker.
bool DecodeInto(const TJpegInput& input, TJpegAction action, QImage* out, QSize* size, size_t* unread,
                TJpegError& err) {
  jpeg_decompress_struct cinfo;
  InitError(err);
  cinfo.err = &err.Manager;
  if (setjmp(err.Jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  if (input.Stream) cinfo.src = &input.Stream->Manager;
  else
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(input.Data->constData()),
                 static_cast<unsigned long>(input.Data->size()));
  jpeg_read_header(&cinfo, TRUE);
  *size = QSize(int(cinfo.image_width), int(cinfo.image_height));
  const bool fits = FrameFits(&cinfo, input, err);
  if (!fits || action == TJpegAction::Header) {
    jpeg_destroy_decompress(&cinfo);
    return fits;
  }
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
  jpeg_start_decompress(&cinfo);
  JSAMPROW scratch = nullptr;
  if (action == TJpegAction::Decode) {
    *out = QImage(int(cinfo.output_width), int(cinfo.output_height), QImage::Format_RGB32);
    if (out->isNull()) {
      err.OutOfResources = true;
      jpeg_destroy_decompress(&cinfo);
      return false;
    }
  } else {
    scratch = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                         cinfo.output_width * 4, 1)[0];
  }
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = scratch ? scratch : out->scanLine(int(cinfo.output_scanline));
    jpeg_read_scanlines(&cinfo, &row, 1);
    if (cmyk && !scratch) {
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
  *unread = cinfo.src->bytes_in_buffer;
  jpeg_destroy_decompress(&cinfo);
  return true;
}

// Puts the bytes of taken from index from on back into the stream, so that it reads them
// next: a seek on a random-access stream, pushed back into the device's buffer otherwise.
void GiveBack(QIODevice& stream, const QByteArray& taken, qsizetype from) {
  const qsizetype count = taken.size() - from;
  if (count <= 0) return;
  if (!stream.isSequential()) {
    stream.seek(stream.pos() - count);
    return;
  }
  for (qsizetype i = taken.size() - 1; i >= from; --i) stream.ungetChar(taken[i]);
}

// Decoded pictures, most recently used first, bounded in count and in bytes of pixels.
class TDecodedCache {
 public:
  std::optional<QImage> Find(quint64 serial) {
    std::lock_guard<std::mutex> lock(FLock);
    for (auto it = FEntries.begin(); it != FEntries.end(); ++it) {
      if (it->Serial != serial) continue;
      FEntries.splice(FEntries.begin(), FEntries, it);
      return FEntries.front().Image;
    }
    return std::nullopt;
  }
  void Put(quint64 serial, const QImage& image) {
    std::lock_guard<std::mutex> lock(FLock);
    if (image.sizeInBytes() > FMaxBytes || FMaxImages <= 0) return;
    FEntries.push_front(TEntry{serial, image});
    FBytes += image.sizeInBytes();
    Trim();
  }
  void Forget(quint64 serial) {
    std::lock_guard<std::mutex> lock(FLock);
    for (auto it = FEntries.begin(); it != FEntries.end(); ++it) {
      if (it->Serial != serial) continue;
      FBytes -= it->Image.sizeInBytes();
      FEntries.erase(it);
      return;
    }
  }
  void SetLimits(int images, qsizetype bytes) {
    std::lock_guard<std::mutex> lock(FLock);
    FMaxImages = images;
    FMaxBytes = bytes;
    Trim();
  }
  int MaxImages() {
    std::lock_guard<std::mutex> lock(FLock);
    return FMaxImages;
  }
  qsizetype MaxBytes() {
    std::lock_guard<std::mutex> lock(FLock);
    return FMaxBytes;
  }
  qsizetype Bytes() {
    std::lock_guard<std::mutex> lock(FLock);
    return FBytes;
  }

 private:
  void Trim() {
    while (!FEntries.empty() && (FBytes > FMaxBytes || int(FEntries.size()) > FMaxImages)) {
      FBytes -= FEntries.back().Image.sizeInBytes();
      FEntries.pop_back();
    }
  }
  struct TEntry {
    quint64 Serial;
    QImage Image;
  };
  std::mutex FLock;
  std::list<TEntry> FEntries;
  qsizetype FBytes = 0;
  int FMaxImages = 8;
  qsizetype FMaxBytes = qsizetype(64) << 20;
};

// Never destroyed: pictures freed during the program's exit still tell it.
TDecodedCache& DecodedCache() {
  static auto* cache = new TDecodedCache;
  return *cache;
}

std::atomic<quint64> NextSerial{1};

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

int JpegCacheImages() { return DecodedCache().MaxImages(); }
qsizetype JpegCacheLimit() { return DecodedCache().MaxBytes(); }
void SetJpegCacheLimits(int images, qsizetype bytes) { DecodedCache().SetLimits(images, bytes); }
qsizetype JpegCacheBytes() { return DecodedCache().Bytes(); }

QSize JpegSize(const QByteArray& data) {
  if (data.isEmpty()) RaiseJpeg("Empty input file");
  TJpegError err;
  QSize size;
  size_t unread = 0;
  if (!DecodeInto(TJpegInput{&data, nullptr}, TJpegAction::Header, nullptr, &size, &unread, err)) Raise(err);
  return size;
}

QImage DecodeJpeg(const QByteArray& data, qsizetype* consumed) {
  if (data.isEmpty()) RaiseJpeg("Empty input file");
  TJpegError err;
  QImage image;
  QSize size;
  size_t unread = 0;
  if (!DecodeInto(TJpegInput{&data, nullptr}, TJpegAction::Decode, &image, &size, &unread, err)) Raise(err);
  if (consumed) *consumed = data.size() - qsizetype(unread);
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
  if (!ok) Raise(err);
  return bytes;
}

struct TJPEGImage::TData {
  QByteArray Bytes;
  quint64 Serial;
  ~TData() { DecodedCache().Forget(Serial); }
};

const QByteArray& TJPEGImage::Data() const {
  static const QByteArray None;
  return FData ? FData->Bytes : None;
}

void TJPEGImage::SetData(QByteArray bytes, QSize size) {
  if (bytes.isEmpty()) FData.reset();
  else FData = std::make_shared<const TData>(TData{std::move(bytes), NextSerial.fetch_add(1)});
  FWidth = FData ? size.width() : 0;
  FHeight = FData ? size.height() : 0;
}

QImage TJPEGImage::Image() const {
  if (!FData) return QImage();
  if (std::optional<QImage> cached = DecodedCache().Find(FData->Serial)) return *cached;
  QImage image = DecodeJpeg(FData->Bytes);
  DecodedCache().Put(FData->Serial, image);
  return image;
}

void TJPEGImage::Draw(TCanvas& canvas, const QRect& rect) const {
  QPainter* p = canvas.Painter();
  if (!p || Empty()) return;
  p->drawImage(rect, Image());
}

void TJPEGImage::SaveToStream(QIODevice& stream) const {
  const QByteArray& data = Data();
  if (stream.write(data) != data.size()) throw EWriteError(QStringLiteral("Stream write error"));
}

void TJPEGImage::LoadFromStream(QIODevice& stream) {
  QByteArray taken;
  TStreamSource source;
  InitStreamSource(source, stream, taken);
  TJpegError err;
  QSize size;
  size_t unread = 0;
  const bool ok = DecodeInto(TJpegInput{nullptr, &source}, TJpegAction::Check, nullptr, &size, &unread, err);
  // Only the picture's own bytes stay; the stream gets back what the decoder read beyond
  // them, or everything when the picture was refused.
  const qsizetype consumed = ok ? taken.size() - qsizetype(unread) : 0;
  GiveBack(stream, taken, consumed);
  if (!ok) Raise(err);
  taken.truncate(consumed);
  SetData(std::move(taken), size);
}

void TJPEGImage::Compress(const QImage& image) {
  SetData(EncodeJpeg(image, FQuality, FProgressive, FGrayscale), image.size());
}

void TJPEGImage::Assign(const TGraphic& source) {
  if (&source == this) return;
  if (auto* jpeg = dynamic_cast<const TJPEGImage*>(&source)) {
    *this = *jpeg;
    return;
  }
  if (source.Empty()) {
    SetData(QByteArray(), QSize());
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
