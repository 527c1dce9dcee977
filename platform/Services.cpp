#include "platform/Services.h"
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

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

void ShellOpen(const QString& document) {
  if (ServiceHooks().ShellOpen) return ServiceHooks().ShellOpen(document);
  // The result is not examined: a missing document is the desktop's business.
  QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(document).absoluteFilePath()));
}

QString TSaveDialog::ToQtFilter(const QString& filter) {
  QStringList parts = filter.split(u'|');
  QStringList lines;
  for (qsizetype i = 0; i < parts.size(); i += 2) lines << parts[i];
  return lines.join(QStringLiteral(";;"));
}

bool TSaveDialog::Execute() {
  TSaveDialogRequest request{Filter, DefaultExt, FileName};
  bool ok;
  if (ServiceHooks().SaveDialog) {
    ok = ServiceHooks().SaveDialog(request);
  } else {
    QFileDialog dialog(QApplication::activeWindow(), QString(), FileName, ToQtFilter(Filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(DefaultExt);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);  // an existing file is replaced
    ok = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    if (ok) request.FileName = dialog.selectedFiles().first();
  }
  if (!ok || request.FileName.isEmpty()) return false;
  if (!DefaultExt.isEmpty() && QFileInfo(request.FileName).suffix().isEmpty())
    request.FileName += u'.' + DefaultExt;
  FileName = request.FileName;
  return true;
}
