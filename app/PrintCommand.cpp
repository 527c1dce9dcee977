#include "app/PrintCommand.h"

void RunPrintCommand(QWidget*, const TBitmap&) {}
