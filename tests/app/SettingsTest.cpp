// The 190-byte settings record: what is read, what is written, byte for byte.
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>
#include <unistd.h>
#include "TestSupport.h"
#include "app/Settings.h"

namespace {
QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
void WriteAll(const QString& path, const QByteArray& data) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(data);
}
}  // namespace

TEST(TSettingsRecord, MissingFileLeavesTheRecordZero) {
  TTempDir dir;
  TSettingsRecord r;
  EXPECT_FALSE(r.Load(dir.File("VelEAN13.cfg")));
  for (uint8_t b : r.Bytes()) ASSERT_EQ(b, 0);
  EXPECT_EQ(r.Value(), "");
}

TEST(TSettingsRecord, FirstRunWritesValueTerminatorAndZeros) {
  TTempDir dir;
  TSettingsRecord r;
  r.SetValue("1234567890128");
  ASSERT_TRUE(r.Save(dir.File("VelEAN13.cfg")));
  QByteArray expected(190, '\0');
  expected.replace(0, 13, "1234567890128");
  EXPECT_EQ(ReadAll(dir.File("VelEAN13.cfg")), expected);
}

TEST(TSettingsRecord, ShorterValueKeepsOlderBytesAndReservedArea) {
  TTempDir dir;
  QByteArray old(190, '\0');
  old.replace(0, 13, "9780306406157");
  for (int i = 80; i < 190; ++i) old[i] = char(i);  // reserved bytes of some other writer
  WriteAll(dir.File("VelEAN13.cfg"), old);
  TSettingsRecord r;
  ASSERT_TRUE(r.Load(dir.File("VelEAN13.cfg")));
  EXPECT_EQ(r.Value(), "9780306406157");
  r.SetValue("12345");
  ASSERT_TRUE(r.Save(dir.File("VelEAN13.cfg")));
  QByteArray expected = old;
  expected.replace(0, 6, QByteArray("12345\0", 6));
  EXPECT_EQ(ReadAll(dir.File("VelEAN13.cfg")), expected);
  TSettingsRecord again;
  ASSERT_TRUE(again.Load(dir.File("VelEAN13.cfg")));
  EXPECT_EQ(again.Value(), "12345");
}

TEST(TSettingsRecord, EmptyFileReadsAnEmptyValue) {
  TTempDir dir;
  WriteAll(dir.File("VelEAN13.cfg"), QByteArray());
  TSettingsRecord r;
  EXPECT_TRUE(r.Load(dir.File("VelEAN13.cfg")));
  EXPECT_EQ(r.Value(), "");
  r.SetValue("");
  ASSERT_TRUE(r.Save(dir.File("VelEAN13.cfg")));
  EXPECT_EQ(ReadAll(dir.File("VelEAN13.cfg")), QByteArray(190, '\0'));
}

TEST(TSettingsRecord, LongFileReadsOnly190BytesAndIsWrittenBackAs190) {
  TTempDir dir;
  QByteArray big(300, 'x');
  big[20] = '\0';
  WriteAll(dir.File("VelEAN13.cfg"), big);
  TSettingsRecord r;
  ASSERT_TRUE(r.Load(dir.File("VelEAN13.cfg")));
  EXPECT_EQ(r.Value(), QString(20, u'x'));
  ASSERT_TRUE(r.Save(dir.File("VelEAN13.cfg")));
  EXPECT_EQ(ReadAll(dir.File("VelEAN13.cfg")), big.left(190));
}

TEST(TSettingsRecord, ValueAreaWithoutTerminatorReadsAs80Characters) {
  TTempDir dir;
  QByteArray data(190, '\0');
  for (int i = 0; i < 80; ++i) data[i] = char('0' + i % 10);
  data[80] = 'R';
  WriteAll(dir.File("VelEAN13.cfg"), data);
  TSettingsRecord r;
  ASSERT_TRUE(r.Load(dir.File("VelEAN13.cfg")));
  EXPECT_EQ(r.Value().size(), 80);
  EXPECT_EQ(r.Value(), QString::fromLatin1(data.left(80)));
}

TEST(TSettingsRecord, LongTextIsCutTo79AndTheReservedAreaSurvives) {
  TSettingsRecord r;
  QByteArray data(190, '\0');
  data[80] = 'R';
  data[189] = 'Z';
  TTempDir dir;
  WriteAll(dir.File("VelEAN13.cfg"), data);
  ASSERT_TRUE(r.Load(dir.File("VelEAN13.cfg")));
  r.SetValue(QString(200, u'7'));
  EXPECT_EQ(r.Value(), QString(79, u'7'));
  EXPECT_EQ(r.Bytes()[79], 0);
  EXPECT_EQ(r.Bytes()[80], 'R');
  EXPECT_EQ(r.Bytes()[189], 'Z');
}

