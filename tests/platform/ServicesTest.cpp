// The save dialog and the shell's "open" with the real toolkit behind them.
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QTest>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>
#include "TestSupport.h"
#include "platform/Services.h"

namespace {
void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

// Names of the files in a folder that anyone opened or read while the watch ran.
class TReadWatch {
 public:
  explicit TReadWatch(const QString& folder) : FFd(inotify_init1(IN_NONBLOCK)) {
    inotify_add_watch(FFd, QFile::encodeName(folder).constData(), IN_OPEN | IN_ACCESS);
  }
  ~TReadWatch() { close(FFd); }
  QStringList FilesRead() {
    QStringList names;
    alignas(inotify_event) char buffer[8192];
    for (ssize_t n; (n = read(FFd, buffer, sizeof buffer)) > 0;)
      for (char* p = buffer; p < buffer + n;) {
        auto* e = reinterpret_cast<inotify_event*>(p);
        if (e->len && !(e->mask & IN_ISDIR) && !names.contains(e->name)) names << QString::fromLocal8Bit(e->name);
        p += sizeof(inotify_event) + e->len;
      }
    return names;
  }

 private:
  int FFd;
};

}  // namespace

// A FIFO stands for a file whose read never returns: opening it would hang the test.
TEST(TSaveDialog, ListingAFolderOfSpecialFilesReadsNoFileContents) {
  TTempDir neutral, dir;
  ASSERT_EQ(mkfifo(QFile::encodeName(dir.File("kmsg")).constData(), 0600), 0);
  WriteBytes(dir.File("data"), QByteArray("\x7f" "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0", 16));
  WriteBytes(dir.File("notes"), "plain text without an extension\n");
  WriteBytes(dir.File("old.bmp"), "BM");
  TReadWatch watch(dir.Path());

  TSaveDialog dialog;
  dialog.Filter = QStringLiteral("Bitmaps (*.bmp)|*.bmp");
  dialog.DefaultExt = QStringLiteral("bmp");
  dialog.FileName = neutral.File("first.bmp");
  dialog.Prepare()->show();
  // The next Save starts where the last name pointed: the folder of special files.
  dialog.FileName = dir.File("x.bmp");
  QFileDialog* shown = dialog.Prepare();
  auto* model = shown->findChild<QFileSystemModel*>();
  ASSERT_NE(model, nullptr);
  shown->setNameFilter(QStringLiteral("All files (*)"));  // list every file, as a user may ask
  // The dialog lists the regular files; the FIFO is a system file it leaves out.
  EXPECT_TRUE(QTest::qWaitFor([&] { return model->rowCount(model->index(dir.Path())) == 3; }, 5000));
  const QModelIndex root = model->index(dir.Path());
  ASSERT_EQ(model->rowCount(root), 3);
  for (int row = 0; row < 3; ++row) {  // what the views ask for: icon and kind
    (void)model->data(model->index(row, 0, root), Qt::DecorationRole);
    (void)model->data(model->index(row, 2, root), Qt::DisplayRole);
  }
  (void)shown->grab();
  QTest::qWait(300);
  shown->hide();
  EXPECT_EQ(watch.FilesRead(), QStringList());
}

TEST(TSaveDialog, NeverStartsInAPseudoFileSystem) {
  TTempDir dir;
  const QString cwd = QDir::currentPath();
  const std::pair<QString, QString> cases[] = {
      {"/proc/x.bmp", cwd}, {"/sys/kernel/x.bmp", cwd}, {"/dev/shm/x.bmp", cwd},
      {dir.File("x.bmp"), dir.Path()}, {dir.File("missing/x.bmp"), cwd}, {QString(), cwd}};
  for (const auto& [name, folder] : cases) EXPECT_EQ(TSaveDialog::StartFolder(name), folder) << name.toStdString();

  // After a failed save to /proc, the dialog opens in the working directory with the same name.
  TSaveDialog dialog;
  dialog.FileName = QStringLiteral("/proc/x.bmp");
  QFileDialog* shown = dialog.Prepare();
  EXPECT_EQ(shown->directory().absolutePath(), cwd);
}

