// Files the command line writes and reads: "-" stands for standard output (a picture, a PDF
// file) or standard input (a list, a CSV file); every other name is a file, written so that
// a failure leaves the old file as it was.
#pragma once
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

class QFile;

bool IsStandardStream(const QString& name);
// Refuses, before any work is done, an output that cannot be written: a folder in its place,
// a missing or read-only folder, a read-only file. Raises the file-creation error.
void CheckOutputPath(const QString& name);
// The whole of data into the named file (or onto out for "-").
void WriteOutput(const QString& name, const QByteArray& data, FILE* out);
// Where the command's own report goes: err when the output itself takes out.
FILE* ReportStream(const QString& output, FILE* out, FILE* err);
// Opens a list or a CSV file for reading as a stream; "-" is standard input.
bool OpenInput(QFile& file, const QString& name);
// The whole of a list or a CSV file ("-": standard input, read until it ends). Raises
// EFOpenError when it cannot be read.
QByteArray ReadInput(const QString& name);

// The file a PDF job writes: the name itself, or for "-" a temporary file that Deliver
// copies onto out once the job is done.
class TPdfOutput {
 public:
  TPdfOutput(const QString& name, FILE* out);
  QString FileName() const { return FFileName; }
  void Deliver();

 private:
  FILE* FOut;
  std::unique_ptr<QTemporaryDir> FFolder;
  QString FFileName;
};
