// Modal and shell services. Each goes through a replaceable hook so tests can record what
// would have been shown instead of blocking; an unset hook falls back to the real service.
#pragma once
#include <QImage>
#include <QString>
#include <functional>

class TGraphic;

struct TSaveDialogRequest {
  QString Filter;      // the old platform's form: "Bitmaps (*.bmp)|*.bmp"
  QString DefaultExt;  // without the dot: "bmp"
  QString FileName;    // in: suggested name; out: chosen name
};

struct TServiceHooks {
  std::function<void(const QString& text)> MessageBox;
  std::function<void(const QString& text)> ErrorDisplay;
  std::function<void(const QImage& image)> ClipboardSetImage;
  std::function<bool(TSaveDialogRequest& request)> SaveDialog;
  std::function<void(const QString& document)> ShellOpen;
};

// The process-wide hooks; tests set them and reset them with ResetServiceHooks.
TServiceHooks& ServiceHooks();
void ResetServiceHooks();

// A modal message box with one OK button and the application's title.
void ShowMessage(const QString& text);
// The application's default error display: the failure's message in a box.
void ShowErrorMessage(const QString& text);
void SetClipboardImage(const QImage& image);
QImage ClipboardImage();
// The shell's "open" verb on a document path, relative to the working directory.
void ShellOpen(const QString& document);

// The save-file dialog. Execute returns true when the user confirmed a name; the default
// extension is appended to a name typed without one.
class TSaveDialog {
 public:
  QString Filter;
  QString DefaultExt;
  QString FileName;
  bool Execute();
  // "Bitmaps (*.bmp)|*.bmp" -> "Bitmaps (*.bmp)"; pairs separated by '|' become ";;" lines.
  static QString ToQtFilter(const QString& filter);
};
