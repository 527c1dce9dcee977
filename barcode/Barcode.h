// The general barcode component: turns a text into one of 23 one-dimensional symbologies
// and draws it, optionally rotated and with its text, on a canvas.
//
// Encoding goes through an element string: one character per bar or space, '0'..'3' a
// space, '5'..'8' a full-height bar and 'A'..'D' a bar of two fifths of the height, each of
// module width 0..3 (see MakeModules).
#pragma once
#include <QString>
#include <functional>
#include <memory>
#include "barcode/BarcodeSymbol.h"
#include "platform/Canvas.h"
#include "platform/Colors.h"

class TBitmap;
class TVuCanvas;

enum TBarcodeType {
  bcCode_2_5_interleaved, bcCode_2_5_industrial, bcCode_2_5_matrix, bcCode39, bcCode39Extended,
  bcCode128A, bcCode128B, bcCode128C, bcCode93, bcCode93Extended, bcCodeMSI, bcCodePostNet,
  bcCodeCodabar, bcCodeEAN8, bcCodeEAN13, bcCodeUPC_A, bcCodeUPC_E0, bcCodeUPC_E1,
  bcCodeUPC_Supp2, bcCodeUPC_Supp5, bcCodeEAN128A, bcCodeEAN128B, bcCodeEAN128C
};
constexpr int BarcodeTypeCount = bcCodeEAN128C + 1;

enum TBarcodeOption { bcoNone, bcoCode, bcoTyp, bcoBoth };
enum TShowTextPosition {
  stpTopLeft, stpTopRight, stpTopCenter, stpBottomLeft, stpBottomRight, stpBottomCenter
};
enum TCheckSumMethod { csmNone, csmModulo10 };

// The display name of a symbology ("Code128B", "Codebar", ...) and whether it takes digits only.
QString BarcodeTypeName(TBarcodeType typ);
bool BarcodeTypeNumberOnly(TBarcodeType typ);
// The enumeration value's own name ("bcCode128B").
QString BarcodeTypeValueName(TBarcodeType typ);

class TNyBarcode {
 public:
  TNyBarcode();
  virtual ~TNyBarcode();
  TNyBarcode(const TNyBarcode&) = delete;
  TNyBarcode& operator=(const TNyBarcode&) = delete;

  // Copies the symbol's settings (not ShowTextFont nor ShowTextPosition) and OnChange,
  // without notifying. A null source is ignored.
  virtual void Assign(const TNyBarcode* source);

  int Height() const { return FHeight; }
  void SetHeight(int value);
  const QString& Text() const { return FText; }
  void SetText(const QString& value);
  int Top() const { return FTop; }
  void SetTop(int value);
  int Left() const { return FLeft; }
  void SetLeft(int value);
  int Modul() const { return FModul; }
  // Only 1 to 49 is accepted; any other value is ignored without notice.
  void SetModul(int value);
  double Ratio() const { return FRatio; }
  void SetRatio(double value);
  TBarcodeType Typ() const { return FTyp; }
  void SetTyp(TBarcodeType value);
  bool Checksum() const { return FCheckSum; }
  void SetChecksum(bool value);
  TCheckSumMethod CheckSumMethod() const { return FCheckSumMethod; }
  void SetCheckSumMethod(TCheckSumMethod value) { FCheckSumMethod = value; }
  double Angle() const { return FAngle; }
  void SetAngle(double value);
  TBarcodeOption ShowText() const { return FShowText; }
  void SetShowText(TBarcodeOption value);
  const TFont& ShowTextFont() const { return *FShowTextFont; }
  void SetShowTextFont(const TFont& value);
  TShowTextPosition ShowTextPosition() const { return FShowTextPosition; }
  void SetShowTextPosition(TShowTextPosition value);
  TColor Color() const { return FColor; }
  void SetColor(TColor value) { FColor = value; }
  TColor ColorBar() const { return FColorBar; }
  void SetColorBar(TColor value) { FColorBar = value; }

  std::function<void(TNyBarcode* sender)> OnChange;

  QString GetTypText() const { return BarcodeTypeName(FTyp); }
  bool IsNumberOnly() const { return BarcodeTypeNumberOnly(FTyp); }

  // csmNone: the text unchanged; csmModulo10: the text with its modulo 10 check digit.
  QString DoCheckSumming(const QString& data) const;

