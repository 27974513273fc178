#include "widgets/captionstrip.h"

#include <QPaintEvent>
#include <QPainter>

TCaptionStrip::TCaptionStrip(QWidget *parent, TPaint paint)
    : QWidget(parent)
    , FPaint(std::move(paint))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void TCaptionStrip::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    FPaint(painter, event->rect());
}
