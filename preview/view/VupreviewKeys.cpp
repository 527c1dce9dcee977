// Preview control: scrolling with the keyboard and the mouse wheel.
#include <QKeyEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include "preview/view/Vupreview.h"

QScrollBar* TVuPreview::HandledScrollBar() const {
  // A bar is shown while its range exceeds the client size, that is while it can move.
  QScrollBar* vert = verticalScrollBar();
  if (vert->maximum() > vert->minimum()) return vert;
  QScrollBar* horz = horizontalScrollBar();
  if (horz->maximum() > horz->minimum()) return horz;
  return nullptr;
}

void TVuPreview::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  switch (key) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right: break;
    default:
      // Everything else goes on to the window (Escape, Enter, shortcuts).
      QWidget::keyPressEvent(event);
      return;
  }
  // The scroll keys stop here, also when there is nothing to scroll.
  event->accept();
  QScrollBar* bar = HandledScrollBar();
  if (!bar) return;
  QScrollBar* vert = verticalScrollBar();
  QScrollBar* horz = horizontalScrollBar();
  switch (key) {
    case Qt::Key_PageUp: bar->setValue(bar->value() - 10 * bar->singleStep()); break;
    case Qt::Key_PageDown: bar->setValue(bar->value() + 10 * bar->singleStep()); break;
    case Qt::Key_Home:
      vert->setValue(vert->minimum());
      horz->setValue(horz->minimum());
      break;
    case Qt::Key_End:
      vert->setValue(vert->maximum());
      horz->setValue(horz->maximum());
      break;
    case Qt::Key_Up: vert->setValue(vert->value() - vert->singleStep()); break;
    case Qt::Key_Down: vert->setValue(vert->value() + vert->singleStep()); break;
    case Qt::Key_Left: horz->setValue(horz->value() - horz->singleStep()); break;
    case Qt::Key_Right: horz->setValue(horz->value() + horz->singleStep()); break;
    default: break;
  }
}

void TVuPreview::wheelEvent(QWheelEvent* event) {
  const QPoint angle = event->angleDelta();
  const int delta = angle.y() != 0 ? angle.y() : angle.x();
  // Events without a turn (the ends of a touchpad gesture) move nothing.
  if (delta == 0) {
    event->accept();
    return;
  }
  if (QScrollBar* bar = HandledScrollBar())
    bar->setValue(bar->value() + (delta > 0 ? -bar->singleStep() : bar->singleStep()));
  // The bar has moved whatever the handlers say; an unhandled turn still goes on to the
  // window, as the platform passes on a wheel message no one took.
  event->setAccepted(DoMouseWheel(event->modifiers(), delta, event->position().toPoint()));
}

bool TVuPreview::DoMouseWheel(Qt::KeyboardModifiers shift, int wheelDelta, QPoint mousePos) {
  bool handled = false;
  OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
  if (handled) return true;
  if (wheelDelta < 0) OnMouseWheelDown(this, shift, mousePos, handled);
  else OnMouseWheelUp(this, shift, mousePos, handled);
  return handled;
}
