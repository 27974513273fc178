#include "htmltext/htmlabel.h"

#include <QCursor>
#include <QMouseEvent>
#include <QToolTip>

#include <cmath>

namespace {

// A frame of the given width just inside outer.
void fillRing(QPainter &painter, const QRect &outer, int width, const QColor &color)
{
    if (width <= 0 || outer.isEmpty())
        return;
    const int w = std::min(width, outer.width()), h = std::min(width, outer.height());
    painter.fillRect(QRect(outer.left(), outer.top(), outer.width(), h), color);
    painter.fillRect(QRect(outer.left(), outer.bottom() - h + 1, outer.width(), h), color);
    painter.fillRect(QRect(outer.left(), outer.top(), w, outer.height()), color);
    painter.fillRect(QRect(outer.right() - w + 1, outer.top(), w, outer.height()), color);
}

bool isLineForm(TGradientType type)
{
    return type == gtBottomLine || type == gtCenterLine || type == gtTopLine;
}

} // namespace

THTMLabel::THTMLabel(QWidget *parent)
    : THTMLTextWidget(parent, 2)
{
    resize(120, height());
}

void THTMLabel::SetHTMLText(const QStringList &value)
{
    QString line = value.join(QString());
    line.remove(u'\r');
    line.remove(u'\n');
    THTMLTextWidget::SetHTMLText(line.isEmpty() ? QStringList() : QStringList{line});
}

void THTMLabel::HTMLTextChanged()
{
    FImageCache.Clear();
}

void THTMLabel::SetTransparent(bool value)
{
    if (value == FTransparent)
        return;
    FTransparent = value;
    setAttribute(Qt::WA_OpaquePaintEvent, !value);
    update();
}

bool THTMLabel::SingleBorder() const
{
    return BorderStyle() == bsSingle && BorderWidth() != 0 && FBorderColor != clNone;
}

int THTMLabel::BorderB1() const
{
    return int(std::lround((BorderWidth() + 1) / 2.0));
}

int THTMLabel::BorderB2() const
{
    return int(std::lround(BorderWidth() / 2.0));
}

TRect THTMLabel::FrameRect() const
{
    TRect r{0, 0, width(), height()};
    if (BevelOuter() != bvNone)
        Shrink(r, BevelWidth());
    Shrink(r, BorderWidth());
    if (BevelInner() != bvNone)
        Shrink(r, BevelWidth());
    if (AnyBevel())
        Shrink(r, BevelWidth());
    if (SingleBorder())
        Shrink(r, BorderB1());
    return r;
}

TRect THTMLabel::TextRect(THTMLCanvas &canvas, bool autoSize)
{
    TRect r = FrameRect();
    ExtendForAutoSizing(r);
    if (!AutoSizing() && VAlignment() == tvaTop)
        return r;
    const THTMLDrawResult measured = HTMLHitTest(canvas, BaseParams(r), -1, -1);
    int x = measured.XSize, y = measured.YSize;
    if (AutoSizing()) {
        if (VAlignment() == tvaCenter)
            r.Top += 3;
        else if (VAlignment() == tvaBottom)
            r.Top += 6;
        if (SingleBorder()) {
            x += 2 * BorderWidth();
            y += 2 * BorderWidth();
        }
        if (autoSize)
            ApplyAutoSize(x, y);
    }
    if (VAlignment() == tvaCenter)
        r.Top += (height() - y) / 2;
    else if (VAlignment() == tvaBottom)
        r.Top = height() - y;
    return r;
}

void THTMLabel::PaintBackground(QPainter &painter, TPainterCanvas &canvas)
{
    const TRect client{0, 0, width(), height()};
    const int steps = width() / 4;
    if (!FTransparent) {
        if (FColorTo == clNone || isLineForm(FGradientType))
            painter.fillRect(rect(), palette().color(backgroundRole()));
        else
            DrawHTMLGradient(canvas, Color(), FColorTo, FGradientType == gtFullHorizontal, client,
                             steps, clNone);
    }
    // The line forms are a horizontal gradient strip; clNone as second colour means none.
    if (!isLineForm(FGradientType) || FColorTo == clNone || FLineWidth <= 0)
        return;
    TRect strip = client;
    if (FGradientType == gtBottomLine) {
        strip.Top = strip.Bottom - FLineWidth;
    } else if (FGradientType == gtCenterLine) {
        strip.Top += (client.Height() - FLineWidth) / 2;
        strip.Bottom = strip.Top + FLineWidth;
    } else {
        strip.Bottom = strip.Top + FLineWidth;
    }
    DrawHTMLGradient(canvas, Color(), FColorTo, true, strip, steps, clNone);
}