  // Width in pixels and line type of one element-string character; any character outside
  // the alphabet raises "TNyBarcode: internal Error".
  void OneBarProps(QChar code, int& width, TBarLineType& lineType) const;
  // Clamps Ratio for the symbology (2 to 3, 2.25 to 3 for 2 of 5 matrix, 1 to 10 for the
  // symbologies whose wide elements are whole modules; a ratio that is not a number becomes 2)
  // and computes the four module widths from Modul and Ratio.
  void MakeModules();
  // The element string of Text in the current symbology.
  QString MakeData();
  // Module width 0..3 in pixels as the last MakeModules left it.
  int ModuleWidth(int index) const { return FModules[index]; }

  // The symbol's width in pixels; SetWidth scales Modul towards the wanted width.
  int GetWidth();
  void SetWidth(int value);

  // The symbol of Text as data (see BarcodeSymbol.h): MakeData, one bar per element (spaces
  // included, in Color) and the texts that ShowText asks for. Every drawing overload walks it.
  TBarcodeSymbol MakeSymbol();
  // The bars of a given element string, placed where the symbol of Text puts its bars (the
  // rotation offset comes from the width of Text's symbol); no texts.
  TBarcodeSymbol MakeBars(const QString& data);

  // Bars and, when ShowText asks for it, the text; the canvas's font, pen and brush are
  // put back afterwards. On the recording canvas everything is recorded in vuPixels and a
  // rotated symbol is recorded rotated, its texts turned with it (see BarcodeSymbol.h).
  void DrawBarcode(TCanvas& canvas);
  void DrawBarcode(TVuCanvas& canvas);
  void DoLines(const QString& data, TCanvas& canvas);
  void DoLines(const QString& data, TVuCanvas& canvas);
  void DrawText(TCanvas& canvas);
  void DrawText(TVuCanvas& canvas);

  // Size of the rotated symbol's bounding box.
  int GetCanvasWidth();
  int GetCanvasHeight();

 protected:
  virtual void DoChange();

  // Text left-padded with '0' to n characters; a longer text is returned unchanged.
  QString SetLen(int n) const;

  // One encoder per symbology; the six Code 128 types share Code_128.
  QString Code_2_5_interleaved();
  QString Code_2_5_industrial();
  QString Code_2_5_matrix();
  QString Code_39();
  QString Code_39Extended();
  QString Code_128();
  QString Code_93();
  QString Code_93Extended();
  QString Code_MSI();
  QString Code_PostNet();
  QString Code_Codabar();
  QString Code_EAN8();
  QString Code_EAN13();
  QString Code_UPC_A();
  QString Code_UPC_E0();
  QString Code_UPC_E1();
  QString Code_Supp2();
  QString Code_Supp5();

 private:
  QString Code_UPC_E(int numberSystem);
  int ElementsWidth(const QString& data) const;
  QPoint Origin(int width) const;
  // An empty symbol of the given width with the component's height, angle, origin and anchor.
  TBarcodeSymbol SymbolFrame(int width) const;
  void AppendBars(TBarcodeSymbol& symbol, const QString& data) const;
  void AppendTexts(TBarcodeSymbol& symbol) const;
  // A symbol of Text's placement holding only its texts.
  TBarcodeSymbol MakeTexts();

  int FHeight = 0;
  QString FText;
  int FTop = 0;
  int FLeft = 0;
  int FModul = 1;
  double FRatio = 2.0;
  TBarcodeType FTyp = bcCodeEAN13;
  bool FCheckSum = false;
  TCheckSumMethod FCheckSumMethod = csmModulo10;
  double FAngle = 0.0;
  TBarcodeOption FShowText = bcoNone;
  std::unique_ptr<TFont> FShowTextFont;
  TShowTextPosition FShowTextPosition = stpTopLeft;
  TColor FColor = clWhite;
  TColor FColorBar = clBlack;
  // Pixel widths of module widths 0..3. Kept as full integers: with Modul up to 49 and
  // Ratio up to 10 the widest element is 980 pixels, which an 8-bit width could not hold.
  int FModules[4] = {1, 2, 3, 4};
};

// A white bitmap holding the symbol, its text and a quiet zone of quietModules narrow
// modules on every side, drawn with DrawBarcode. Moves the component's Left and Top into
// the bitmap. Raises the component's errors.
std::unique_ptr<TBitmap> DrawBarcodeBitmap(TNyBarcode& barcode, int quietModules = 10);
