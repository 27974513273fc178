#include "widgets/focusmark.h"

#include <QPainter>

void DrawFocusMark(QPainter &painter, const QRect &rect)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.setPen(QPen(QColor(0, 0, 0), 1, Qt::DotLine));
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.restore();
}
