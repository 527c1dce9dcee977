#include "platform/Services.h"
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QWindow>
#include <linux/magic.h>
#include <sys/vfs.h>

TServiceHooks& ServiceHooks() {
  static TServiceHooks hooks;
  return hooks;
}

void ResetServiceHooks() { ServiceHooks() = TServiceHooks(); }

static QString ApplicationTitle() {
  QString name = QCoreApplication::applicationName();
  return name.isEmpty() ? QStringLiteral("VelEAN13") : name;
}

void ShowMessage(const QString& text) {
  if (ServiceHooks().MessageBox) return ServiceHooks().MessageBox(text);
  QMessageBox box(QMessageBox::NoIcon, ApplicationTitle(), text, QMessageBox::Ok,
                  QApplication::activeWindow());
  box.exec();
}

void ShowErrorMessage(const QString& text) {
  if (ServiceHooks().ErrorDisplay) return ServiceHooks().ErrorDisplay(text);
  QMessageBox box(QMessageBox::Critical, ApplicationTitle(), text, QMessageBox::Ok,
                  QApplication::activeWindow());
  box.exec();
}

void SetClipboardImage(const QImage& image) {
  if (ServiceHooks().ClipboardSetImage) return ServiceHooks().ClipboardSetImage(image);
  QGuiApplication::clipboard()->setImage(image);
}

QImage ClipboardImage() { return QGuiApplication::clipboard()->image(); }

void ShellOpen(const QString& document, std::function<void()> onFailure) {
  auto failed = [onFailure] {
    if (onFailure) onFailure();
  };
  if (ServiceHooks().ShellOpen) {
    if (!ServiceHooks().ShellOpen(document)) failed();
    return;
  }
  const QString path = QFileInfo(document).absoluteFilePath();
  // The toolkit starts xdg-open without waiting for it and calls that success, but on a
  // machine without a desktop xdg-open ends at once with "no method available". Run it
  // ourselves to hear its verdict; without it, the toolkit's own launchers are all there is.
  const QString launcher = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (launcher.isEmpty()) {
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) failed();
    return;
  }
  auto* process = new QProcess(QCoreApplication::instance());
  // Nothing reads the launcher's output: a browser kept in the foreground must not fill a pipe.
  process->setStandardInputFile(QProcess::nullDevice());
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  QObject::connect(process, &QProcess::finished, process, [process, failed](int code, QProcess::ExitStatus status) {
    process->deleteLater();
    if (status != QProcess::NormalExit || code != 0) failed();
  });
  QObject::connect(process, &QProcess::errorOccurred, process, [process, failed](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;  // the other errors end in finished
    process->deleteLater();
    failed();
  });
  process->start(launcher, {path});
}

namespace {
// Names a file's kind from its name alone. The toolkit's providers ask the MIME database,
// which opens a file without a known extension to look at its first bytes; in /proc that read
// can wait for ever (kmsg) on the user-interface thread.
// The icons are the style's standard folder and file pictures.
class TPlainIconProvider : public QFileIconProvider {
 public:
  using QFileIconProvider::icon;
  QIcon icon(const QFileInfo& info) const override { return QFileIconProvider::icon(info.isDir() ? Folder : File); }
  QString type(const QFileInfo& info) const override {
    if (info.isDir()) return QStringLiteral("Folder");
    const QString suffix = info.suffix();
    return suffix.isEmpty() ? QStringLiteral("File") : suffix.toUpper() + QStringLiteral(" File");
  }
};

// The file dialog reads and, when destroyed, writes its state in the toolkit's own settings
// file under the user's configuration folder (QtProject.conf). The program keeps to its one
// settings file: while a guard lives, that file lives in a private folder removed afterwards.
class TToolkitSettingsSandbox {
 public:
  TToolkitSettingsSandbox()
      : FSavedPath(QFileInfo(QSettings(QSettings::UserScope, QStringLiteral("QtProject")).fileName()).absolutePath()) {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, FFolder.path());
  }
  ~TToolkitSettingsSandbox() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, FSavedPath); }
  TToolkitSettingsSandbox(const TToolkitSettingsSandbox&) = delete;
  TToolkitSettingsSandbox& operator=(const TToolkitSettingsSandbox&) = delete;

 private:
  QString FSavedPath;
  QTemporaryDir FFolder;
};

