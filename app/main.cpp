// The program: the barcode maker window, or a command-line mode that needs no display.
#include <QGuiApplication>
#include <QIcon>
#include <QStringList>
#include <malloc.h>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include "app/CommandLine.h"
#include "app/Ean13Form.h"
#include "app/LabelsCommand.h"
#include "app/Settings.h"
#include "app/SymbologyCommand.h"
#include "app/ViewerForm.h"
#include "platform/Application.h"

namespace {
QStringList Arguments(int argc, char** argv) {
  QStringList args;
  for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  return args;
}

// Without a session (root shells, cron, CI), Qt warns on stderr that XDG_RUNTIME_DIR is not set
// and falls back to a private folder of its own. Command-line output is read by scripts, so
// give Qt that same folder up front and keep stderr for the program's own messages.
void ProvideRuntimeDir() {
  if (std::getenv("XDG_RUNTIME_DIR")) return;
  const char* tmp = std::getenv("TMPDIR");
  const std::string dir = std::string(tmp && *tmp ? tmp : "/tmp") + "/velean13-runtime-" +
                          std::to_string(getuid());
  mkdir(dir.c_str(), 0700);
  struct stat st {};
  if (lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid() &&
      (st.st_mode & 0777) == 0700)
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
}
}  // namespace

int main(int argc, char** argv) {
  // Every page of a long job allocates and frees buffers of a few hundred kilobytes (page
  // content, pictures, the PDF engine's streams). With glibc's defaults each of them is a
  // fresh mmap and munmap, and the heap is trimmed and grown again around them: more system
  // time than the drawing. Keeping them in the heap costs a few megabytes at most.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
  mallopt(M_TOP_PAD, 16 << 20);
  // The mode is decided from the arguments alone, before anything needs a display: a refused
  // line gives the usage and status 2 whether or not a desktop is there.
  const TCommandLine command = ParseCommandLine(Arguments(argc, argv));
  if (command.Mode == TCommandMode::cmUsageError || command.Mode == TCommandMode::cmHelp ||
      command.Mode == TCommandMode::cmVersion)
    return RunCommandLine(command);
  // The viewer of a page file is a window too, and so is the viewer of a label run.
  const bool headless = command.Mode != TCommandMode::cmWindow && command.Mode != TCommandMode::cmView &&
                        command.Mode != TCommandMode::cmLabelsView;
  // Command-line modes draw offscreen, at the same 96 pixels per inch as the window.
  if (headless) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ProvideRuntimeDir();
  }
  TApplication app(argc, argv);
  app.setApplicationName(QStringLiteral("Velmor EAN13 Barcode Maker"));
  if (command.Mode == TCommandMode::cmSymbology) return RunSymbologyCommand(Arguments(argc, argv));
  if (headless) return RunCommandLine(command);
  // The desktop matches the windows to the menu entry and shows its icon (where installed).
  QGuiApplication::setDesktopFileName(QStringLiteral("org.velmor.velean13"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("velean13")));
  if (command.Mode == TCommandMode::cmView) return RunViewer(command.Value("--view"));
  if (command.Mode == TCommandMode::cmLabelsView) return RunLabelsViewer(command);

  // From the menu the settings live in the user's configuration folder; from a shell, in the
  // working folder.
  const QString settingsFolder = command.Has("--desktop") ? DesktopSettingsFolder() : QString();
  auto form = std::make_unique<TEAN13Form>(settingsFolder);
  form->show();
  form->activateWindow();
  return app.exec();
}
