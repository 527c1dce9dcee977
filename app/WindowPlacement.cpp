#include "app/WindowPlacement.h"
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>

QRect FitClientRect(QSize wanted, QPoint centre, const QRect& area, const QMargins& frame) {
  const int outerWidth = std::min(wanted.width() + frame.left() + frame.right(), area.width());
  const int outerHeight = std::min(wanted.height() + frame.top() + frame.bottom(), area.height());
  QRect outer(0, 0, outerWidth, outerHeight);
  outer.moveCenter(centre);
  outer.moveLeft(std::clamp(outer.left(), area.left(), area.right() + 1 - outer.width()));
  outer.moveTop(std::clamp(outer.top(), area.top(), area.bottom() + 1 - outer.height()));
  return outer.marginsRemoved(frame);
}

QScreen* ScreenFor(const QWidget* owner) {
  if (owner && owner->window()->screen()) return owner->window()->screen();
  return QGuiApplication::primaryScreen();
}

namespace {
// The frame reserve in the window's own (device-independent) pixels.
QMargins ReserveFor(const QScreen* screen) {
  const qreal ratio = screen ? screen->devicePixelRatio() : 1;
  auto scaled = [ratio](int v) { return int(v / ratio + 0.999); };
  return {scaled(FrameReserve.left()), scaled(FrameReserve.top()), scaled(FrameReserve.right()),
          scaled(FrameReserve.bottom())};
}
}  // namespace

void PlaceWindow(QWidget* window, QSize wanted, const QWidget* owner) {
  QScreen* screen = ScreenFor(owner);
  if (!screen) {
    window->resize(wanted);
    return;
  }
  const QRect area = screen->availableGeometry();
  const QPoint centre = owner && owner->window()->isVisible() ? owner->window()->frameGeometry().center()
                                                              : area.center();
  const QRect client = FitClientRect(wanted, centre, area, ReserveFor(screen));
  // The client's own place: the window manager puts its frame around it, inside the reserve.
  window->setGeometry(client);
}

void KeepFrameOnScreen(QWidget* window) {
  // The window manager frames the window some time after it is mapped.
  QTimer::singleShot(300, window, [window] {
    if (!window->isVisible() || (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) return;
    QScreen* screen = window->screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    if (area.contains(frame)) return;
    const QRect client = window->geometry();
    const QMargins margins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                           frame.bottom() - client.bottom());
    const QRect fitted = FitClientRect(client.size(), frame.center(), area, margins);
    window->resize(fitted.size());
    window->move(fitted.topLeft() - QPoint(margins.left(), margins.top()));
  });
}
