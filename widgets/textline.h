#pragma once

#include <QRectF>
#include <QString>

class QPainter;

// Draws one line of text in the painter's font and pen, placed in `rect` by the alignment flags
// (Qt::TextShowMnemonic underlines the letter after "&", Qt::TextHideMnemonic drops the "&").
//
// Bold text on a painter that scales to the device (a screen with more than one device pixel
// per logical pixel) is drawn from the glyphs' outlines. The toolkit's glyph cache thickens a
// face that has no bold of its own for the logical size and only then scales it, so on such a
// screen that bold would look hardly bolder than regular text.
void DrawTextLine(QPainter &painter, const QRectF &rect, int flags, const QString &text);
