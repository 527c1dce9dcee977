// The main window: the value field, the barcode picture and the commands Preview, Copy To
// Clipboard, Save To File, Print, Help and Exit. It keeps the last value in "VelEAN13.cfg"
// in the working directory.
#pragma once
#include <QWidget>
#include <memory>
#include "app/ALEdit.h"
#include "app/Settings.h"
#include "barcode/Barcode.h"
#include "platform/Graphics.h"
#include "platform/Services.h"

class QFrame;
class QLabel;
class QPushButton;
class QTextBrowser;

class TEAN13Form : public QWidget {
  Q_OBJECT
 public:
  // Builds the window, loads the settings file from settingsDir (the working directory by
  // default) and runs Preview once; messages of that Preview appear before the window does.
  explicit TEAN13Form(const QString& settingsDir = QString(), QWidget* parent = nullptr);
  ~TEAN13Form() override;

  // Controls, by their names in the window's layout.
  QLabel* Label1 = nullptr;
  QFrame* Panel1 = nullptr;
  QLabel* BarcodeImage = nullptr;
  TALEdit* value = nullptr;
  QPushButton* previewButton = nullptr;
  QPushButton* copyButton = nullptr;
  QPushButton* saveButton = nullptr;
  QPushButton* printButton = nullptr;
  QPushButton* helpButton = nullptr;
  QPushButton* exitButton = nullptr;
  TNyBarcode Barcode1;
  TSaveDialog SavePictureDialog1;

  // The barcode bitmap shown in BarcodeImage; null while the picture is empty.
  const TBitmap* Picture() const { return FPicture.get(); }
  const TSettingsRecord& Settings() const { return FSettings; }
  QString SettingsFileName() const;
  // The program's own window for the help page, made when the shell could not open the page;
  // null until then.
  QTextBrowser* HelpWindow() const { return FHelpWindow; }

  // Enter in the value field is swallowed and runs Preview; every other key reaches the field.
  void valueKeyPress(TALCustomEdit* Sender, char16_t& Key);
  void previewButtonClick();
  void copyButtonClick();
  void saveButtonClick();
  void printButtonClick();
  void helpButtonClick();
  void exitButtonClick();
  void drawBarcode(const QString& completed);
  // The image control's place for a screen scale (device pixels per pixel): the layout's at
  // 1, the frame's inside at any other. Runs when the window is shown.
  void FitBarcodeImage(qreal ratio);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  // Enter and the keypad's Enter press a focused button, as Space does.
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Writes the settings record with the value field's current text.
  void FormClose();

 private:
  void BuildControls();
  QPushButton* MakeButton(const QString& caption, const QString& glyph, int left, int top, int width,
                          void (TEAN13Form::*handler)());
  void SetPicture(std::unique_ptr<TBitmap> picture);
  // Shows the help page in a read-only rich-text window of the program's own.
  void ShowHelpWindow();

  QString FSettingsDir;
  TSettingsRecord FSettings;
  std::unique_ptr<TBitmap> FPicture;
  bool FClosed = false;
  QTextBrowser* FHelpWindow = nullptr;
};
