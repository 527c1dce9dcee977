#include "platform/Services.h"
#include <QApplication>
#include <QAbstractItemView>
#include <QClipboard>
#include <QCompleter>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QSpacerItem>
#include <QTimer>
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

std::unique_ptr<QMessageBox> MakeMessageBox(TMessageKind kind, const QString& text, QWidget* parent) {
  QMessageBox::Icon icon = QMessageBox::Warning;
  QMessageBox::StandardButtons buttons = QMessageBox::Ok;
  switch (kind) {
    case TMessageKind::mkWarning: break;
    case TMessageKind::mkError: icon = QMessageBox::Critical; break;
    case TMessageKind::mkQuestion:
      icon = QMessageBox::Question;
      buttons = QMessageBox::Yes | QMessageBox::No;
      break;
  }
  // Title and close box only: a message is neither maximised nor minimised.
  const Qt::WindowFlags flags =
      Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
  auto box = std::make_unique<QMessageBox>(icon, ApplicationTitle(), text, buttons, parent, flags);
  box->setObjectName(QStringLiteral("MessageBox"));
  box->setDefaultButton(kind == TMessageKind::mkQuestion ? QMessageBox::No : QMessageBox::Ok);
  // The box sizes itself from its text; a short text would give a box narrower than its
  // title, which the window manager then cuts. Room for the title in a bold face and for the
  // window manager's buttons beside it.
  if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
    QFont bold = box->font();
    bold.setBold(true);
    const int titleWidth = QFontMetrics(bold).horizontalAdvance(box->windowTitle()) * 5 / 4 + 100;
    grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                  grid->columnCount());
  }
  return box;
}

void ShowMessage(const QString& text) {
  if (ServiceHooks().MessageBox) return ServiceHooks().MessageBox(text);
  MakeMessageBox(TMessageKind::mkWarning, text, QApplication::activeWindow())->exec();
}

void ShowErrorMessage(const QString& text) {
  if (ServiceHooks().ErrorDisplay) return ServiceHooks().ErrorDisplay(text);
  MakeMessageBox(TMessageKind::mkError, text, QApplication::activeWindow())->exec();
}

bool AskQuestion(const QString& text) {
  if (ServiceHooks().Question) return ServiceHooks().Question(text);
  return MakeMessageBox(TMessageKind::mkQuestion, text, QApplication::activeWindow())->exec() == QMessageBox::Yes;
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
    // Replacing a file is asked in the program's own message style (Execute).
    FDialog->setOption(QFileDialog::DontConfirmOverwrite);
    FDialog->setWindowModality(Qt::ApplicationModal);
  }
  FDialog->setNameFilter(ToQtFilter(Filter));
  FDialog->setDefaultSuffix(DefaultExt);
  FDialog->setDirectory(folder);
  FDialog->selectFile(FileName.isEmpty() ? QString() : QFileInfo(FileName).fileName());
  // The proposed name is selected, so that typing replaces it instead of adding to it; once
  // now and once more when the dialog has been shown, which puts the cursor at the end.
  auto selectName = [dialog = QPointer<QFileDialog>(FDialog.get())] {
    if (!dialog) return;
    if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) edit->selectAll();
  };
  selectName();
  QTimer::singleShot(0, FDialog.get(), selectName);
  if (parent) {
    FDialog->winId();  // a window handle to place it over its owner
    if (QWindow* owner = parent->window()->windowHandle()) FDialog->windowHandle()->setTransientParent(owner);
  }
  return FDialog.get();
}

bool TSaveDialog::Execute() {
  for (;;) {
    TSaveDialogRequest request{Filter, DefaultExt, FileName};
    bool ok;
    if (ServiceHooks().SaveDialog) {
      ok = ServiceHooks().SaveDialog(request);
    } else {
      QWidget* owner = QApplication::activeWindow();
      QFileDialog* dialog = Prepare(owner);
      ok = dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty();
      if (ok) request.FileName = dialog->selectedFiles().first();
      GiveFocusBack(dialog, owner);
    }
    if (!ok || request.FileName.isEmpty()) return false;
    if (!DefaultExt.isEmpty() && QFileInfo(request.FileName).suffix().isEmpty())
      request.FileName += u'.' + DefaultExt;
    FileName = request.FileName;
    const QFileInfo chosen(FileName);
    if (!chosen.exists()) return true;
    if (AskQuestion(QStringLiteral("\"%1\" already exists.\nDo you want to replace it?").arg(chosen.fileName())))
      return true;
    // No: back to the dialog with the same name proposed.
  }
}

void TSaveDialog::GiveFocusBack(QFileDialog* dialog, QWidget* owner) {
  // A completion list still open would keep the keyboard, and the owner would lose the next
  // key until the window manager hands the focus back; close it and activate the owner now.
  for (auto* edit : dialog->findChildren<QLineEdit*>())
    if (QCompleter* completer = edit->completer(); completer && completer->popup()) completer->popup()->hide();
  if (owner && owner->isVisible()) {
    owner->activateWindow();
    if (QWidget* focus = owner->focusWidget()) focus->setFocus(Qt::ActiveWindowFocusReason);
  }
}
