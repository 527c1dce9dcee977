// Helpers shared by the test programs.
#pragma once
#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>
#include <ostream>

void PrintTo(const QString& text, std::ostream* os);

// The message of the printer error f raises; empty when it raises none.
QString PrinterErrorOf(const std::function<void()>& f);

// Records what the modal services would have shown, for the lifetime of the object.
struct TRecordedServices {
  TRecordedServices();
  ~TRecordedServices();
  QStringList Messages;   // message boxes
  QStringList Errors;     // the default error display
  QStringList Questions;  // Yes/No questions, answered with QuestionAnswer
  bool QuestionAnswer = true;
  QStringList Opened;     // shell "open"
  bool ShellOpenWorks = true;  // false: the shell has no way to open the document
  QImage Clipboard;
  int ClipboardSets = 0;
  // The save dialog answers with the first of SaveAnswers while there is one, then with
  // SaveAnswer; an empty name means Cancel.
  QStringList SaveAnswers;
  QString SaveAnswer;
  QString LastSaveFilter, LastSaveDefaultExt;
};

// A fresh empty folder under the system's temporary folder, removed at exit of the object.
class TTempDir {
 public:
  TTempDir();
  ~TTempDir();
  QString Path() const { return FPath; }
  QString File(const QString& name) const { return FPath + u'/' + name; }

 private:
  QString FPath;
};

// Runs a program and returns its exit code (-1 when it could not start); output is captured.
int RunProgram(const QString& program, const QStringList& args, QByteArray* out = nullptr,
               QByteArray* err = nullptr, int timeoutMs = 60000);
bool HaveProgram(const QString& name);
