// The preview's page files: saving through a temporary file, loading a whole file before the
// shown document is replaced, and the version of a file.
#include <QBuffer>
#include <QFile>
#include "platform/Errors.h"
#include "platform/Files.h"
#include "preview/view/Vupreview.h"
#include "preview/core/Vustream.h"

namespace {
QString ReasonOf(const std::exception& e) {
  if (auto* platform = dynamic_cast<const Exception*>(&e)) return platform->Message();
  return QString::fromLocal8Bit(e.what());
}
}  // namespace

void TVuPreview::SaveToStream(QIODevice& stream) { FPageList->SaveToStream(stream); }

bool TVuPreview::LoadFromStream(QIODevice& stream) {
  FPageList->OnBeforeLoad = [this](TPersistent*, Extended version, bool& loadFile) {
    if (BeforeLoad) BeforeLoad(this, version, loadFile);
  };
  const bool loaded = FPageList->LoadFromStream(stream);
  if (loaded) {
    // Shown again even when an update of the caller's holds the list's notifications back:
    // the page the paper image showed has gone.
    ShowCurrentPage();
    UpdateScrollBars();
    Repaint();
  }
  return loaded;
}

bool TVuPreview::SaveToFile(const QString& fileName) {
  FLastFileError.clear();
  try {
    FPageList->SaveToFile(fileName);
    return true;
  } catch (const std::exception& e) {
    FLastFileError = ReasonOf(e);
    return false;
  }
}

bool TVuPreview::LoadFromFile(const QString& fileName) {
  FLastFileError.clear();
  try {
    QByteArray data = ReadWholeFile(fileName);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    if (!LoadFromStream(buffer)) {
      FLastFileError = QStringLiteral("The page file \"%1\" was not loaded: it was refused").arg(fileName);
      return false;
    }
    return true;
  } catch (const std::exception& e) {
    FLastFileError = QStringLiteral("\"%1\" is not a readable page file: %2").arg(fileName, ReasonOf(e));
    return false;
  }
}

Extended TVuPreview::GetFileVersion(const QString& fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly))
    throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
  TVuValueList header;
  header.LoadFromStream(file);
  return header.ReadExtValue(QStringLiteral("V"), 0);
}
