#include "app/ALEdit.h"
#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include "platform/Canvas.h"

namespace {
// The toolkit's line edit keeps its text this far inside its contents rectangle.
constexpr int EditHorizontalMargin = 2;
constexpr int EditVerticalMargin = 1;

TMouseButton ButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::RightButton: return mbRight;
    case Qt::MiddleButton: return mbMiddle;
    default: return mbLeft;
  }
}

// The character a key types, as the edit's key handler sees it: Enter is 13 whichever Enter
// key it came from; keys that type nothing give 0.
char16_t CharOf(const QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return 13;
  const QString text = event->text();
  return text.size() == 1 ? char16_t(text.at(0).unicode()) : char16_t(0);
}

// A focus change caused by a popup (the context menu) opening or closing: the field keeps
// the focus as far as the user is concerned.
bool IsPopupFocusChange(const QFocusEvent* event) { return event->reason() == Qt::PopupFocusReason; }
}  // namespace

TALCustomEdit::TALCustomEdit(QWidget* parent) : QLineEdit(parent) {
  // Flat look with a one-pixel window border that the control paints itself.
  setFrame(false);
  setLayoutDirection(Qt::LeftToRight);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  ApplyColor();
  SetEditRect();
  connect(this, &QLineEdit::textChanged, this, [this] {
    if (OnChange) OnChange(this);
  });
}

TALCustomEdit::~TALCustomEdit() = default;

bool TALCustomEdit::HasLineBreak(const QString& text) {
  return text.contains(u'\r') || text.contains(u'\n');
}

QRect TALCustomEdit::ClientRect() const { return rect().adjusted(1, 1, -1, -1); }

TCanvas* TALCustomEdit::Canvas() const { return FPainting ? FCanvas.get() : nullptr; }

void TALCustomEdit::SetColor(TColor value) {
  if (value == FColor) return;
  FColor = value;
  ApplyColor();
}

void TALCustomEdit::ApplyColor() {
  QPalette pal = palette();
  pal.setColor(QPalette::Base, ToQColor(FColor));
  setPalette(pal);
  update();
}

void TALCustomEdit::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  repaint();
}

void TALCustomEdit::SetBorderColor(TColor value) {
  if (value == FBorderColor) return;
  FBorderColor = value;
  update();
}

void TALCustomEdit::SetColorOnFocus(TColor value) {
  if (value == FColorOnFocus) return;
  FColorOnFocus = value;
  // A field that holds the focus shows the new colour at once.
  if (FFocused) SetColor(value);
}

void TALCustomEdit::SetFocused(bool value) {
  if (value == FFocused) return;
  FFocused = value;
  if (FAlignment != taLeftJustify) repaint();
}

QPoint TALCustomEdit::GetTextMargins() const { return QPoint(1, 2); }

void TALCustomEdit::SetEditRect() {
  // The toolkit draws its text EditHorizontalMargin / EditVerticalMargin inside the widget;
  // the client area starts one pixel in (the window border). The text's left edge goes one
  // pixel into the client area and its top to the top text margin, where the unfocused
  // painting puts it too, so the text does not jump when the focus comes or goes.
  const QPoint margins = GetTextMargins();
  const int left = 1 + margins.x() - EditHorizontalMargin;
  const int top = 1 + margins.y() - EditVerticalMargin;
  setTextMargins(std::max(0, left), std::max(0, top), 0, 0);
}

void TALCustomEdit::PaintEdit() {
  if (!FPainting) {
    // Only a paint may draw; the frame is drawn again by the repaint.
    update();
    return;
  }
  if (OnPaint) OnPaint(this);
  TCanvas& canvas = *FCanvas;
  canvas.Brush().Style = bsClear;
  canvas.Pen().Style = psSolid;
  canvas.Pen().Width = 1;
  canvas.Pen().Color = FBorderColor == clNone ? FColor : FBorderColor;
  const QRect client = ClientRect();
  canvas.Rectangle(client.left(), client.top(), client.right() + 1, client.bottom() + 1);
}

