#include "platform/Files.h"
#include <algorithm>
#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include "platform/Errors.h"

QByteArray ReadAtMost(QIODevice& stream, qint64 count) {
  constexpr qint64 Piece = 1 << 20;
  QByteArray data;
  while (count > 0) {
    const QByteArray piece = stream.read(std::min(count, Piece));
    if (piece.isEmpty()) break;
    data += piece;
    count -= piece.size();
  }
  return data;
}

std::optional<QByteArray> ReadFileHead(const QString& fileName, qint64 maxBytes) {
  QByteArray path = QFile::encodeName(fileName);
  // Not blocking: a named pipe in the file's place must not hang the reader.
  int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return std::nullopt;
  }
  QByteArray data;
  data.resize(maxBytes);
  qint64 got = 0;
  while (got < maxBytes) {
    ssize_t n = ::read(fd, data.data() + got, size_t(maxBytes - got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      // A read error is not the end of the file: what was read may be only part of it.
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
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

namespace {
// Writes all of data to fd, then flushes it when durable; returns 0 or the first errno.
int WriteAllAndClose(int fd, const QByteArray& data, bool durable, mode_t mode) {
  qint64 done = 0;
  int error = 0;
  while (done < data.size()) {
    ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) { error = errno; break; }
    done += n;
  }
  if (!error && mode != mode_t(-1) && ::fchmod(fd, mode) != 0) error = errno;
  if (!error && durable && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && !error) error = errno;
  return error;
}
}  // namespace

void WriteFileReplacing(const QString& fileName, const QByteArray& data, bool durable) {
  QByteArray target = QFile::encodeName(fileName);
  struct stat st {};
  const bool exists = ::stat(target.constData(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) RaiseCreateError(fileName, EISDIR);
  // An existing target that may not be written stays untouched, as a direct write would.
  if (exists && ((st.st_mode & 0222) == 0 || ::access(target.constData(), W_OK) != 0))
    RaiseCreateError(fileName, EACCES);

  // A new file is created under its own name; on failure it is removed again, so no partial
  // file is left and nothing existing was at stake.
  int fd = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd >= 0) {
    if (int error = WriteAllAndClose(fd, data, durable, mode_t(-1))) {
      ::unlink(target.constData());
      RaiseCreateError(fileName, error);
    }
    return;
  }
  if (errno != EEXIST) RaiseCreateError(fileName, errno);

  // An existing file is replaced only once the new contents are complete beside it.
  QFileInfo info(fileName);
  QByteArray temp = QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                                      QStringLiteral(".XXXXXX"));
  fd = ::mkstemp(temp.data());
  if (fd < 0) RaiseCreateError(fileName, errno);
  mode_t mode = 0666;
  if (::stat(target.constData(), &st) == 0) mode = st.st_mode & 07777;
  int error = WriteAllAndClose(fd, data, durable, mode);
  if (!error && ::rename(temp.constData(), target.constData()) != 0) error = errno;
  if (error) {
    ::unlink(temp.constData());
    RaiseCreateError(fileName, error);
  }
}
