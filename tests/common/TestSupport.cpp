#include "TestSupport.h"
#include "platform/Errors.h"
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include "platform/Services.h"

void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

TRecordedServices::TRecordedServices() {
  TServiceHooks& h = ServiceHooks();
  h.MessageBox = [this](const QString& t) { Messages << t; };
  h.ErrorDisplay = [this](const QString& t) { Errors << t; };
  h.Question = [this](const QString& t) {
    Questions << t;
    return QuestionAnswer;
  };
  h.ShellOpen = [this](const QString& d) {
    Opened << d;
    return ShellOpenWorks;
  };
  h.ClipboardSetImage = [this](const QImage& i) { Clipboard = i; ++ClipboardSets; };
  h.SaveDialog = [this](TSaveDialogRequest& r) {
    LastSaveFilter = r.Filter;
    LastSaveDefaultExt = r.DefaultExt;
    r.FileName = SaveAnswers.isEmpty() ? SaveAnswer : SaveAnswers.takeFirst();
    return !r.FileName.isEmpty();
  };
}

TRecordedServices::~TRecordedServices() { ResetServiceHooks(); }

TTempDir::TTempDir() {
  QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/velean13-test-XXXXXX"));
  dir.setAutoRemove(false);
  FPath = dir.path();
}

TTempDir::~TTempDir() {
  // Make read-only leftovers removable again before deleting the folder.
  QProcess::execute(QStringLiteral("chmod"), {QStringLiteral("-R"), QStringLiteral("u+w"), FPath});
  QDir(FPath).removeRecursively();
}

int RunProgram(const QString& program, const QStringList& args, QByteArray* out, QByteArray* err,
               int timeoutMs) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForStarted()) return -1;
  p.closeWriteChannel();
  if (!p.waitForFinished(timeoutMs)) {
    p.kill();
    p.waitForFinished();
    return -1;
  }
  if (out) *out = p.readAllStandardOutput();
  if (err) *err = p.readAllStandardError();
  return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

bool HaveProgram(const QString& name) { return !QStandardPaths::findExecutable(name).isEmpty(); }

QString PrinterErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EPrinter& e) {
    return e.Message();
  }
  return QString();
}
