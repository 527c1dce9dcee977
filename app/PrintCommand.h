// The Print command of the main window.
#pragma once

class QWidget;
class TBitmap;

// Shows the print preview window with the barcode on its first page. The print preview
// window is not part of this build yet, so the command has no effect.
void RunPrintCommand(QWidget* owner, const TBitmap& barcode);
