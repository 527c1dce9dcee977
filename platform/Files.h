// Binary file access.
#pragma once
#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <optional>

// Up to count bytes from the stream, read in pieces: a length field of damaged data that
// promises more than the stream holds costs no more memory than the stream really has.
QByteArray ReadAtMost(QIODevice& stream, qint64 count);
// Up to maxBytes from the start of the file; no value when it is not a regular file or
// cannot be opened or read.
std::optional<QByteArray> ReadFileHead(const QString& fileName, qint64 maxBytes);
// The whole file; raises EFOpenError with the platform's reason when it cannot be read.
QByteArray ReadWholeFile(const QString& fileName);
// Writes data to a new file beside fileName and renames it over fileName, so a failed
// write leaves any existing file as it was. A symbolic link is written through: the file it
// leads to is replaced and the link stays. A named pipe or a device is written straight
// into. Raises EFCreateError:
// Cannot create file "<name>". <reason>
// durable: flush the data to disk before the rename.
void WriteFileReplacing(const QString& fileName, const QByteArray& data, bool durable = true);
// True when fileName can be written: it is a writable file, or it is missing and its
// folder is writable.
bool CanWriteFile(const QString& fileName);

// The file a write to fileName lands in: fileName with every symbolic link on its end
// followed (a link to a missing file leads to that file's name).
QString OutputTarget(const QString& fileName);
// Whether fileName is a named pipe, a socket or a character device: written straight into,
// never replaced by a file.
bool IsStreamTarget(const QString& fileName);
// Copies the file at source into the stream target; 0 or the errno of the failure.
int CopyIntoStream(const QString& source, const QString& target);
// Makes the finished temporary file the target: flushes it to disk, renames it over the
// target and flushes the folder; 0 or the errno of the failure (the temporary file is then
// left for the caller to remove).
int CommitTemporaryFile(const QString& temporary, const QString& target);

// Where a finished output file is put together before it takes fileName's place: a new,
// empty file with the permissions a new file gets, beside the file fileName leads to (so the
// rename stays on one file system), or in the temporary folder when fileName is a pipe or a
// device.
struct TOutputTemporary {
  QString Temporary;  // the file to write
  QString Target;     // where it goes: the file fileName leads to, or the pipe or device
  bool Stream = false;
};
// 0 or the errno of the failure (EISDIR for a folder).
int CreateOutputTemporary(const QString& fileName, TOutputTemporary& output);
// The finished temporary copied into the pipe or device, or committed over the file
// (CommitTemporaryFile); 0 or the errno of the failure. The temporary file is the caller's
// to remove when it was copied or the delivery failed.
int DeliverOutputTemporary(const TOutputTemporary& output);
