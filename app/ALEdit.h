// The focus-colour edit field: a single-line edit that takes its own background colour while it
// holds the keyboard focus and selects its whole text on entry, draws a one-pixel frame inside
// its client area, shows its text right-aligned or centred while unfocused, moves the focus on
// with Enter, and refuses to paste a text that holds a line break.
//
// The control has a flat one-pixel black window border; its client area is the rectangle
// inside that border (ClientRect), and every position the control paints is measured from the
// client area's top-left corner.
#pragma once
#include <QLineEdit>
#include <functional>
#include <memory>
#include "platform/Classes.h"
#include "platform/Colors.h"

class QMenu;
class TCanvas;


// Keys are the toolkit's key codes (Qt::Key_Return, ...); a handler sets Key to 0 to swallow
// the key. Characters are UTF-16 code units; Enter is 13.
using TShiftState = Qt::KeyboardModifiers;
enum TMouseButton { mbLeft, mbRight, mbMiddle };

class TALCustomEdit;
using TALNotifyEvent = std::function<void(TALCustomEdit* Sender)>;
using TALKeyEvent = std::function<void(TALCustomEdit* Sender, int& Key, TShiftState Shift)>;
using TALKeyPressEvent = std::function<void(TALCustomEdit* Sender, char16_t& Key)>;
using TALMouseEvent =
    std::function<void(TALCustomEdit* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TALMouseMoveEvent = std::function<void(TALCustomEdit* Sender, TShiftState Shift, int X, int Y)>;
using TALContextPopupEvent = std::function<void(TALCustomEdit* Sender, QPoint MousePos, bool& Handled)>;

// Default background while the control holds the focus: red 237, green 240, blue 125.
constexpr TColor DefaultColorOnFocus = 8253677;

class TALCustomEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit TALCustomEdit(QWidget* parent = nullptr);
  ~TALCustomEdit() override;

  // Pastes the clipboard's text at the cursor, unless it holds a carriage return or a line
  // feed: such a paste is dropped whole. Every paste route of the control comes here.
  void PasteFromClipboard();
  // The context menu the control shows: the toolkit's standard one, with its paste entry
  // going through PasteFromClipboard. The caller owns the menu.
  QMenu* CreateContextMenu();

  // The client area inside the one-pixel window border, in widget coordinates.
  QRect ClientRect() const;
  bool Focused() const { return FFocused; }
  // Background colour (the control's Color); system colours resolve through the palette.
  TColor GetColor() const { return FColor; }
  void SetColor(TColor value);

  static bool HasLineBreak(const QString& text);
  // The drawing canvas of the paint in progress (for OnPaint); null outside a paint.
  TCanvas* Canvas() const;

 protected:
  // Properties that TALEdit publishes.
  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  TColor GetBorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor value);
  TColor GetColorOnFocus() const { return FColorOnFocus; }
  void SetColorOnFocus(TColor value);
  QString GetCustomProperty() const { return FCustomProperty; }
  void SetCustomProperty(const QString& value) { FCustomProperty = value; }

  // Called at the start of every repaint step, before the frame is drawn.
  TALNotifyEvent OnPaint;
  TALNotifyEvent OnChange;
  TALNotifyEvent OnClick;
  TALNotifyEvent OnDblClick;
  TALNotifyEvent OnEnter;
  TALNotifyEvent OnExit;
  TALKeyEvent OnKeyDown;
  TALKeyPressEvent OnKeyPress;
  TALKeyEvent OnKeyUp;
  TALMouseEvent OnMouseDown;
  TALMouseMoveEvent OnMouseMove;
  TALMouseEvent OnMouseUp;
  TALContextPopupEvent OnContextPopup;

  void SetFocused(bool value);
  // Places the toolkit's own (focused, left-aligned) text where the control paints its own:
  // one pixel from the client area's left edge, at the top text margin.
  void SetEditRect();
  // Draws the frame inside the client area; outside a paint it asks for a repaint.
  void PaintEdit();
  // Left and top text margins of the self-painted text.
  QPoint GetTextMargins() const;
  // Handles one typed character: the owner's OnKeyPress, else Enter moves the focus on.
  virtual void KeyPress(char16_t& Key);

  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void PaintAlignedText();
  void ApplyColor();

  std::unique_ptr<TCanvas> FCanvas;
  bool FPainting = false;
  bool FFocused = false;
  TColor FBorderColor = clBlack;
  TAlignment FAlignment = taLeftJustify;
  QString FCustomProperty;
  TColor FColorOnFocus = DefaultColorOnFocus;
  TColor FSavedColor = clWhite;
  TColor FColor = clWindow;
};

// The focus-colour edit field with its properties and events published.
class TALEdit : public TALCustomEdit {
  Q_OBJECT
 public:
  explicit TALEdit(QWidget* parent = nullptr) : TALCustomEdit(parent) {}

  using TALCustomEdit::GetAlignment;
  using TALCustomEdit::SetAlignment;
  using TALCustomEdit::GetBorderColor;
  using TALCustomEdit::SetBorderColor;
  using TALCustomEdit::GetColorOnFocus;
  using TALCustomEdit::SetColorOnFocus;
  using TALCustomEdit::GetCustomProperty;
  using TALCustomEdit::SetCustomProperty;
  using TALCustomEdit::OnPaint;
  using TALCustomEdit::OnChange;
  using TALCustomEdit::OnClick;
  using TALCustomEdit::OnDblClick;
  using TALCustomEdit::OnEnter;
  using TALCustomEdit::OnExit;
  using TALCustomEdit::OnKeyDown;
  using TALCustomEdit::OnKeyPress;
  using TALCustomEdit::OnKeyUp;
  using TALCustomEdit::OnMouseDown;
  using TALCustomEdit::OnMouseMove;
  using TALCustomEdit::OnMouseUp;
  using TALCustomEdit::OnContextPopup;
};
