#include "widgets/image.h"

#include "widgets/focusmark.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

// What assistive technology sees of a picture that is clicked: a link that can be pressed.
class TImageAccessible : public QAccessibleWidget
{
public:
    explicit TImageAccessible(TImage *image)
        : QAccessibleWidget(image, QAccessible::Link)
    { }

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString &name) override
    {
        if (name == pressAction())
            Q_EMIT static_cast<TImage *>(widget())->clicked();
    }
};

QAccessibleInterface *imageAccessible(const QString &className, QObject *object)
{
    if (className == u"TImage" && object && object->isWidgetType())
        return new TImageAccessible(static_cast<TImage *>(object));
    return nullptr;
}

} // namespace

TImage::TImage(QWidget *parent)
    : QLabel(parent)
{
    static const bool accessibleInstalled = [] {
        QAccessible::installFactory(imageAccessible);
        return true;
    }();
    Q_UNUSED(accessibleInstalled);
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
    if (hasFocus()) {
        QPainter painter(this);
        DrawFocusMark(painter, rect());
    }
}

void TImage::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if ((key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)
        && event->modifiers() == Qt::NoModifier) {
        event->accept();
        Q_EMIT clicked();
        return;
    }
    QLabel::keyPressEvent(event);
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
