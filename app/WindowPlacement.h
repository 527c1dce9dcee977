// Where the program's own top-level windows open: inside the screen's available area (the
// screen without the desktop's panels), centred on the window they belong to.
#pragma once
#include <QMargins>
#include <QRect>
#include <QSize>

class QScreen;
class QWidget;

// Room kept for a window manager's frame (title bar and borders) while a window has none
// yet, in device pixels.
inline constexpr QMargins FrameReserve{8, 34, 8, 8};

// The outer rectangle of a window of the wanted client size with the given frame: centred
// on centre, shrunk to the area where it is larger, then moved inside the area. Returns the
// client rectangle.
QRect FitClientRect(QSize wanted, QPoint centre, const QRect& area, const QMargins& frame);

// Sizes and places window (not yet shown) for a client size of wanted: centred on owner's
// window, or on the screen without one, and within that screen's available area.
void PlaceWindow(QWidget* window, QSize wanted, const QWidget* owner);

// Once the window manager has framed a shown window: moves (and where needed shrinks) it so
// that its whole frame lies in the available area.
void KeepFrameOnScreen(QWidget* window);

// Whether something places, sizes and maximises top-level windows: a window manager on X11
// (found by its check window on the root), or a platform that does it itself. On a bare X
// server nobody does, and a window asking to be maximised must take the screen itself.
bool HasWindowManager();

// The screen a window opens on: its owner's, else the primary screen.
QScreen* ScreenFor(const QWidget* owner);
