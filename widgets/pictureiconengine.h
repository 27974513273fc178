#pragma once

#include "widgets/scalablepicture.h"

#include <QIconEngine>

// An icon drawn from a scalable picture. Each request is served from the drawing for its device
// pixel ratio, so that the doubled drawing is decoded only when a dense screen first shows the
// icon, not when the icon is made.
class TPictureIconEngine : public QIconEngine
{
public:
    explicit TPictureIconEngine(const TScalablePicture &picture);

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    // size is in device pixels; the pixmap is the drawing for scale, never larger than size.
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QString key() const override;
    QIconEngine *clone() const override;
    bool isNull() override;

private:
    TScalablePicture FPicture;
};
