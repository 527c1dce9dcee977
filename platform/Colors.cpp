#include "platform/Colors.h"
#include <QGuiApplication>
#include <QPalette>

namespace {
QPalette::ColorRole RoleOf(int index, QPalette::ColorGroup& group) {
  group = QPalette::Active;
  switch (index) {
    case 5: return QPalette::Base;
    case 8: return QPalette::Text;
    case 13: return QPalette::Highlight;
    case 14: return QPalette::HighlightedText;
    case 15: return QPalette::Button;
    case 16: return QPalette::Dark;
    case 17: group = QPalette::Disabled; return QPalette::Text;
    case 18: return QPalette::ButtonText;
    case 20: return QPalette::Light;
    default: return QPalette::Window;
  }
}
}  // namespace

TColor FromQColor(const QColor& c) { return RGBColor(c.red(), c.green(), c.blue()); }

TColor ColorToRGB(TColor c) {
  if (!IsSystemColor(c)) return c & 0xFFFFFF;
  QPalette::ColorGroup group;
  QPalette::ColorRole role = RoleOf(c & 0xFF, group);
  QPalette palette = QGuiApplication::instance() ? QGuiApplication::palette() : QPalette();
  return FromQColor(palette.color(group, role));
}

QColor ToQColor(TColor c) {
  TColor rgb = ColorToRGB(c);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}
