#include "widgets/textline.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace {

bool scalesToDevice(const QPainter &painter)
{
    const QTransform transform = painter.deviceTransform();
    return !qFuzzyCompare(transform.m11(), 1.0) || !qFuzzyCompare(transform.m22(), 1.0)
        || transform.type() > QTransform::TxScale;
}

// The text without its mnemonic marks ("&&" stays as one "&"), and the position of the letter
// that a single "&" marks, or -1.
QString withoutMnemonics(const QString &text, qsizetype &marked)
{
    QString shown;
    marked = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != u'&' && marked < 0)
                marked = shown.size();
        }
        shown += text[i];
    }
    return shown;
}

} // namespace

void DrawTextLine(QPainter &painter, const QRectF &rect, int flags, const QString &text)
{
    if (!painter.font().bold() || !scalesToDevice(painter)) {
        painter.drawText(rect, flags, text);
        return;
    }
    qsizetype marked = -1;
    const bool mnemonics = flags & (Qt::TextShowMnemonic | Qt::TextHideMnemonic);
    const QString shown = mnemonics ? withoutMnemonics(text, marked) : text;
    if (!(flags & Qt::TextShowMnemonic))
        marked = -1;

    const QFontMetricsF metrics(painter.font(), painter.device());
    const qreal width = metrics.horizontalAdvance(shown);
    qreal x = rect.left();
    if (flags & Qt::AlignRight)
        x = rect.right() - width;
    else if (flags & Qt::AlignHCenter)
        x = rect.left() + (rect.width() - width) / 2;
    qreal baseline = rect.top() + metrics.ascent();
    if (flags & Qt::AlignBottom)
        baseline = rect.bottom() - metrics.descent();
    else if (flags & Qt::AlignVCenter)
        baseline = rect.top() + (rect.height() - metrics.height()) / 2 + metrics.ascent();

    QPainterPath outline;
    outline.addText(QPointF(x, baseline), painter.font(), shown);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(outline, painter.pen().brush());
    if (marked >= 0) {
        const qreal from = x + metrics.horizontalAdvance(shown.left(marked));
        const qreal to = from + metrics.horizontalAdvance(shown.at(marked));
        const qreal y = baseline + metrics.underlinePos();
        painter.fillRect(QRectF(from, y, to - from, metrics.lineWidth()), painter.pen().brush());
    }
    painter.restore();
}
