#pragma once

#include <QRect>

class QPainter;

// The mark of the control that has the keyboard focus: a dotted frame in dark and light, so
// that it shows on the pale page and on the dark title band alike.
void DrawFocusMark(QPainter &painter, const QRect &rect);