void THTMLabel::PaintFrames(QPainter &painter)
{
    QRect r = rect();
    const QColor shadow = ColorToQColor(clSystemColor + 16, palette());
    const QColor highlight = ColorToQColor(clSystemColor + 20, palette());
    const auto bevel = [&](TBevelCut cut) {
        const QColor topLeft = cut == bvLowered ? shadow : highlight;
        const QColor bottomRight = cut == bvLowered ? highlight : shadow;
        for (int i = 0; i < BevelWidth() && !r.isEmpty(); ++i) {
            painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
            painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
            painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
            painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
            r.adjust(1, 1, -1, -1);
        }
    };
    if (BevelOuter() != bvNone)
        bevel(BevelOuter());
    fillRing(painter, r, BorderWidth(), palette().color(backgroundRole()));
    r.adjust(BorderWidth(), BorderWidth(), -BorderWidth(), -BorderWidth());
    if (BevelInner() != bvNone)
        bevel(BevelInner());
    if (SingleBorder()) {
        const QRect outline = r.adjusted(-BorderB1(), -BorderB1(), BorderB2(), BorderB2());
        fillRing(painter, outline, BorderWidth(), ColorToQColor(FBorderColor, palette()));
    }
}

void THTMLabel::paintEvent(QPaintEvent *)
{
    if (rect().isEmpty())
        return;
    QPainter painter(this);
    TPainterCanvas canvas(painter, palette());
    canvas.setFont(HTMLFont());
    PaintBackground(painter, canvas);
    if (FUpdateCount > 0)
        return;
    PaintFrames(painter);
    canvas.setBrushColor(Color());
    THTMLDrawParams p = BaseParams(TextRect(canvas, true));
    // The mouse position lets linked images show their alternative picture.
    const QPoint mouse = mapFromGlobal(QCursor::pos());
    p.XPos = mouse.x();
    p.YPos = mouse.y();
    const THTMLDrawResult drawn = HTMLDraw(canvas, p);
    FXSize = drawn.XSize;
    FYSize = drawn.YSize;
}

QSize THTMLabel::GetSizeWithMaxWidth(int maxWidth)
{
    TMeasureCanvas measure(*this, HTMLFont());
    const THTMLDrawResult measured
        = HTMLHitTest(measure.canvas(), BaseParams(TRect{0, 0, maxWidth, 4096}), -1, -1);
    return QSize(measured.XSize, measured.YSize);
}

QString THTMLabel::IsAnchor(int x, int y, TRect &hoverrect)
{
    hoverrect = TRect{-1, -1, -1, -1};
    TMeasureCanvas measure(*this, HTMLFont());
    measure.canvas().setBrushColor(Color());
    const TRect r = TextRect(measure.canvas(), false);
    const THTMLDrawResult hit = HTMLHitTest(measure.canvas(), BaseParams(r), x, y);
    if (!hit.Hit) {
        FHoverHyperLink = -1;
        return {};
    }
    FHoverHyperLink = hit.MouseLink;
    hoverrect = hit.HoverRect;
    return hit.AnchorVal;
}

QString THTMLabel::AnchorAt(QPoint pos)
{
    TRect hoverrect;
    return IsAnchor(pos.x(), pos.y(), hoverrect);
}

QString THTMLabel::HintAt(QPoint pos)
{
    const QString hint = THTMLTextWidget::HintAt(pos);
    if (!hint.isNull() || !FHintShowFull)
        return hint;
    return FHTMLHint ? GetDisplText() : PlainHint(GetText());
}

void THTMLabel::RepaintHoverRect(const TRect &r)
{
    if (r.Left == -1)
        return;
    // One pixel around it for the underline and focus frame at its edges.
    update(r.toQRect().adjusted(-1, -1, 1, 1));
}

void THTMLabel::mouseMoveEvent(QMouseEvent *event)
{
    QWidget::mouseMoveEvent(event);
    const QPoint pos = event->position().toPoint();
    TRect hr;
    const QString a = IsAnchor(pos.x(), pos.y(), hr);
    if (!a.isEmpty()) {
        if (Hover() && hr.Left != -1
            && (a != FAnchor || hr != FCurrHoverRect || FHoverHyperLink == -1))
            RepaintHoverRect(FCurrHoverRect);
        if (!HandCursor() || a != FAnchor || FOldHoverHyperLink != FHoverHyperLink) {
            if (AnchorHint())
                QToolTip::hideText();
            SetHandCursor(true);
            Q_EMIT OnAnchorEnter(a);
            if (Hover()) {
                if (hr.Left == -1)
                    update();
                else
                    RepaintHoverRect(FCurrHoverRect);
            }
        }
        FAnchor = a;
        FOldHoverHyperLink = FHoverHyperLink;
    } else if (HandCursor()) {
        SetHandCursor(false);
        Q_EMIT OnAnchorExit(QString());
        if (Hover()) {
            if (FCurrHoverRect.Left == -1)
                update();
            else
                RepaintHoverRect(FCurrHoverRect);
        }
    }
    FCurrHoverRect = hr;
    if (Hover())
        RepaintHoverRect(hr);
}

void THTMLabel::mousePressEvent(QMouseEvent *event)
{
    QWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    TRect hr;
    const QString a = IsAnchor(pos.x(), pos.y(), hr);
    if (!a.isEmpty())
        ClickAnchor(a);
}

void THTMLabel::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    Q_EMIT OnMouseEnter();
}

void THTMLabel::leaveEvent(QEvent *event)
{
    if (Hover() && FHoverHyperLink != -1)
        RepaintHoverRect(FCurrHoverRect);
    FHoverHyperLink = -1;
    QWidget::leaveEvent(event);
    Q_EMIT OnMouseLeave();
}
