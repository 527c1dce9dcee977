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

QString OutputTarget(const QString& fileName) {
  QString path = fileName;
  // A bounded walk: a loop of links ends where it started to repeat.
  for (int hops = 0; hops < 40; ++hops) {
    const QFileInfo info(path);
    if (!info.isSymLink()) break;
    const QByteArray link = QFile::encodeName(path);
    QByteArray target(4096, Qt::Uninitialized);
    const ssize_t n = ::readlink(link.constData(), target.data(), size_t(target.size()));
    if (n <= 0) break;
    target.truncate(n);
    const QString next = QFile::decodeName(target);
    path = QDir::isAbsolutePath(next) ? next : info.absolutePath() + u'/' + next;
  }
  return path;
}

bool IsStreamTarget(const QString& fileName) {
  struct stat st {};
  if (::stat(QFile::encodeName(fileName).constData(), &st) != 0) return false;
  return S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode) || S_ISSOCK(st.st_mode);
}

namespace {
int WriteAll(int fd, const char* data, qint64 size) {
  qint64 done = 0;
  while (done < size) {
    ssize_t n = ::write(fd, data + done, size_t(size - done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    done += n;
  }
  return 0;
}

int WriteIntoStream(const QString& target, const QByteArray& data) {
  int fd = ::open(QFile::encodeName(target).constData(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  int error = WriteAll(fd, data.constData(), data.size());
  if (::close(fd) != 0 && !error) error = errno;
  return error;
}
}  // namespace

int CopyIntoStream(const QString& source, const QString& target) {
  QFile in(source);
  if (!in.open(QIODevice::ReadOnly)) return EIO;
  int fd = ::open(QFile::encodeName(target).constData(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  int error = 0;
  while (!error) {
    const QByteArray piece = in.read(1 << 20);
    if (piece.isEmpty()) break;
    error = WriteAll(fd, piece.constData(), piece.size());
  }
  if (!error && in.error() != QFileDevice::NoError) error = EIO;
  if (::close(fd) != 0 && !error) error = errno;
  return error;
}

int CommitTemporaryFile(const QString& temporary, const QString& target) {
  const QByteArray temp = QFile::encodeName(temporary);
  int fd = ::open(temp.constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  // Delayed allocation reports a full disk only here, before the old file is given up.
  int error = ::fsync(fd) != 0 ? errno : 0;
  ::close(fd);
  if (error) return error;
  if (::rename(temp.constData(), QFile::encodeName(target).constData()) != 0) return errno;
  int dir = ::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return 0;
}

void WriteFileReplacing(const QString& name, const QByteArray& data, bool durable) {
  // A pipe or a device is written into, also through a link (/dev/stdout leads to a
  // descriptor whose link text names no file).
  if (IsStreamTarget(name)) {
    if (int error = WriteIntoStream(name, data)) RaiseCreateError(name, error);
    return;
  }
  // A link is written through, so that the link stays and the file it leads to changes.
  const QString fileName = OutputTarget(name);
  QByteArray target = QFile::encodeName(fileName);
  struct stat st {};
  const bool exists = ::stat(target.constData(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) RaiseCreateError(name, EISDIR);
  // An existing target that may not be written stays untouched, as a direct write would.
  if (exists && ((st.st_mode & 0222) == 0 || ::access(target.constData(), W_OK) != 0))
    RaiseCreateError(name, EACCES);

  // A new file is created under its own name; on failure it is removed again, so no partial
  // file is left and nothing existing was at stake.
  int fd = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd >= 0) {
    if (int error = WriteAllAndClose(fd, data, durable, mode_t(-1))) {
      ::unlink(target.constData());
      RaiseCreateError(name, error);
    }
    return;
  }
  if (errno != EEXIST) RaiseCreateError(name, errno);

  // An existing file is replaced only once the new contents are complete beside it.
  QFileInfo info(fileName);
  QByteArray temp = QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                                      QStringLiteral(".XXXXXX"));
  fd = ::mkstemp(temp.data());
  if (fd < 0) RaiseCreateError(name, errno);
  mode_t mode = 0666;
  if (::stat(target.constData(), &st) == 0) mode = st.st_mode & 07777;
  int error = WriteAllAndClose(fd, data, durable, mode);
  if (!error && ::rename(temp.constData(), target.constData()) != 0) error = errno;
  if (error) {
    ::unlink(temp.constData());
    RaiseCreateError(name, error);
  }
}

int CreateOutputTemporary(const QString& fileName, TOutputTemporary& output) {
  output.Stream = IsStreamTarget(fileName);
  output.Target = output.Stream ? fileName : OutputTarget(fileName);
  const QFileInfo target(output.Target);
  if (!output.Stream && target.isDir()) return EISDIR;
  const QString folder = output.Stream ? QDir::tempPath() : target.absolutePath();
  QByteArray name = QFile::encodeName(folder + QStringLiteral("/.") + target.fileName() + QStringLiteral(".XXXXXX"));
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return errno;
  // mkstemp makes the file private; the finished file gets the usual permissions.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
  ::close(fd);
  output.Temporary = QFile::decodeName(name);
  return 0;
}

int DeliverOutputTemporary(const TOutputTemporary& output) {
  return output.Stream ? CopyIntoStream(output.Temporary, output.Target)
                       : CommitTemporaryFile(output.Temporary, output.Target);
}
