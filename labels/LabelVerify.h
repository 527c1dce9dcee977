// The check before a label run reaches the paper: every label drawn by the engine, as the
// printer will get it, into a picture at the printer's resolution, and read back with the
// zbar decoder.
#pragma once
#include <QImage>
#include <QString>
#include <QStringList>
#include <vector>
#include "labels/LabelPlan.h"
#include "labels/LabelRecorder.h"

// The values of one symbology (zbar's symbol type) that zbar reads in a picture.
QStringList DecodeSymbols(const QImage& picture, int zbarType);

// The label's cell of its sheet's page with the label's objects drawn at ppi, as the page draws
// them, into a picture (white where nothing is).
QImage RenderLabel(TVuPage& page, const TLabelSheet& sheet, const TPlacedLabel& label, int ppi);

// One message per label of a sheet's page that does not read as its value ("row 7: ...
// reads as ..."); empty when every label reads right.
// zbarType: the symbology's (SymbolRules), which zbar must be able to read.
QStringList VerifySheet(TVuPage& page, const TLabelSheet& sheet, const std::vector<TPlacedLabel>& labels, int ppi,
                        int zbarType);