void TALCustomEdit::PaintAlignedText() {
  QPainter* p = FCanvas->Painter();
  const QRect client = ClientRect();
  p->save();
  p->translate(client.topLeft());
  QRect r(0, 0, client.width(), client.height());
  if (FBorderColor != clNone) r.adjust(1, 1, -1, -1);
  const QFontMetrics fm(font(), this);
  // With a password character the text shows as that character once per character.
  const QString shown = displayText();
  const int w = fm.horizontalAdvance(shown);
  const QPoint margins = GetTextMargins();
  const int x = FAlignment == taRightJustify ? r.width() - w - margins.x() - 1
                                                         : (r.width() - w) / 2;
  p->fillRect(r, ToQColor(FColor));
  p->setClipRect(r);
  p->setFont(font());
  p->setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
  p->drawText(x, margins.y() + fm.ascent(), shown);
  p->restore();
}

void TALCustomEdit::paintEvent(QPaintEvent* event) {
  if (!FCanvas) FCanvas = std::make_unique<TCanvas>();
  const bool ownText = FAlignment != taLeftJustify && !FFocused;
  if (!ownText) QLineEdit::paintEvent(event);
  FCanvas->SetDevice(this);
  FPainting = true;
  if (ownText) PaintAlignedText();
  PaintEdit();
  // The flat single-line window border around the client area.
  TCanvas& canvas = *FCanvas;
  canvas.Brush().Style = bsClear;
  canvas.Pen().Color = clBlack;
  canvas.Rectangle(0, 0, width(), height());
  FPainting = false;
  FCanvas->SetDevice(nullptr);
}

void TALCustomEdit::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  SetEditRect();
  PaintEdit();
}

void TALCustomEdit::changeEvent(QEvent* event) {
  QLineEdit::changeEvent(event);
  if (event->type() == QEvent::FontChange) SetEditRect();
}

void TALCustomEdit::focusInEvent(QFocusEvent* event) {
  if (IsPopupFocusChange(event)) {
    QLineEdit::focusInEvent(event);
    return;
  }
  // A read-only field keeps its look and does not report the entry.
  if (isReadOnly()) return;
  SetFocused(true);
  QLineEdit::focusInEvent(event);
  if (OnEnter) OnEnter(this);
  setSelection(0, text().length());
  FSavedColor = FColor;
  SetColor(FColorOnFocus);
  PaintEdit();
}

void TALCustomEdit::focusOutEvent(QFocusEvent* event) {
  if (IsPopupFocusChange(event)) {
    QLineEdit::focusOutEvent(event);
    return;
  }
  // The exit mirrors the entry: a field whose entry was not handled (it was read-only then)
  // neither reports the exit nor changes its colour, and a field that switched its colour
  // always switches it back, even if it became read-only in between.
  if (!FFocused) return;
  QLineEdit::focusOutEvent(event);
  if (OnExit) OnExit(this);
  SetFocused(false);
  SetColor(FSavedColor);
  PaintEdit();
}

void TALCustomEdit::KeyPress(char16_t& Key) {
  if (OnKeyPress) {
    OnKeyPress(this, Key);
    return;
  }
  if (Key == 13) {
    Key = 0;
    if (!OnKeyDown) focusNextChild();
  }
}

