#include "platform/Metafile.h"
#include "platform/Files.h"
#include <QBuffer>
#include <QDataStream>
#include <QIODevice>
#include <QPainter>
#include "platform/Errors.h"

namespace {
constexpr char Magic[4] = {'V', 'M', 'F', '1'};
constexpr int MaxFrame = 1 << 20;
constexpr quint32 MaxRecording = 1u << 30;

[[noreturn]] void RaiseBadMetafile() {
  throw EInvalidGraphic(QStringLiteral("Metafile is not valid"));
}
}  // namespace

int TMetafile::MMWidth() const { return int(std::lrint(FWidth * 2540.0 / 96)); }
int TMetafile::MMHeight() const { return int(std::lrint(FHeight * 2540.0 / 96)); }

void TMetafile::SetPicture(const QPicture& picture) {
  FPicture = picture;
  if (FWidth == 0 && FHeight == 0) {
    const QRect bounds = picture.boundingRect();
    FWidth = std::max(0, bounds.right() + 1);
    FHeight = std::max(0, bounds.bottom() + 1);
  }
}

void TMetafile::Clear() {
  FPicture = QPicture();
  FWidth = FHeight = 0;
}

void TMetafile::Draw(TCanvas& canvas, const QRect& rect) const {
  QPainter* p = canvas.Painter();
  if (!p || Empty() || FWidth <= 0 || FHeight <= 0) return;
  p->save();
  p->translate(rect.left(), rect.top());
  p->scale(qreal(rect.width()) / FWidth, qreal(rect.height()) / FHeight);
  p->drawPicture(0, 0, FPicture);
  p->restore();
}

void TMetafile::SaveToStream(QIODevice& stream) const {
  const QByteArray data = FPicture.isNull() ? QByteArray()
                                            : QByteArray(FPicture.data(), qsizetype(FPicture.size()));
  QByteArray header;
  QDataStream out(&header, QIODevice::WriteOnly);
  out.setByteOrder(QDataStream::LittleEndian);
  out.writeRawData(Magic, 4);
  out << qint32(FWidth) << qint32(FHeight) << quint32(data.size())
      << quint32(qChecksum(QByteArrayView(data)));
  if (stream.write(header) != header.size() || stream.write(data) != data.size())
    throw EWriteError(QStringLiteral("Stream write error"));
}

void TMetafile::LoadFromStream(QIODevice& stream) {
  const QByteArray header = stream.read(20);
  if (header.size() != 20 || !header.startsWith(QByteArrayView(Magic, 4))) RaiseBadMetafile();
  QDataStream in(header);
  in.setByteOrder(QDataStream::LittleEndian);
  in.skipRawData(4);
  qint32 width, height;
  quint32 length, checksum;
  in >> width >> height >> length >> checksum;
  if (width < 0 || height < 0 || width > MaxFrame || height > MaxFrame || length > MaxRecording)
    RaiseBadMetafile();
  const QByteArray data = ReadAtMost(stream, length);
  if (data.size() != qsizetype(length) || qChecksum(QByteArrayView(data)) != checksum)
    RaiseBadMetafile();
  QPicture picture;
  if (length > 0) {
    QByteArray copy = data;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    if (!picture.load(&buffer)) RaiseBadMetafile();
  }
  FPicture = picture;
  FWidth = width;
  FHeight = height;
}

void TMetafile::Assign(const TGraphic& source) {
  if (&source == this) return;
  if (auto* metafile = dynamic_cast<const TMetafile*>(&source)) {
    *this = *metafile;
    return;
  }
  // Any other picture becomes a recording of it drawn into the same frame.
  Clear();
  if (source.Empty()) return;
  FWidth = source.Width();
  FHeight = source.Height();
  TMetafileCanvas canvas(*this);
  source.Draw(canvas, QRect(0, 0, FWidth, FHeight));
}

TMetafileCanvas::TMetafileCanvas(TMetafile& metafile) : FMetafile(&metafile) {
  SetDevice(&FRecording);
}

TMetafileCanvas::~TMetafileCanvas() { Finish(); }

void TMetafileCanvas::Finish() {
  if (!FMetafile) return;
  Release();
  FMetafile->SetPicture(FRecording);
  FMetafile = nullptr;
  SetDevice(nullptr);
}