// The shell's verdict reaches the caller: a launcher that fails, or none at all, runs the
// failure handler; a launcher that opens the document does not.
TEST(ShellOpen, FailureHandlerRunsWhenTheShellCannotOpenTheDocument) {
  TTempDir bin;
  const QByteArray savedPath = qgetenv("PATH");
  struct {
    const char* Launcher;  // the body of a stand-in xdg-open; nullptr: there is none
    int Failures;
  } cases[] = {{"exit 3", 1}, {"exit 0", 0}, {nullptr, 1}};
  for (const auto& c : cases) {
    QFile::remove(bin.File("xdg-open"));
    if (c.Launcher) {
      WriteBytes(bin.File("xdg-open"), QByteArray("#!/bin/sh\n") + c.Launcher + "\n");
      ASSERT_EQ(chmod(QFile::encodeName(bin.File("xdg-open")).constData(), 0755), 0);
    }
    qputenv("PATH", QFile::encodeName(bin.Path()) + (c.Launcher ? ":" + savedPath : QByteArray()));
    int failures = 0;
    ShellOpen(QStringLiteral("VelEAN13.htm"), [&] { ++failures; });
    EXPECT_TRUE(QTest::qWaitFor([] { return QCoreApplication::instance()->findChildren<QProcess*>().isEmpty(); }, 10000));
    QCoreApplication::processEvents();
    EXPECT_EQ(failures, c.Failures) << (c.Launcher ? c.Launcher : "no launcher");
  }
  qputenv("PATH", savedPath);
}

// Every box of the program in one style: the full title, an icon for its kind, only a close
// box beside the title, and at least as wide as the title needs.
TEST(MessageBoxStyle, OneStyleForEveryKind) {
  QCoreApplication::setApplicationName(QStringLiteral("Velmor EAN13 Barcode Maker"));
  const struct {
    TMessageKind Kind;
    QMessageBox::Icon Icon;
    QMessageBox::StandardButtons Buttons;
  } cases[] = {{TMessageKind::mkWarning, QMessageBox::Warning, QMessageBox::Ok},
               {TMessageKind::mkError, QMessageBox::Critical, QMessageBox::Ok},
               {TMessageKind::mkQuestion, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No}};
  for (const auto& c : cases) {
    auto box = MakeMessageBox(c.Kind, QStringLiteral("Page exceeded."));
    box->show();
    EXPECT_EQ(box->windowTitle(), "Velmor EAN13 Barcode Maker");
    EXPECT_EQ(box->icon(), c.Icon);
    EXPECT_EQ(box->standardButtons(), c.Buttons);
    const Qt::WindowFlags flags = box->windowFlags();
    EXPECT_FALSE(flags & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_GT(box->width(), QFontMetrics(box->font()).horizontalAdvance(box->windowTitle()) + 80);
    box->hide();
  }
  QCoreApplication::setApplicationName(QString());
}

// The proposed name comes selected, so that typing replaces it, also on the dialog's next use.
TEST(TSaveDialog, TheProposedNameIsSelected) {
  TTempDir dir;
  TSaveDialog dialog;
  dialog.Filter = QStringLiteral("Bitmaps (*.bmp)|*.bmp");
  for (const char* name : {"t1.bmp", "second.bmp"}) {
    dialog.FileName = dir.File(QString::fromLatin1(name));
    QFileDialog* shown = dialog.Prepare();
    shown->show();
    QCoreApplication::processEvents();
    auto* edit = shown->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->selectedText(), QString::fromLatin1(name));
    QTest::keyClicks(edit, QStringLiteral("typed"));
    EXPECT_EQ(edit->text(), "typed");
    shown->hide();
  }
}

// Replacing a file is asked first; No brings the dialog back, Yes takes the name.
TEST(TSaveDialog, AnExistingFileIsOnlyReplacedAfterYes) {
  TRecordedServices services;
  TTempDir dir;
  WriteBytes(dir.File("old.bmp"), "BM");
  TSaveDialog dialog;
  dialog.DefaultExt = QStringLiteral("bmp");
  services.SaveAnswers = {dir.File("old"), dir.File("new.bmp")};
  services.QuestionAnswer = false;
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(services.Questions, QStringList{"\"old.bmp\" already exists.\nDo you want to replace it?"});
  EXPECT_EQ(dialog.FileName, dir.File("new.bmp"));

  services.SaveAnswers = {dir.File("old.bmp")};
  services.QuestionAnswer = true;
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(services.Questions.size(), 2);
  EXPECT_EQ(dialog.FileName, dir.File("old.bmp"));
  // A new name is not asked about.
  services.SaveAnswers = {dir.File("other.bmp")};
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(services.Questions.size(), 2);
}
