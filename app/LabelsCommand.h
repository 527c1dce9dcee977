// velean13 --labels: EAN-13 labels on a sheet of label stock, from a list or a CSV file, into
// a PDF file, to a printer, into a page file, or shown in the viewer window.
#pragma once
#include <QStringList>
#include <cstdio>
#include "app/CommandLine.h"

// The arguments of a line that holds --labels: mode cmLabels (a run without a window, or the
// list of sheets), cmLabelsView (no output option: the viewer window) or cmUsageError.
TCommandLine ParseLabelsLine(const QStringList& args);

// The run of a cmLabels line; messages go to out and err. 0 done, 1 refused (a sheet, a
// value, a text that does not fit, a label that does not read back, a file or a printer).
int RunLabelsCommand(const TCommandLine& command, FILE* out, FILE* err);

// A cmLabelsView line: the labels in the viewer window until it is closed; refusals as
// RunLabelsCommand gives them, and no window.
int RunLabelsViewer(const TCommandLine& command, FILE* err = stderr);

class TViewerForm;
// Records the labels into the viewer window and makes its Print check the printer's paper
// and read the labels back first; false (the reason on err) when the run is refused.
bool LoadLabelsViewer(TViewerForm& form, const TCommandLine& command, FILE* err);
