// Modal and shell services. Each goes through a replaceable hook so tests can record what
// would have been shown instead of blocking; an unset hook falls back to the real service.
#pragma once
#include <QImage>
#include <QString>
#include <functional>
#include <memory>

class QAbstractFileIconProvider;
class QFileDialog;
class QMessageBox;
class QWidget;
class TGraphic;

struct TSaveDialogRequest {
  QString Filter;      // the old platform's form: "Bitmaps (*.bmp)|*.bmp"
  QString DefaultExt;  // without the dot: "bmp"
  QString FileName;    // in: suggested name; out: chosen name
};

struct TServiceHooks {
  std::function<void(const QString& text)> MessageBox;
  std::function<void(const QString& text)> ErrorDisplay;
  // Returns whether the user answered Yes.
  std::function<bool(const QString& text)> Question;
  std::function<void(const QImage& image)> ClipboardSetImage;
  std::function<bool(TSaveDialogRequest& request)> SaveDialog;
  // Returns whether the shell took the document.
  std::function<bool(const QString& document)> ShellOpen;
};

// The process-wide hooks; tests set them and reset them with ResetServiceHooks.
TServiceHooks& ServiceHooks();
void ResetServiceHooks();

// The program's one message-box style: the application's full title, an icon for the kind
// of message, the given buttons, no maximise or minimise button, wide enough for the title.
enum class TMessageKind { mkWarning, mkError, mkQuestion };
std::unique_ptr<QMessageBox> MakeMessageBox(TMessageKind kind, const QString& text, QWidget* parent = nullptr);

// A modal message box with one OK button and the application's title.
void ShowMessage(const QString& text);
// The application's default error display: the failure's message in a box.
void ShowErrorMessage(const QString& text);
// A modal question with Yes and No (No is the default); true for Yes.
bool AskQuestion(const QString& text);
void SetClipboardImage(const QImage& image);
QImage ClipboardImage();
// The shell's "open" verb on a document path, relative to the working directory. When the
// shell has no way to open it (no launcher, or the launcher reports failure), onFailure runs on
// the user-interface thread: at once, or when the launcher ends.
void ShellOpen(const QString& document, std::function<void()> onFailure = {});

// The save-file dialog. Execute returns true when the user confirmed a name; the default
// extension is appended to a name typed without one. A name of an existing file is only
// taken after the user agreed to replace it; otherwise the dialog comes back. The proposed
// name is shown selected, so that typing replaces it.
//
// One dialog serves every Execute of the object, so its history and view stay in memory for
// the object's life; it never writes the toolkit's own settings file, never reads file
// contents to pick icons (a special file such as /proc/kmsg would block the user-interface
// thread for ever) and never starts in a pseudo file system (/proc, /sys, /dev).
class TSaveDialog {
 public:
  TSaveDialog();
  ~TSaveDialog();
  TSaveDialog(const TSaveDialog&) = delete;
  TSaveDialog& operator=(const TSaveDialog&) = delete;

  QString Filter;
  QString DefaultExt;
  QString FileName;
  bool Execute();
  // The dialog as Execute shows it, set up from Filter, DefaultExt and FileName.
  QFileDialog* Prepare(QWidget* parent = nullptr);
  // "Bitmaps (*.bmp)|*.bmp" -> "Bitmaps (*.bmp)"; pairs separated by '|' become ";;" lines.
  static QString ToQtFilter(const QString& filter);
  // The folder the dialog opens in for a suggested file name: the name's folder, unless that
  // is missing or belongs to a pseudo file system; then the working directory (or home).
  static QString StartFolder(const QString& fileName);

 private:
  static void GiveFocusBack(QFileDialog* dialog, QWidget* owner);
  std::unique_ptr<QAbstractFileIconProvider> FIconProvider;
  std::unique_ptr<QFileDialog> FDialog;
};