// Kernel and device pseudo file systems: files whose reads may block or have side effects.
bool IsPseudoFileSystem(const QString& canonicalPath) {
  for (const char* root : {"/proc", "/sys", "/dev"})
    if (canonicalPath == QLatin1String(root) || canonicalPath.startsWith(QLatin1String(root) + u'/')) return true;
  struct statfs fs {};
  if (statfs(QFile::encodeName(canonicalPath).constData(), &fs) != 0) return true;
  switch (static_cast<unsigned long>(fs.f_type)) {
    case PROC_SUPER_MAGIC: case SYSFS_MAGIC: case DEBUGFS_MAGIC: case TRACEFS_MAGIC:
    case CGROUP_SUPER_MAGIC: case CGROUP2_SUPER_MAGIC: case SECURITYFS_MAGIC: case DEVPTS_SUPER_MAGIC:
    case BPF_FS_MAGIC:
      return true;
    default:
      return false;
  }
}

bool IsUsableStartFolder(const QString& folder) {
  if (folder.isEmpty()) return false;
  const QFileInfo info(folder);
  return info.isDir() && !IsPseudoFileSystem(info.canonicalFilePath());
}
}  // namespace

QString TSaveDialog::ToQtFilter(const QString& filter) {
  QStringList parts = filter.split(u'|');
  QStringList lines;
  for (qsizetype i = 0; i < parts.size(); i += 2) lines << parts[i];
  return lines.join(QStringLiteral(";;"));
}

QString TSaveDialog::StartFolder(const QString& fileName) {
  if (!fileName.isEmpty()) {
    const QString folder = QFileInfo(fileName).absolutePath();
    if (IsUsableStartFolder(folder)) return folder;
  }
  const QString current = QDir::currentPath();
  return IsUsableStartFolder(current) ? current : QDir::homePath();
}

TSaveDialog::TSaveDialog() = default;

TSaveDialog::~TSaveDialog() {
  if (!FDialog) return;
  TToolkitSettingsSandbox sandbox;
  FDialog.reset();
}

QFileDialog* TSaveDialog::Prepare(QWidget* parent) {
  const QString folder = StartFolder(FileName);
  if (!FDialog) {
    TToolkitSettingsSandbox sandbox;
    // Made without a parent so that its life is this object's, not a window's.
    FDialog = std::make_unique<QFileDialog>(nullptr, QString(), folder);
    FDialog->setOption(QFileDialog::DontUseNativeDialog);
    FIconProvider = std::make_unique<TPlainIconProvider>();
    FDialog->setIconProvider(FIconProvider.get());
    FDialog->setAcceptMode(QFileDialog::AcceptSave);
    FDialog->setOption(QFileDialog::DontConfirmOverwrite);  // an existing file is replaced
    FDialog->setWindowModality(Qt::ApplicationModal);
  }
  FDialog->setNameFilter(ToQtFilter(Filter));
  FDialog->setDefaultSuffix(DefaultExt);
  FDialog->setDirectory(folder);
  FDialog->selectFile(FileName.isEmpty() ? QString() : QFileInfo(FileName).fileName());
  if (parent) {
    FDialog->winId();  // a window handle to place it over its owner
    if (QWindow* owner = parent->window()->windowHandle()) FDialog->windowHandle()->setTransientParent(owner);
  }
  return FDialog.get();
}

bool TSaveDialog::Execute() {
  TSaveDialogRequest request{Filter, DefaultExt, FileName};
  bool ok;
  if (ServiceHooks().SaveDialog) {
    ok = ServiceHooks().SaveDialog(request);
  } else {
    QFileDialog* dialog = Prepare(QApplication::activeWindow());
    ok = dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty();
    if (ok) request.FileName = dialog->selectedFiles().first();
  }
  if (!ok || request.FileName.isEmpty()) return false;
  if (!DefaultExt.isEmpty() && QFileInfo(request.FileName).suffix().isEmpty())
    request.FileName += u'.' + DefaultExt;
  FileName = request.FileName;
  return true;
}
