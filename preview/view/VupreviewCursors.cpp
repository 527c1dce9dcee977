// Preview control: the zoom cursors, a magnifying glass with a plus or a minus sign, 32 by 32
// monochrome with the hot spot at the top-left corner, and the preview's own cursor.
#include <array>
#include <string>
#include "platform/Cursors.h"
#include "preview/view/Vupreview.h"

namespace {
constexpr int CursorSize = 32;

// The magnifier as rows of '#' (black), 'o' (white) and '.' (transparent): a black ring
// with a white lens, a thick handle towards the bottom right, a white rim around the black
// so that the cursor shows on dark pages too, and the sign inside the lens.
std::array<std::string, CursorSize> MagnifierRows(bool plus) {
  std::array<std::string, CursorSize> rows;
  rows.fill(std::string(CursorSize, '.'));
  const int cx = 11, cy = 11;
  auto black = [cx, cy](int x, int y) {
    const int d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
    if (d2 >= 7 * 7 && d2 <= 9 * 9) return true;  // the ring
    // The handle: two pixels either side of the diagonal from the ring outwards.
    const int along = (x - cx) + (y - cy), across = (x - cx) - (y - cy);
    return along >= 17 && along <= 36 && across >= -2 && across <= 2;
  };
  for (int y = 0; y < CursorSize; ++y)
    for (int x = 0; x < CursorSize; ++x) {
      const int d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
      if (black(x, y)) rows[y][x] = '#';
      else if (d2 < 7 * 7) rows[y][x] = 'o';  // the lens
    }
  // A white rim one pixel wide around everything black.
  for (int y = 0; y < CursorSize; ++y)
    for (int x = 0; x < CursorSize; ++x) {
      if (rows[y][x] != '.') continue;
      for (int dy = -1; dy <= 1 && rows[y][x] == '.'; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          const int nx = x + dx, ny = y + dy;
          if (nx >= 0 && ny >= 0 && nx < CursorSize && ny < CursorSize && black(nx, ny)) {
            rows[y][x] = 'o';
            break;
          }
        }
    }
  // The sign: a bar of 9 by 2 pixels, crossed by an upright one for the plus.
  for (int i = cx - 4; i <= cx + 4; ++i)
    for (int t = 0; t < 2; ++t) {
      rows[cy + t][i] = '#';
      if (plus) rows[i][cx + t] = '#';
    }
  return rows;
}

QCursor MagnifierCursor(bool plus) {
  const std::array<std::string, CursorSize> rows = MagnifierRows(plus);
  const char* lines[CursorSize];
  for (int i = 0; i < CursorSize; ++i) lines[i] = rows[size_t(i)].c_str();
  return MonochromeCursor(lines, CursorSize, CursorSize, 0, 0);
}

// The program's cursor resources by name.
QCursor CursorResource(const QString& name) { return MagnifierCursor(name == QLatin1String("ZoomIn")); }
}  // namespace

// The cursor table is process-wide, so the bitmaps are drawn once, by the first preview.
void TVuPreview::LoadZoomCursors() {
  static const bool loaded = [] {
    Screen::SetCursors(ZoomInCursor, CursorResource(QStringLiteral("ZoomIn")));
    Screen::SetCursors(ZoomOutCursor, CursorResource(QStringLiteral("ZoomOut")));
    return true;
  }();
  (void)loaded;
}

void TVuPreview::SetCursor(TVuCursor cursor) {
  switch (cursor) {
    case vuDefault: unsetCursor(); break;
    case vuZoomIn: setCursor(Screen::Cursors(ZoomInCursor)); break;
    case vuZoomOut: setCursor(Screen::Cursors(ZoomOutCursor)); break;
  }
}
