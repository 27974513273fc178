#include "widgets/image.h"

#include <QMouseEvent>

TImage::TImage(QWidget *parent)
    : QLabel(parent)
{
    setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);
}

void TImage::SetPicture(const TScalablePicture &picture)
{
    FPicture = picture;
    ShowForRatio();
    resize(picture.Size());
}

void TImage::ShowForRatio()
{
    FPictureRatio = devicePixelRatioF();
    setPixmap(QPixmap::fromImage(FPicture.ForRatio(FPictureRatio)));
}

void TImage::paintEvent(QPaintEvent *event)
{
    if (FPictureRatio != devicePixelRatioF())
        ShowForRatio();
    QLabel::paintEvent(event);
}

void TImage::mousePressEvent(QMouseEvent *event)
{
    FPressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

// A click is a press and a release of the left button over the picture.
void TImage::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = FPressed && event->button() == Qt::LeftButton
        && rect().contains(event->position().toPoint());
    FPressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        Q_EMIT clicked();
}
