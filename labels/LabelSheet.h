// A sheet of self-adhesive labels: its paper, the grid of labels on it and their size, all
// lengths in millimetres from the paper's top-left corner.
#pragma once
#include <QRectF>
#include <QString>
#include "preview/core/Vutypes.h"

struct TLabelSheet {
  QString Name;         // what --labels takes, e.g. "3x7-63.5x38.1"
  QString Stock;        // a common stock number ("L7160"), also accepted by --labels; may be empty
  QString Description;
  TVuPaperSize Paper = A4;  // Custom: PaperWidth x PaperHeight
  double PaperWidth = 210, PaperHeight = 297;
  int Columns = 1, Rows = 1;
  double LabelWidth = 0, LabelHeight = 0;
  double Left = 0, Top = 0;        // the first label's top-left corner
  double PitchX = 0, PitchY = 0;   // one label's left (top) edge to the next one's
  double Radius = 0;

  int Count() const { return Columns * Rows; }
  // Label position index (0 = top left, filled row by row) as a rectangle in mm.
  QRectF Cell(int index) const;
  // "A4", "Letter", or "215.9 x 279.4 mm" for a paper of its own.
  QString PaperText() const;
  // "3x7".
  QString GridText() const;
  // "63.5x38.1 mm".
  QString LabelText() const;
  // Empty when the geometry is sound, else why not: labels that overlap, a grid that leaves
  // the paper, sizes that are not positive.
  QString Fault() const;
};

// Sets the paper of a sheet from the engine's paper name ("A4", case ignored) or "W x H mm"
// ("in" also); false when the text is neither.
bool SetSheetPaper(TLabelSheet& sheet, const QString& text);
