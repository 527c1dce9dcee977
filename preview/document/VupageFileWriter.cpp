#include "preview/document/VupageFileWriter.h"
#include <QFile>
#include <QtEndian>
#include <cerrno>
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Finally.h"
#include "preview/core/Vustream.h"

namespace {
void OpenPart(QTemporaryFile& part) {
  if (!part.open()) throw EWriteError(QStringLiteral("Cannot create a temporary file: %1").arg(part.errorString()));
}

void Write(QIODevice& out, const QByteArray& bytes) {
  if (out.write(bytes) != bytes.size()) throw EWriteError(QStringLiteral("Stream write error"));
}

// Copies the graphic records of part to out, their end positions moved from the part's start
// to where the part begins in out.
void CopyPictures(QIODevice& part, QIODevice& out) {
  const qint64 base = out.pos();
  part.seek(0);
  while (!part.atEnd()) {
    QByteArray head = part.read(5);
    if (head.size() != 5) throw EReadError(QStringLiteral("Stream read error"));
    const qint64 end = qFromLittleEndian<qint32>(head.constData() + 1);
    const qint64 length = end - part.pos();
    if (length < 0 || base + end > INT32_MAX) throw EWriteError(QStringLiteral("Stream write error"));
    qToLittleEndian<qint32>(qint32(base + end), head.data() + 1);
    Write(out, head);
    for (qint64 left = length; left > 0;) {
      const QByteArray piece = part.read(std::min<qint64>(left, 1 << 16));
      if (piece.isEmpty()) throw EReadError(QStringLiteral("Stream read error"));
      Write(out, piece);
      left -= piece.size();
    }
  }
}

void CopyAll(QIODevice& part, QIODevice& out) {
  part.seek(0);
  while (!part.atEnd()) Write(out, part.read(1 << 16));
}
}  // namespace

TVuPageFileWriter::TVuPageFileWriter(TVuPageList& document, QString fileName, int pagesHeld)
    : FDocument(document), FFileName(std::move(fileName)), FPagesHeld(std::max(1, pagesHeld)) {
  if (FDocument.Count() == 1 && FDocument.Page(1)->Count() == 0) FDocument.ClearPages(true, false);
  OpenPart(FPictures);
  OpenPart(FPages);
}

TVuPageFileWriter::~TVuPageFileWriter() { FDocument.ResourceTable().Graphics().IndexBase = 0; }

TVuPage* TVuPageFileWriter::NewPage() {
  if (PagesHeld() >= FPagesHeld) WriteHeld();
  return FDocument.AddPage();
}

void TVuPageFileWriter::WriteHeld() {
  TVuGraphicList& graphics = FDocument.ResourceTable().Graphics();
  graphics.SaveRecordsToStream(FPictures, 0);
  // The pages name their pictures by their place in the whole file.
  graphics.IndexBase = FPicturesWritten;
  for (int n = 1; n <= FDocument.Count(); ++n) FDocument.Page(n)->SaveToStream(FPages);
  graphics.IndexBase = 0;
  FPicturesWritten += graphics.Count();
  FPagesWritten += FDocument.Count();
  // Pens, brushes and fonts stay: they are few, and the pages to come refer to them by their
  // places in the lists, which the file holds whole.
  FDocument.ClearPages(true, false);
  graphics.Clear();
}

void TVuPageFileWriter::Finish() {
  WriteHeld();
  // The file is written beside its target (through a link, to the file it leads to) and
  // takes its place only once complete and on the disk, so a full disk keeps the old file.
  // A pipe or a device gets the finished file copied into it.
  TOutputTemporary output;
  if (int error = CreateOutputTemporary(FFileName, output)) RaiseCreateError(FFileName, error);
  // Removed whatever happens: once renamed, its name is gone anyway.
  TryFinally([&] { WriteFile(output); }, [&] { QFile::remove(output.Temporary); });
}

void TVuPageFileWriter::WriteFile(const TOutputTemporary& output) {
  QFile out(output.Temporary);
  if (!out.open(QIODevice::WriteOnly)) RaiseCreateError(FFileName, EACCES);
  const TVuResourceTable& table = FDocument.ResourceTable();
  FDocument.SaveFileHeaderToStream(out, FPagesWritten);
  table.Brushes().SaveToStream(out);
  table.Fonts().SaveToStream(out);
  table.Pens().SaveToStream(out);
  TVuWriter(out).WriteInteger(FPicturesWritten);
  CopyPictures(FPictures, out);
  table.Memos().SaveToStream(out);
  FDocument.SaveSettingsToStream(out);
  CopyAll(FPages, out);
  if (!out.flush() || out.error() != QFileDevice::NoError)
    RaiseCreateError(FFileName, out.error() == QFileDevice::ResourceError ? ENOSPC : EIO);
  out.close();
  if (int error = DeliverOutputTemporary(output)) RaiseCreateError(FFileName, error);
}