TEST(TSettingsRecord, ReadOnlyFileIsSkippedAndKeptAsItWas) {
  TTempDir dir;
  QString path = dir.File("VelEAN13.cfg");
  QByteArray old(190, '\0');
  old.replace(0, 3, "555");
  WriteAll(path, old);
  ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
  TSettingsRecord r;
  r.SetValue("123");
  EXPECT_FALSE(r.Save(path));
  EXPECT_EQ(ReadAll(path), old);
}

TEST(TSettingsRecord, UnwritableFolderIsSkipped) {
  TSettingsRecord r;
  r.SetValue("123");
  EXPECT_FALSE(r.Save("/proc/velean13-no-such-dir/VelEAN13.cfg"));
}

TEST(TSettingsRecord, UnreadableFileIsNotAnEmptyOne) {
  // A folder in the file's place, a file whose reading fails (the process's own memory
  // file: reading at offset 0 is an I/O error) and a named pipe with no writer: each keeps
  // the record as it was, so the window keeps its design value.
  TTempDir dir;
  ASSERT_TRUE(QDir().mkpath(dir.File("folder/VelEAN13.cfg")));
  ASSERT_EQ(::mkfifo(QFile::encodeName(dir.File("VelEAN13.cfg")).constData(), 0600), 0);
  for (const QString& path : {dir.File("folder/VelEAN13.cfg"), QStringLiteral("/proc/self/mem"), dir.File("VelEAN13.cfg")}) {
    TSettingsRecord r;
    r.SetValue("1234567890128");
    EXPECT_FALSE(r.Load(path)) << path.toStdString();
    EXPECT_EQ(r.Value(), "1234567890128") << path.toStdString();
  }
}

// The settings folder of a start from the menu, under the XDG rules: XDG_CONFIG_HOME when it
// is an absolute path, else ~/.config; the folders on the way are made private.
TEST(SettingsLocation, DesktopFolderFollowsTheXdgRules) {
  TTempDir dir;
  const QByteArray home = qgetenv("HOME");
  const QByteArray xdg = qgetenv("XDG_CONFIG_HOME");
  const bool hadXdg = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
  struct {
    const char* Xdg;  // nullptr: unset
    QString Expected;
  } cases[] = {
      {nullptr, dir.File("home/.config/velean13")},
      {"", dir.File("home/.config/velean13")},
      {"relative/config", dir.File("home/.config/velean13")},
      {"@/xdg/conf", dir.File("xdg/conf/velean13")},
  };
  qputenv("HOME", dir.File("home").toLocal8Bit());
  for (const auto& c : cases) {
    const QString xdgValue = QString::fromLatin1(c.Xdg ? c.Xdg : "").replace(u'@', dir.Path());
    if (c.Xdg) qputenv("XDG_CONFIG_HOME", xdgValue.toLocal8Bit());
    else qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(DesktopSettingsFolder(), c.Expected) << (c.Xdg ? c.Xdg : "(unset)");
    QFileInfo made(c.Expected);
    EXPECT_TRUE(made.isDir()) << c.Expected.toStdString();
    EXPECT_EQ(made.permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::ExeOther), 0)
        << c.Expected.toStdString();
  }
  EXPECT_FALSE(QFileInfo::exists(dir.File("relative"))) << "a relative XDG_CONFIG_HOME was used";
  qputenv("HOME", home);
  if (hadXdg) qputenv("XDG_CONFIG_HOME", xdg);
  else qunsetenv("XDG_CONFIG_HOME");
}

// The help page beside the settings file wins over the installed one; without either the
// name beside the settings file comes back, for the caller to find missing.
TEST(SettingsLocation, HelpPageIsLookedForBesideTheSettingsThenInTheDataFolder) {
  TTempDir dir;
  ASSERT_TRUE(QDir().mkpath(dir.File("settings")));
  ASSERT_TRUE(QDir().mkpath(dir.File("data")));
  const QString beside = dir.File("settings/VelEAN13.htm"), installed = dir.File("data/VelEAN13.htm");
  EXPECT_EQ(HelpPageFile(dir.File("settings"), dir.File("data")), beside);
  WriteAll(installed, "<html>installed</html>");
  EXPECT_EQ(HelpPageFile(dir.File("settings"), dir.File("data")), installed);
  WriteAll(beside, "<html>own</html>");
  EXPECT_EQ(HelpPageFile(dir.File("settings"), dir.File("data")), beside);
}