void TALCustomEdit::keyPressEvent(QKeyEvent* event) {
  if (OnKeyDown) {
    int key = event->key();
    OnKeyDown(this, key, event->modifiers());
    if (key == 0) {
      event->accept();
      return;
    }
  }
  const char16_t typed = CharOf(event);
  char16_t ch = typed;
  if (ch != 0) {
    KeyPress(ch);
    if (ch == 0) {
      event->accept();
      return;
    }
  }
  if (event->matches(QKeySequence::Paste)) {
    PasteFromClipboard();
    event->accept();
    return;
  }
  if (ch != typed) {
    // The handler changed the character: the edit receives the new one.
    QKeyEvent changed(event->type(), event->key(), event->modifiers(), QString(QChar(ch)),
                      event->isAutoRepeat(), event->count());
    QLineEdit::keyPressEvent(&changed);
    event->setAccepted(changed.isAccepted());
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void TALCustomEdit::keyReleaseEvent(QKeyEvent* event) {
  if (OnKeyUp) {
    int key = event->key();
    OnKeyUp(this, key, event->modifiers());
    if (key == 0) {
      event->accept();
      return;
    }
  }
  QLineEdit::keyReleaseEvent(event);
}

void TALCustomEdit::PasteFromClipboard() {
  if (isReadOnly()) return;
  const QString text = QGuiApplication::clipboard()->text(QClipboard::Clipboard);
  if (HasLineBreak(text)) return;
  paste();
}

QMenu* TALCustomEdit::CreateContextMenu() {
  QMenu* menu = createStandardContextMenu();
  for (QAction* action : menu->actions()) {
    // The paste entry is the one wired to the toolkit's own paste (by name in Qt 6.4).
    if (!disconnect(action, &QAction::triggered, this, &QLineEdit::paste) &&
        !disconnect(action, SIGNAL(triggered()), this, SLOT(paste())))
      continue;
    connect(action, &QAction::triggered, this, &TALCustomEdit::PasteFromClipboard);
    // A clipboard text that would be refused is not offered.
    if (HasLineBreak(QGuiApplication::clipboard()->text())) action->setEnabled(false);
  }
  return menu;
}

void TALCustomEdit::contextMenuEvent(QContextMenuEvent* event) {
  if (OnContextPopup) {
    bool handled = false;
    OnContextPopup(this, event->pos(), handled);
    if (handled) return;
  }
  QMenu* menu = CreateContextMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}

void TALCustomEdit::mousePressEvent(QMouseEvent* event) {
  if (OnMouseDown)
    OnMouseDown(this, ButtonOf(event->button()), event->modifiers(), event->position().toPoint().x(),
                event->position().toPoint().y());
  QLineEdit::mousePressEvent(event);
}

void TALCustomEdit::mouseMoveEvent(QMouseEvent* event) {
  if (OnMouseMove)
    OnMouseMove(this, event->modifiers(), event->position().toPoint().x(), event->position().toPoint().y());
  QLineEdit::mouseMoveEvent(event);
}

void TALCustomEdit::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  QClipboard* clipboard = QGuiApplication::clipboard();
  // The middle button pastes the X11 selection; a selection with a line break is refused.
  const bool refusedSelectionPaste = event->button() == Qt::MiddleButton && clipboard->supportsSelection() &&
                                     HasLineBreak(clipboard->text(QClipboard::Selection));
  if (refusedSelectionPaste) event->accept();
  else QLineEdit::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(pos) && OnClick) OnClick(this);
  if (OnMouseUp) OnMouseUp(this, ButtonOf(event->button()), event->modifiers(), pos.x(), pos.y());
}

void TALCustomEdit::mouseDoubleClickEvent(QMouseEvent* event) {
  QLineEdit::mouseDoubleClickEvent(event);
  if (OnDblClick) OnDblClick(this);
}

void TALCustomEdit::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasText() && HasLineBreak(event->mimeData()->text())) {
    event->ignore();
    return;
  }
  QLineEdit::dragEnterEvent(event);
}

void TALCustomEdit::dragMoveEvent(QDragMoveEvent* event) {
  if (event->mimeData()->hasText() && HasLineBreak(event->mimeData()->text())) {
    event->ignore();
    return;
  }
  QLineEdit::dragMoveEvent(event);
}

void TALCustomEdit::dropEvent(QDropEvent* event) {
  if (event->mimeData()->hasText() && HasLineBreak(event->mimeData()->text())) {
    event->ignore();
    return;
  }
  QLineEdit::dropEvent(event);
}
