#include "widgets/pictureiconengine.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

TPictureIconEngine::TPictureIconEngine(const TScalablePicture &picture)
    : FPicture(picture)
{ }

void TPictureIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode,
                               QIcon::State state)
{
    const qreal ratio = painter->device()->devicePixelRatio();
    painter->drawPixmap(rect, scaledPixmap(rect.size() * ratio, mode, state, ratio));
}

QSize TPictureIconEngine::actualSize(const QSize &size, QIcon::Mode, QIcon::State)
{
    QSize actual = FPicture.Size();
    if (actual.width() > size.width() || actual.height() > size.height())
        actual.scale(size, Qt::KeepAspectRatio);
    return actual;
}

QPixmap TPictureIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state)
{
    return scaledPixmap(size, mode, state, 1.0);
}

QPixmap TPictureIconEngine::scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State,
                                         qreal scale)
{
    if (FPicture.IsNull() || size.isEmpty())
        return {};
    QImage drawn = FPicture.ForRatio(scale);
    if (drawn.width() > size.width() || drawn.height() > size.height())
        drawn = drawn.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    drawn.setDevicePixelRatio(1.0);
    QPixmap shown = QPixmap::fromImage(std::move(drawn));
    // Disabled and selected icons are derived by the style, as for any other icon.
    if (mode != QIcon::Normal) {
        QStyleOption option;
        option.palette = QGuiApplication::palette();
        shown = QApplication::style()->generatedIconPixmap(mode, shown, &option);
    }
    return shown;
}

QList<QSize> TPictureIconEngine::availableSizes(QIcon::Mode, QIcon::State)
{
    return {FPicture.Size()};
}

QString TPictureIconEngine::key() const
{
    return QStringLiteral("TPictureIconEngine");
}

QIconEngine *TPictureIconEngine::clone() const
{
    return new TPictureIconEngine(FPicture);
}

bool TPictureIconEngine::isNull()
{
    return FPicture.IsNull();
}
