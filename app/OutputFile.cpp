#include "app/OutputFile.h"
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <unistd.h>
#include "platform/Errors.h"
#include "platform/Files.h"

bool IsStandardStream(const QString& name) { return name == u"-"; }

void CheckOutputPath(const QString& name) {
  if (IsStandardStream(name)) return;
  if (name.isEmpty()) RaiseCreateError(name, ENOENT);
  if (IsStreamTarget(name)) return;
  const QString target = OutputTarget(name);
  const QFileInfo info(target);
  if (info.isDir()) RaiseCreateError(name, EISDIR);
  if (info.exists()) {
    if (!CanWriteFile(target)) RaiseCreateError(name, EACCES);
    return;
  }
  const QFileInfo folder(info.absolutePath());
  if (!folder.isDir()) RaiseCreateError(name, ENOENT);
  if (::access(QFile::encodeName(folder.absoluteFilePath()).constData(), W_OK) != 0) RaiseCreateError(name, errno);
}

void WriteOutput(const QString& name, const QByteArray& data, FILE* out) {
  if (!IsStandardStream(name)) return WriteFileReplacing(name, data);
  if (std::fwrite(data.constData(), 1, size_t(data.size()), out) != size_t(data.size()) || std::fflush(out) != 0)
    throw EWriteError(QStringLiteral("Cannot write to standard output. %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
}

FILE* ReportStream(const QString& output, FILE* out, FILE* err) { return IsStandardStream(output) ? err : out; }

bool OpenInput(QFile& file, const QString& name) {
  if (IsStandardStream(name)) return file.open(stdin, QIODevice::ReadOnly);
  file.setFileName(name);
  return file.open(QIODevice::ReadOnly);
}

QByteArray ReadInput(const QString& name) {
  QFile file;
  if (OpenInput(file, name)) return file.readAll();
  if (IsStandardStream(name)) throw EFOpenError(QStringLiteral("Cannot read standard input."));
  throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(name, file.errorString()));
}

TPdfOutput::TPdfOutput(const QString& name, FILE* out) : FOut(out), FFileName(name) {
  if (!IsStandardStream(name)) return;
  FFolder = std::make_unique<QTemporaryDir>();
  if (!FFolder->isValid()) RaiseCreateError(name, EACCES);
  FFileName = FFolder->filePath(QStringLiteral("out.pdf"));
}

void TPdfOutput::Deliver() {
  if (!FFolder) return;
  QFile file(FFileName);
  if (!file.open(QIODevice::ReadOnly)) RaiseCreateError(QStringLiteral("-"), EIO);
  WriteOutput(QStringLiteral("-"), file.readAll(), FOut);
}
