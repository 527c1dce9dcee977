// Safe file replacement: a failed write never leaves a partial or damaged file behind.
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <sys/stat.h>
#include "TestSupport.h"
#include "platform/Errors.h"
#include "platform/Files.h"

namespace {
QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
QStringList Entries(const QString& dir) {
  return QDir(dir).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden, QDir::Name);
}
}  // namespace

TEST(WriteFileReplacing, CreatesAndReplacesKeepingTheFileMode) {
  TTempDir dir;
  QString path = dir.File("a.bin");
  WriteFileReplacing(path, "first");
  EXPECT_EQ(ReadAll(path), "first");
  ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
  WriteFileReplacing(path, "second, longer", false);
  EXPECT_EQ(ReadAll(path), "second, longer");
  struct stat st {};
  ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(Entries(dir.Path()), QStringList{"a.bin"});  // no temporary left
}

TEST(WriteFileReplacing, FailuresNameTheFileAndTheReason) {
  TTempDir dir;
  QString locked = dir.File("locked.bin");
  WriteFileReplacing(locked, "keep me");
  ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0444), 0);
  try {
    WriteFileReplacing(locked, "new");
    FAIL() << "no error";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Cannot create file \"%1\". Permission denied").arg(locked));
  }
  EXPECT_EQ(ReadAll(locked), "keep me");
  EXPECT_THROW(WriteFileReplacing(dir.File("missing/x.bin"), "x"), EFCreateError);
  EXPECT_THROW(WriteFileReplacing(dir.Path(), "x"), EFCreateError);  // a folder
  EXPECT_EQ(Entries(dir.Path()), QStringList{"locked.bin"});
}

TEST(ReadFileHead, ReadsAtMostTheAskedBytes) {
  TTempDir dir;
  WriteFileReplacing(dir.File("f"), QByteArray(300, 'y'));
  EXPECT_EQ(ReadFileHead(dir.File("f"), 190)->size(), 190);
  EXPECT_EQ(ReadFileHead(dir.File("f"), 1000)->size(), 300);
  EXPECT_FALSE(ReadFileHead(dir.File("none"), 10).has_value());
  EXPECT_FALSE(CanWriteFile(dir.File("none/x")));
  EXPECT_TRUE(CanWriteFile(dir.File("new")));
}
