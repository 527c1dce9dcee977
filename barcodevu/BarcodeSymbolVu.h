// The barcode component's drawing on the engine's recording canvas: the symbol model recorded
// in the canvas's pixel unit. This bridge keeps the symbol engine (barcode/) free of the page
// engine; TNyBarcode's TVuCanvas overloads are defined here.
#pragma once
#include "barcode/BarcodeSymbol.h"
#include "preview/document/Vucanvas.h"

// The same on the recording canvas, in its pixel unit (vuPixels, 1/96 inch), each bar with
// pen width 1 and a solid brush in the bar's colour. At a multiple of 90 degrees a bar is a
// rectangle (AreaOnCanvas: exact, right and bottom edges exclusive as the rectangle records
// them); at any other angle it is the polygon of AreaQuad. Texts are recorded turned with the
// symbol (TurnText, at Angle with RotateOut); a text with a band (the code text) is always
// centred in it, measured with the recording canvas's TextWidth rounded to whole pixels.
// Canvas state is left as for the platform canvas.
void DrawSymbolBars(TVuCanvas& canvas, const TBarcodeSymbol& symbol);
void DrawSymbolTexts(TVuCanvas& canvas, const TBarcodeSymbol& symbol);
