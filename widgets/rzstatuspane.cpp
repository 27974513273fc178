#include "widgets/rzstatuspane.h"

#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace {

// What assistive technology sees of a pane: a status bar whose name is its caption, unless the
// pane was given a name of its own.
class TStatusPaneAccessible : public QAccessibleWidget
{
public:
    explicit TStatusPaneAccessible(TRzStatusPane *pane)
        : QAccessibleWidget(pane, QAccessible::StatusBar)
    { }

    QString text(QAccessible::Text kind) const override
    {
        const QString own = QAccessibleWidget::text(kind);
        if (kind == QAccessible::Name && own.isEmpty())
            return static_cast<const TRzStatusPane *>(widget())->Caption();
        return own;
    }
};

QAccessibleInterface *statusPaneAccessible(const QString &className, QObject *object)
{
    if (className == u"TRzStatusPane" && object && object->isWidgetType())
        return new TStatusPaneAccessible(static_cast<TRzStatusPane *>(object));
    return nullptr;
}

// One ring of a frame: the colour of its left and top sides, and of its right and bottom sides.
struct TFrameRing
{
    QPalette::ColorRole TopLeft;
    QPalette::ColorRole BottomRight;
};

struct TFrameLook
{
    int Thickness;
    TFrameRing Outer;
    TFrameRing Inner;
};

TFrameLook frameLook(TFrameStyle style)
{
    using P = QPalette;
    switch (style) {
    case fsNone:
        return {0, {}, {}};
    case fsFlat:
        return {1, {P::Dark, P::Dark}, {}};
    case fsStatus:
        return {1, {P::Dark, P::Light}, {}};
    case fsPopup:
        return {1, {P::Light, P::Dark}, {}};
    case fsGroove:
        return {2, {P::Dark, P::Light}, {P::Light, P::Dark}};
    case fsBump:
        return {2, {P::Light, P::Dark}, {P::Dark, P::Light}};
    case fsLowered:
        return {2, {P::Dark, P::Light}, {P::Shadow, P::Midlight}};
    case fsButtonDown:
        return {2, {P::Shadow, P::Light}, {P::Dark, P::Midlight}};
    case fsRaised:
        return {2, {P::Light, P::Shadow}, {P::Midlight, P::Dark}};
    case fsButtonUp:
        return {2, {P::Midlight, P::Shadow}, {P::Light, P::Dark}};
    case fsFlatBold:
        return {2, {P::Dark, P::Dark}, {P::Dark, P::Dark}};
    }
    return {0, {}, {}};
}

// A one-pixel ring on the outermost pixels of rect; the right and bottom sides own the corners
// they share with the others.
void drawRing(QPainter &painter, const QRect &rect, const QColor &topLeft,
              const QColor &bottomRight)
{
    if (rect.isEmpty())
        return;
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), topLeft);
    painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), topLeft);
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), bottomRight);
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), bottomRight);
}

} // namespace

TRzStatusPane::TRzStatusPane(QWidget *parent)
    : QWidget(parent)
    , FFillColor(palette().color(QPalette::Button))
{
    static const bool accessibleInstalled = [] {
        QAccessible::installFactory(statusPaneAccessible);
        return true;
    }();
    Q_UNUSED(accessibleInstalled);
    // Not opaque and not auto-filled: what the pane leaves unpainted shows its parent.
    setAutoFillBackground(false);
    setFocusPolicy(Qt::NoFocus);
    resize(100, 20);
}

int TRzStatusPane::FrameThickness(TFrameStyle style)
{
    return frameLook(style).Thickness;
}

void TRzStatusPane::SetCaption(const QString &value)
{
    if (value == FCaption)
        return;
    FCaption = value;
    update();
    CaptionChanged();
    // A screen reader announces what the status line says now.
    if (QAccessible::isActive() && accessibleName().isEmpty()) {
        QAccessibleEvent changed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
}

void TRzStatusPane::SetFrameStyle(TFrameStyle value)
{
    if (value == FFrameStyle)
        return;
    FFrameStyle = value;
    update();
    CaptionRectChanged();
}

void TRzStatusPane::SetBorderWidth(int value)
{
    value = qMax(0, value);
    if (value == FBorderWidth)
        return;
    FBorderWidth = value;
    update();
    CaptionRectChanged();
}

void TRzStatusPane::SetTransparent(bool value)
{
    if (value == FTransparent)
        return;
    FTransparent = value;
    // An opaque pane fills all of its rectangle, so its parent need not be painted beneath it.
    setAttribute(Qt::WA_OpaquePaintEvent, !value);
    update();
}

QColor TRzStatusPane::FillColor() const
{
    return FParentFillColor ? Color() : FFillColor;
}

void TRzStatusPane::SetFillColor(const QColor &value)
{
    if (value == FFillColor && !FParentFillColor)
        return;
    FFillColor = value;
    FParentFillColor = false;
    update();
}

void TRzStatusPane::SetParentFillColor(bool value)
{
    if (value == FParentFillColor)
        return;
    FParentFillColor = value;
    update();
}

QColor TRzStatusPane::Color() const
{
    return palette().color(backgroundRole());
}

QColor TRzStatusPane::FontColor() const
{
    return palette().color(QPalette::WindowText);
}

void TRzStatusPane::SetFontColor(const QColor &value)
{
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, value);
    setPalette(colours);
}

QRect TRzStatusPane::GetCaptionRect() const
{
    const int inset = FBorderWidth + FrameThickness(FFrameStyle);
    return rect().adjusted(inset, inset, -inset, -inset);
}

void TRzStatusPane::DrawStatusBorder(QPainter &painter)
{
    if (!FTransparent)
        painter.fillRect(rect(), Color());
    const TFrameLook look = frameLook(FFrameStyle);
    const QRect outer = rect().adjusted(FBorderWidth, FBorderWidth, -FBorderWidth, -FBorderWidth);
    const QPalette &colours = palette();
    if (look.Thickness >= 1)
        drawRing(painter, outer, colours.color(look.Outer.TopLeft),
                 colours.color(look.Outer.BottomRight));
    if (look.Thickness >= 2)
        drawRing(painter, outer.adjusted(1, 1, -1, -1), colours.color(look.Inner.TopLeft),
                 colours.color(look.Inner.BottomRight));
}

void TRzStatusPane::DrawCaption(QPainter &painter, const QString &caption)
{
    constexpr int captionOffset = 2;
    const QRect area = GetCaptionRect();
    painter.fillRect(area, FillColor());
    painter.save();
    painter.setClipRect(area);
    painter.setFont(font());
    painter.setPen(FontColor());
    painter.drawText(area.adjusted(captionOffset, 0, -captionOffset, 0),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, caption);
    painter.restore();
}

void TRzStatusPane::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    // A repaint of the caption area alone (a scroll tick) leaves the frame as it is.
    if (!GetCaptionRect().contains(event->rect()))
        DrawStatusBorder(painter);
    DrawCaption(painter, FCaption);
}

void TRzStatusPane::mousePressEvent(QMouseEvent *event)
{
    FPressed = event->button() == Qt::LeftButton;
    QWidget::mousePressEvent(event);
}

void TRzStatusPane::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = FPressed && event->button() == Qt::LeftButton
        && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        FPressed = false;
    QWidget::mouseReleaseEvent(event);
    if (click)
        Q_EMIT clicked();
}
