// The settings objects that frame a page when it is shown or printed: margins, drop shadow
// and page grid.
#pragma once
#include <QString>
#include "platform/Canvas.h"
#include "platform/Classes.h"
#include "preview/core/Vuclasses.h"
#include "preview/core/Vutypes.h"
#include "preview/printer/Vuprinter.h"

// ---------------------------------------------------------------------------------------
// Margins, shadow and page grid

class TVuMargins;

// The four margins as plain numbers in ValueMeasurement, for editing in a property sheet.
class TVuMarginValues : public TPersistent {
 public:
  explicit TVuMarginValues(TVuMargins* owner) : FOwner(owner) {}
  QString ClassName() const override { return QStringLiteral("TVuMarginValues"); }
  float GetLeft() const;
  float GetTop() const;
  float GetRight() const;
  float GetBottom() const;
  // Each sets its margin (which fires the margins' OnChange on a real change).
  void SetLeft(float value);
  void SetTop(float value);
  void SetRight(float value);
  void SetBottom(float value);
  TVuMeasurement GetValueMeasurement() const { return FValueMeasurement; }
  void SetValueMeasurement(TVuMeasurement value) { FValueMeasurement = value; }

 private:
  TVuMargins* FOwner;
  TVuMeasurement FValueMeasurement = vuInches;
};

class TVuMargins : public TPersistent {
 public:
  // The printer is not owned; it may be null (no printer margins then).
  explicit TVuMargins(TVuPrinter* printer);
  ~TVuMargins() override;
  TVuMargins(const TVuMargins&) = delete;
  TVuMargins& operator=(const TVuMargins&) = delete;
  QString ClassName() const override { return QStringLiteral("TVuMargins"); }
  // From another margins object: the four margins, both pens, ShowPrinterMargins and
  // Visible (ClipMargins and UsePrinterMargins stay), then OnChange once more.
  void Assign(const TPersistent* source) override;

  TVuValue& Left() const { return *FLeft; }
  TVuValue& Top() const { return *FTop; }
  TVuValue& Right() const { return *FRight; }
  TVuValue& Bottom() const { return *FBottom; }
  TVuMarginValues& Values() const { return *FValues; }

  const TPen& Pen() const { return FPen; }
  void SetPen(const TPen& value);
  const TPen& PrinterMarginPen() const { return FPrinterMarginPen; }
  void SetPrinterMarginPen(const TPen& value);
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool value);
  bool GetShowPrinterMargins() const { return FShowPrinterMargins; }
  void SetShowPrinterMargins(bool value);
  bool GetClipMargins() const { return FClipMargins; }
  void SetClipMargins(bool value);
  bool GetUsePrinterMargins() const { return FUsePrinterMargins; }
  void SetUsePrinterMargins(bool value);
  TVuPrinter* Printer() const { return FPrinter; }
  // True when a printer is installed and selected, so that its margins can be read.
  bool PrinterAvailable() const;

  // Left, Top, Right, Bottom in inches.
  TVuRect GetAsInches() const;
  // Sets Left, Top, Right and Bottom in that order.
  void SetAsInches(const TVuRect& rect);
  // The printer's unprintable margins for the orientation, in measurement; zero without a
  // printer.
  TVuRect GetPrinterMargins(TVuMeasurement measurement, TVuOrientation orientation) const;
  // The margin rectangle in pixels of a page of paperSize inches at ppi.
  TRect MarginRect(const TVuSize& paperSize, int ppi) const;

  // With ClipMargins the margin rectangle (corners included) becomes the clip region; with
  // UsePrinterMargins the margins first take the printer's unprintable margins.
  void Clip(const TVuSize& paperSize, TVuOrientation orientation, int ppi, TCanvas& canvas);
  // The margin frame, and the frame of the printer's unprintable margins, when Visible.
  void Draw(const TVuSize& paperSize, TVuOrientation orientation, int ppi, TCanvas& canvas);
  // ---- page files: a value list with "MV" and "CLM", then the margin pen.
  void SaveToStream(QIODevice& stream) const;
  void LoadFromStream(QIODevice& stream);

  void Changed();
  TVuNotifyHook OnChange;

 private:
  void TakePrinterMargins(TVuOrientation orientation);
  TVuPrinter* FPrinter;
  std::unique_ptr<TVuValue> FLeft, FTop, FRight, FBottom;
  std::unique_ptr<TVuMarginValues> FValues;
  TPen FPen;
  TPen FPrinterMarginPen;
  bool FVisible = false;
  bool FShowPrinterMargins = false;
  bool FClipMargins = false;
  bool FUsePrinterMargins = false;
};

// The drop shadow along the right and bottom edges of a shown page.
class TVuShadow : public TPersistent {
 public:
  TVuShadow() = default;
  QString ClassName() const override { return QStringLiteral("TVuShadow"); }
  // From another shadow: colour, width and visibility, then OnChange.
  void Assign(const TPersistent* source) override;
  TColor GetColor() const { return FColor; }
  void SetColor(TColor value);
  int GetWidth() const { return FWidth; }
  void SetWidth(int value);
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool value);
  // pageRect: the page in device pixels relative to the page's top-left corner. Removes the
  // clipping and leaves the canvas mapped one unit per device pixel, origin at the page.
  void Draw(TCanvas& canvas, const TRect& pageRect);

  TVuNotifyHook OnChange;

 private:
  TColor FColor = clBlack;
  int FWidth = 3;
  bool FVisible = true;
};

enum TVuGridStyle { vuNoGrid, vuDots, vuLines };

// A 10 mm grid over the page, in lines or dots. Assigning a grid is refused.
class TVuPageGrid : public TPersistent {
 public:
  TVuPageGrid();
  ~TVuPageGrid() override;
  QString ClassName() const override { return QStringLiteral("TVuPageGrid"); }
  TVuGridStyle GetGridStyle() const { return FGridStyle; }
  void SetGridStyle(TVuGridStyle value);
  const TPen& GridPen() const { return FGridPen; }
  void SetGridPen(const TPen& value);
  // Always 10 mm.
  const TVuValue& Spacing() const { return *FSpacing; }
  void DrawToCanvas(TCanvas& canvas, const TVuSize& paperSize, int ppi);

  TVuNotifyHook OnChange;

 private:
  TVuGridStyle FGridStyle = vuNoGrid;
  TPen FGridPen;
  std::unique_ptr<TVuValue> FSpacing;
};

