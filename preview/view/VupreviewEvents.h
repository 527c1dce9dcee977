// The preview's shared vocabulary: drag shapes, zoom styles, the event types of the paper
// image and the preview (the sender first), and the numbered notifications the preview sends
// its linked controls.
#pragma once
#include <QEvent>
#include <QPoint>
#include <QWidget>
#include "preview/core/Vuclasses.h"
#include "preview/document/Vucanvas.h"
#include "preview/document/Vuobjects.h"

enum TVuDragDrawing { vuDragNone, vuDragLine, vuDragEllipse, vuDragRectangle };
enum TVuZoomStyle { vuFixedZoom, vuVariableZoom };
// Where a drag-over report stands in the drag.
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };

// ---------------------------------------------------------------------------------------
// Event types shared by the paper image and the preview (the sender first).

using TVuWidgetEvent = TVuHook<QObject*>;
using TVuMouseEvent = TVuHook<QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int>;
using TVuMouseMoveEvent = TVuHook<QObject*, Qt::KeyboardModifiers, int, int>;
using TVuDragOverEvent = TVuHook<QObject*, QObject*, int, int, TDragState, bool&>;
using TVuDragDropEvent = TVuHook<QObject*, QObject*, int, int>;
// Page events carry the position in page inches.
using TVuPageMouseEvent = TVuHook<QObject*, Qt::MouseButton, Qt::KeyboardModifiers, TVuValue&, TVuValue&>;
using TVuPageMouseMoveEvent = TVuHook<QObject*, Qt::KeyboardModifiers, TVuValue&, TVuValue&>;
using TVuPageDragOverEvent = TVuHook<QObject*, QObject*, TVuValue&, TVuValue&, TDragState, bool&>;
using TVuPageDragDropEvent = TVuHook<QObject*, QObject*, TVuValue&, TVuValue&>;
using TVuDrawHeaderFooterEvent = TVuHook<QObject*, TVuValueRect&, TVuCanvas&>;
using TVuNeedRichEditEvent = TVuHook<QObject*, QWidget*&>;
// ---- mouse and keyboard interaction of the preview
// A press over a visible object of the current page, page inches.
using TVuObjectMouseEvent =
    TVuHook<QObject*, Qt::MouseButton, Qt::KeyboardModifiers, TVuValue&, TVuValue&, TVuVisibleObject*>;
// The control's wheel events: delta in eighths of a degree, position in control pixels,
// Handled set by a handler that took the turn.
using TVuMouseWheelEvent = TVuHook<QObject*, Qt::KeyboardModifiers, int, QPoint, bool&>;
using TVuMouseWheelUpDownEvent = TVuHook<QObject*, Qt::KeyboardModifiers, QPoint, bool&>;
enum TVuCursor { vuDefault, vuZoomIn, vuZoomOut };

// ---------------------------------------------------------------------------------------
// Numbered notifications from a preview to its linked windowed controls.

enum TVuNotification : int {
  VuMsgPagesPerSheetChanged = 7034,
  VuMsgHeaderFooterChanged = 7035,
  VuMsgOrientationChanged = 7036,
  VuMsgPageContentChanged = 7038,
  VuMsgNumPagesChanged = 7039,
  VuMsgPrinterChanged = 7042,
  VuMsgBeginUpdate = 7043,
  VuMsgEndUpdate = 7044,
  VuMsgPaperSizeChanged = 7045,
  VuMsgPageNumChanged = 7047,
};

// The window message of a notification, delivered with QCoreApplication::sendEvent. The
// notifications carry no parameters: the receiver asks the preview for what changed.
class TVuMessageEvent : public QEvent {
 public:
  explicit TVuMessageEvent(TVuNotification msg);
  // The event type all notifications share, registered once per process.
  static QEvent::Type EventType();
  TVuNotification Msg() const { return FMsg; }

 private:
  TVuNotification FMsg;
};
