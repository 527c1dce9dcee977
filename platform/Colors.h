// Colours as the engine stores them: 32-bit 0x00BBGGRR values; clNone means "no colour".
// System colours carry 0x80 in the high byte and resolve through the widget palette.
#pragma once
#include <cstdint>
#include <QColor>

using TColor = int32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// System colours (index in the low byte).
constexpr TColor clScrollBar = int32_t(0x80000000);
constexpr TColor clBackground = int32_t(0x80000001);
constexpr TColor clWindow = int32_t(0x80000005);
constexpr TColor clWindowText = int32_t(0x80000008);
constexpr TColor clHighlight = int32_t(0x8000000D);
constexpr TColor clHighlightText = int32_t(0x8000000E);
constexpr TColor clBtnFace = int32_t(0x8000000F);
constexpr TColor clBtnShadow = int32_t(0x80000010);
constexpr TColor clGrayText = int32_t(0x80000011);
constexpr TColor clBtnText = int32_t(0x80000012);
constexpr TColor clBtnHighlight = int32_t(0x80000014);

constexpr TColor RGBColor(int r, int g, int b) { return TColor(r | (g << 8) | (b << 16)); }
constexpr int GetRValue(TColor c) { return c & 0xFF; }
constexpr int GetGValue(TColor c) { return (c >> 8) & 0xFF; }
constexpr int GetBValue(TColor c) { return (c >> 16) & 0xFF; }
constexpr bool IsSystemColor(TColor c) { return (uint32_t(c) & 0xFF000000u) == 0x80000000u; }

// Resolves system colours through the application palette; returns the 0x00BBGGRR value.
TColor ColorToRGB(TColor c);
QColor ToQColor(TColor c);
TColor FromQColor(const QColor& c);
