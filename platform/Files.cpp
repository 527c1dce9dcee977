#include "platform/Files.h"
#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include "platform/Errors.h"

std::optional<QByteArray> ReadFileHead(const QString& fileName, qint64 maxBytes) {
  QByteArray path = QFile::encodeName(fileName);
  int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  QByteArray data;
  data.resize(maxBytes);
  qint64 got = 0;
  while (got < maxBytes) {
    ssize_t n = ::read(fd, data.data() + got, size_t(maxBytes - got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += n;
  }
  ::close(fd);
  data.resize(got);
  return data;
}

QByteArray ReadWholeFile(const QString& fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly))
    throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
  return file.readAll();
}

namespace {
// A file is read-only when no one may write it, or when this process may not. The mode
// bits count for root too: a file marked read-only is not overwritten behind its back.
bool IsReadOnly(const QByteArray& path) {
  struct stat st {};
  if (::stat(path.constData(), &st) != 0) return false;
  return (st.st_mode & 0222) == 0 || ::access(path.constData(), W_OK) != 0;
}
}  // namespace

bool CanWriteFile(const QString& fileName) {
  QByteArray path = QFile::encodeName(fileName);
  if (::access(path.constData(), F_OK) == 0) return !IsReadOnly(path);
  QByteArray dir = QFile::encodeName(QFileInfo(fileName).absolutePath());
  return ::access(dir.constData(), W_OK) == 0;
}

void WriteFileReplacing(const QString& fileName, const QByteArray& data, bool durable) {
  QFileInfo info(fileName);
  QByteArray target = QFile::encodeName(fileName);
  QByteArray temp = QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                                      QStringLiteral(".XXXXXX"));
  // An existing target that may not be written stays untouched, as a direct write would.
  if (IsReadOnly(target)) RaiseCreateError(fileName, EACCES);
  if (info.isDir()) RaiseCreateError(fileName, EISDIR);
  int fd = ::mkstemp(temp.data());
  if (fd < 0) RaiseCreateError(fileName, errno);
  struct stat st {};
  mode_t mode = 0666;
  if (::stat(target.constData(), &st) == 0) mode = st.st_mode & 07777;
  else { mode_t mask = ::umask(0); ::umask(mask); mode &= ~mask; }
  qint64 done = 0;
  int error = 0;
  while (done < data.size()) {
    ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) { error = errno; break; }
    done += n;
  }
  if (!error && ::fchmod(fd, mode) != 0) error = errno;
  if (!error && durable && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && !error) error = errno;
  if (!error && ::rename(temp.constData(), target.constData()) != 0) error = errno;
  if (error) {
    ::unlink(temp.constData());
    RaiseCreateError(fileName, error);
  }
}
