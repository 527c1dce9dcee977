// The application's cursor table and its screen cursor: cursors are kept under numbers, the
// built-in shapes under negative numbers and the program's own from 1 up, and the screen
// cursor overrides every window's cursor until it is set back to crDefault.
#pragma once
#include <QBitmap>
#include <QCursor>

constexpr int crDefault = 0;
constexpr int crArrow = -2;
constexpr int crCross = -3;
constexpr int crHandPoint = -21;

namespace Screen {
// The cursor stored under number; the arrow for a number nothing is stored under.
QCursor Cursors(int number);
// Stores (or replaces) the cursor under number; the built-in numbers cannot be replaced.
void SetCursors(int number, const QCursor& cursor);
// crDefault while no screen cursor is set.
int Cursor();
// Shows cursor number over every window of the program; crDefault lets each window show its
// own cursor again.
void SetCursor(int number);
}  // namespace Screen

// A monochrome cursor from rows of '#' (black), 'o' (white) and anything else (transparent),
// with its hot spot at (hotX, hotY).
QCursor MonochromeCursor(const char* const rows[], int width, int height, int hotX, int hotY);
