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
// write leaves any existing file as it was. Raises EFCreateError:
// Cannot create file "<name>". <reason>
// durable: flush the data to disk before the rename.
void WriteFileReplacing(const QString& fileName, const QByteArray& data, bool durable = true);
// True when fileName can be written: it is a writable file, or it is missing and its
// folder is writable.
bool CanWriteFile(const QString& fileName);
