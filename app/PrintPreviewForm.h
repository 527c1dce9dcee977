// The print preview window: the modal dialog of the main window's Print command. It shows
// the pages its caller recorded in a preview control, lets the user zoom, step through the
// pages, jump to one, choose a printer and a page range, and print. It records nothing.
#pragma once
#include <QDialog>
#include <QString>
#include "platform/StringGrid.h"
#include "preview/grid/Vugridprint.h"
#include "preview/view/Vupreview.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;

// Makes "新細明體" and "細明體", the faces the window's texts name, resolve to the
// Traditional Chinese Ming face of this system ("AR PL UMing TW"). Runs once per process.
void InstallChineseFontSubstitutes();

class TPrintPreviewForm : public QDialog {
  Q_OBJECT
 public:
  // Builds the window, clears the preview and fills the printer list. Raises "There is no
  // default printer currently selected" when no printer is installed.
  explicit TPrintPreviewForm(QWidget* owner = nullptr);
  ~TPrintPreviewForm() override;

  // Controls, by their names in the window's layout.
  QFrame* Panel3 = nullptr;
  QPushButton* uFirst = nullptr;
  QPushButton* uPrevious = nullptr;
  QPushButton* uNext = nullptr;
  QPushButton* uLast = nullptr;
  QPushButton* zoomIn = nullptr;
  QPushButton* zoomOut = nullptr;
  QLabel* Label11 = nullptr;
  QComboBox* printer = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* fromPage = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* toPage = nullptr;
  QFrame* Panel1 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* printButton = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  TVuPreview* VuPreview1 = nullptr;
  // Lays a string grid out on VuPreview1's pages; owned by the window.
  TVuGridPrint* VuGridPrint1 = nullptr;
  // The grid the window's cell handler draws from, and whether it takes that grid's colours.
  // None and false at creation; nothing in the program sets them.
  TStringGrid* GridSource = nullptr;
  bool GridSourceColor = false;

  // The text of status panel 0 (page count) or 1 (current page).
  QString StatusPanelText(int index) const;
  // A button's hint, shown on hover only where the layout says so (uFirst).
  static QString Hint(const QPushButton* button);

  void uFirstClick();
  void uPreviousClick();
  void uNextClick();
  void uLastClick();
  void zoomInClick();
  void zoomOutClick();
  // Enter (character 13) is swallowed and jumps to the page typed; every other key reaches
  // the field unchanged.
  void fromPageKeyPress(QObject* Sender, char16_t& Key);
  void printButtonClick();
  void FormShow();
  // The grid print's handlers: cells are drawn the component's default way; every page after
  // the first starts its grid 15 mm below the paper's top edge.
  void VuGridPrint1DrawCell(QObject* Sender, int Col, int Row, TVuValueRect& ARect, TVuCanvas& ACanvas);
  void VuGridPrint1GridNewPage(QObject* Sender, TVuValue& ATopMargin, TVuValue& ABottomMargin);

 protected:
  void showEvent(QShowEvent* event) override;
  // Enter in fromPage, Enter on a focused button, and the docking of Panel1.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void SetUpPreview();
  void DockRightPanel();
  void SetUpGridPrint();
  void FillPrinterList();
  QPushButton* MakeButton(QWidget* parent, const QString& caption, const QString& glyph, QRect geometry,
                          QSize iconSize, void (TPrintPreviewForm::*handler)());
  QLabel* MakeLabel(const QString& caption, int left, int top);
  // Navigation after a move: uFirst/uPrevious when not on page 1, uNext/uLast when not on
  // the last page, and the current page in status panel 1.
  void ShowPageState(bool backward, bool forward);
  void ShowCurrentPage();

  QLabel* FStatusPanels[2] = {nullptr, nullptr};

  // ---- mouse on the page: moving a recorded object, drawing a rectangle, panning ---------
  void ConnectPreviewMouse();
  bool FDrawingRectangle = false;
  // ------------------------------------------------------------------------------------------
};
