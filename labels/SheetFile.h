// The user's own sheets: a text file with one section per sheet,
//
//   [my-sheet]
//   paper = A4             ; an engine paper name, or "210 x 297 mm"
//   columns = 3
//   rows = 7
//   label = 63.5 x 38.1 mm
//   margin = 7.2, 15.15 mm ; left, top of the first label
//   pitch = 66.0, 38.1 mm  ; one label's left (top) edge to the next one's
//   radius = 2 mm          ; optional
//   description = ...      ; optional
//
// ";" and "#" start a comment; blank lines are skipped. Anything else is refused with the
// file's name and the line's number.
#pragma once
#include <QString>
#include <vector>
#include "labels/LabelSheet.h"
#include "platform/Errors.h"

// "FILE line N: reason".
class ESheetFile : public Exception {
 public:
  ESheetFile(const QString& fileName, int line, const QString& reason);
  int Line() const { return FLine; }

 private:
  int FLine;
};

// The sheets of a file's text, in file order; fileName is only for messages.
std::vector<TLabelSheet> ParseSheetFile(const QString& text, const QString& fileName);
// Reads the file (UTF-8); a file that cannot be read raises EFOpenError.
std::vector<TLabelSheet> ReadSheetFile(const QString& fileName);
