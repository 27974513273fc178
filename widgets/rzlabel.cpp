#include "widgets/rzlabel.h"

#include "widgets/textline.h"

#include <QPainter>

TRzLabel::TRzLabel(QWidget *parent)
    : QLabel(parent)
{
    setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
}

void TRzLabel::SetCaption(const QString &value)
{
    if (value == text())
        return;
    setText(value);
    if (FAutoSize)
        adjustSize();
}

void TRzLabel::SetAutoSize(bool value)
{
    if (value == FAutoSize)
        return;
    FAutoSize = value;
    if (FAutoSize)
        adjustSize();
}

QString TRzLabel::ShownText() const
{
    const QString caption = text();
    const QFontMetrics metrics = fontMetrics();
    const int width = contentsRect().width();
    if (FAutoSize || metrics.horizontalAdvance(caption) <= width)
        return caption;
    const QString ellipsis = QStringLiteral("\u2026");
    for (qsizetype space = caption.lastIndexOf(u' '); space > 0;
         space = caption.lastIndexOf(u' ', space - 1)) {
        const QString cut = caption.left(space).trimmed() + ellipsis;
        if (metrics.horizontalAdvance(cut) <= width)
            return cut;
    }
    // Not even the first word fits: cut within it.
    return metrics.elidedText(caption, Qt::ElideRight, width);
}

void TRzLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    DrawTextLine(painter, contentsRect(), int(alignment()), ShownText());
}
