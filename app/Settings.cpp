#include "app/Settings.h"
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include "platform/Files.h"

bool TSettingsRecord::Load(const QString& fileName) {
  std::optional<QByteArray> data = ReadFileHead(fileName, RecordSize);
  if (!data) return false;
  std::memcpy(FBytes.data(), data->constData(), size_t(data->size()));
  return true;
}

bool TSettingsRecord::Save(const QString& fileName) const {
  if (!CanWriteFile(fileName)) return false;
  try {
    WriteFileReplacing(fileName, QByteArray(reinterpret_cast<const char*>(FBytes.data()), RecordSize));
  } catch (...) {
    return false;
  }
  return true;
}

QString TSettingsRecord::Value() const {
  const uint8_t* begin = FBytes.data();
  const uint8_t* end = std::find(begin, begin + ValueSize, uint8_t(0));
  // The platform's single-byte code page; Latin-1 keeps every byte as one character.
  return QString::fromLatin1(reinterpret_cast<const char*>(begin), end - begin);
}

void TSettingsRecord::SetValue(const QString& text) {
  QByteArray bytes = text.left(ValueSize - 1).toLatin1();
  std::memcpy(FBytes.data(), bytes.constData(), size_t(bytes.size()));
  FBytes[size_t(bytes.size())] = 0;
}

QString DesktopSettingsFolder() {
  const QString xdg = QFile::decodeName(qgetenv("XDG_CONFIG_HOME"));
  const QString base = !xdg.isEmpty() && QDir::isAbsolutePath(xdg)
                           ? xdg
                           : QDir(QDir::homePath()).filePath(QStringLiteral(".config"));
  const QString folder = QDir::cleanPath(QDir(base).filePath(QStringLiteral("velean13")));
  // Each missing folder on the way is made with mode 0700, as the XDG rules ask.
  const QStringList parts = folder.split(u'/', Qt::SkipEmptyParts);
  QString path;
  for (const QString& part : parts) {
    path += u'/' + part;
    mkdir(QFile::encodeName(path).constData(), 0700);
  }
  return folder;
}

QString InstalledDataFolder() {
  return QDir::cleanPath(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(VELEAN13_DATA_FROM_BIN)));
}

QString HelpPageFile(const QString& settingsFolder, const QString& dataFolder) {
  const QString name = QStringLiteral("VelEAN13.htm");
  const QString beside = QDir(settingsFolder).filePath(name);
  for (const QString& folder : {settingsFolder, dataFolder, QCoreApplication::applicationDirPath()}) {
    if (folder.isEmpty()) continue;
    const QString page = QDir(folder).filePath(name);
    if (QFileInfo(page).isFile()) return page;
  }
  return beside;
}
