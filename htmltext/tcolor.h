#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

// A 32-bit colour value: 0x00BBGGRR is an RGB colour (red in the low byte), 0xFF0000nn the
// platform's system colour number nn, and clNone stands for "no colour".
using TColor = quint32;

inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;

inline constexpr TColor clSystemColor = 0xFF000000;
inline constexpr TColor clWindow = clSystemColor + 5;
inline constexpr TColor clWindowText = clSystemColor + 8;
inline constexpr TColor clHighlight = clSystemColor + 13;
inline constexpr TColor clHighlightText = clSystemColor + 14;
inline constexpr TColor clBtnFace = clSystemColor + 15;
inline constexpr TColor clInfoText = clSystemColor + 23;
inline constexpr TColor clInfoBk = clSystemColor + 24;

inline constexpr bool IsSystemColor(TColor color)
{
    return (color & 0xFF000000) == clSystemColor;
}

// System colours are looked up in the palette; clNone and unknown system numbers give black.
TColor ColorToRGB(TColor color, const QPalette &palette);
TColor ColorToRGB(TColor color); // with the application's palette
QColor ColorToQColor(TColor color, const QPalette &palette);
QColor ColorToQColor(TColor color);
TColor QColorToColor(const QColor &color);

// A colour name such as "clRed" or "clBtnFace" (any letter case), or "#RRGGBB"; an unknown name
// gives black.
TColor Text2Color(const QString &name);
// "#RRGGBB" (the "#" may be missing): red, green, blue as pairs of hex digits; a pair that is
// incomplete or holds a character that is no hex digit reads 0.
TColor Hex2Color(const QString &text);
