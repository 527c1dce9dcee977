#include "app/WindowPlacement.h"
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

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

bool HasWindowManager() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || !x11->connection()) return true;  // not X11: the platform places its windows
  xcb_connection_t* c = x11->connection();
  static const char name[] = "_NET_SUPPORTING_WM_CHECK";
  xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, std::strlen(name), name), nullptr);
  if (!atom) return false;
  const xcb_atom_t check = atom->atom;
  std::free(atom);
  if (check == XCB_ATOM_NONE) return false;
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  xcb_get_property_reply_t* reply =
      xcb_get_property_reply(c, xcb_get_property(c, 0, root, check, XCB_ATOM_WINDOW, 0, 1), nullptr);
  const bool found = reply && xcb_get_property_value_length(reply) >= int(sizeof(xcb_window_t));
  std::free(reply);
  return found;
}
