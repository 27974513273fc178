#include "htmltext/htmlcredit.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QToolTip>

namespace {

// The text is laid out down to here when it is hit-tested, so that every line can be reached
// however far the box has scrolled.
constexpr int HitTestBottom = 65535;
// The blink phase changes every this many ticks.
constexpr int BlinkTicks = 5;

} // namespace

THTMLCredit::THTMLCredit(QWidget *parent)
    : THTMLTextWidget(parent, 1)
{
    setFocusPolicy(Qt::StrongFocus);
    // The pixmap covers the whole box, so nothing needs erasing before it is copied.
    setAttribute(Qt::WA_OpaquePaintEvent);
    FTimer.setInterval(FScrollSpeed);
    connect(&FTimer, &QTimer::timeout, this, &THTMLCredit::TimerTick);
    resize(150, 100);
}

void THTMLCredit::SetAutoScroll(bool value)
{
    if (value == FAutoScroll)
        return;
    FAutoScroll = value;
    UpdateTimer();
}

void THTMLCredit::SetEnableBlink(bool value)
{
    if (value == FEnableBlink)
        return;
    FEnableBlink = value;
    UpdateTimer();
    // Blinking switched off leaves the blink text shown, not hidden in its off phase.
    if (!value && !FBlinking) {
        FBlinking = true;
        DoPaint();
    }
}

void THTMLCredit::SetScrollSpeed(int value)
{
    // An interval of 0 would tick on every pass of the event loop.
    if (value < 1 || value == FScrollSpeed)
        return;
    FScrollSpeed = value;
    FTimer.setInterval(value);
}

void THTMLCredit::UpdateTimer()
{
    const bool wanted = FAutoScroll || FEnableBlink;
    if (wanted && !FTimer.isActive())
        FTimer.start();
    else if (!wanted && FTimer.isActive())
        FTimer.stop();
}

void THTMLCredit::TimerTick()
{
    if (!FAutoScroll && !FEnableBlink)
        return;
    ++FTimerCount;
    // Each flag drives its own animation only: blinking alone never scrolls, and scrolling
    // alone never hides blink text.
    if (FAutoScroll) {
        // The text's height comes from rendering, which a hidden box has put off.
        if (FRenderPending)
            Render();
        if (FVOffset < FHTMLHeight)
            SetScrollPosition(FVOffset + FScrollStep);
        else if (FLoop)
            SetScrollPosition(-height());
    }
    if (FEnableBlink && FTimerCount % BlinkTicks == 0
        && GetDisplText().toUpper().contains(u"<BLINK")) {
        FBlinking = !FBlinking;
        DoPaint();
    }
}

void THTMLCredit::HTMLTextChanged()
{
    FHoverHyperLink = -1;
    FFocusHyperLink = -1;
}

TRect THTMLCredit::TextRect(THTMLCanvas &canvas, int scroll)
{
    TRect r{0, 0, width(), height()};
    if (AnyBevel())
        Shrink(r, BevelWidth());
    if (BorderStyle() == bsSingle)
        Shrink(r, BorderWidth());
    // One partly visible line more is laid out below the box.
    r.Bottom += canvas.textHeight();
    const int boxBottom = r.Bottom;
    ExtendForAutoSizing(r);
    r.Top -= scroll;

    const THTMLDrawParams p = BaseParams(r);
    const THTMLDrawResult full = HTMLMeasureHeight(canvas, p);
    FHTMLHeight = full.YSize;
    FHTMLWidth = full.XSize;
    if (VAlignment() != tvaTop) {
        const THTMLDrawResult measured = HTMLHitTest(canvas, p, -1, -1);
        // Aligned within the box itself, also while AutoSizing lets the text run further down.
        if (measured.YSize < height()) {
            if (VAlignment() == tvaCenter)
                r.Top += (boxBottom - r.Top - measured.YSize) / 2;
            else
                r.Top = boxBottom - measured.YSize;
        }
    }
    return r;
}

void THTMLCredit::Render()
{
    if (FUpdateCount > 0 || width() <= 0 || height() <= 0)
        return;
    FRenderPending = false;
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    if (FBitmap.size() != pixels)
        FBitmap = QPixmap(pixels);
    FBitmap.setDevicePixelRatio(ratio);
    FBitmap.fill(palette().color(backgroundRole()));

    THTMLDrawResult drawn;
    {
        QPainter painter(&FBitmap);
        painter.setFont(font());
        if (BorderStyle() == bsSingle && BorderWidth() > 0) {
            painter.setPen(
                QPen(Qt::black, BorderWidth(), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
            painter.setBrush(Qt::NoBrush);
            const qreal half = BorderWidth() / 2.0;
            painter.drawRect(QRectF(rect()).adjusted(half, half, -half, -half));
        }
        TPainterCanvas canvas(painter, palette());
        THTMLFont font = HTMLFont();
        canvas.setFont(font);
        canvas.setBrushColor(Color());

        const TRect r = TextRect(canvas, FVOffset);
        THTMLDrawParams p = BaseParams(r);
        p.FocusLink = hasFocus() ? FFocusHyperLink : -1;
        p.Blink = FBlinking;
        const QPoint mouse = mapFromGlobal(QCursor::pos());
        p.XPos = mouse.x();
        p.YPos = mouse.y();
        canvas.setClipRect(r);
        if (isEnabled()) {
            drawn = HTMLDraw(canvas, p);
        } else {
            // Engraved: a white copy one pixel right and down under the grey text.
            p.HoverColor = clNone;
            p.HoverFontColor = clNone;
            THTMLDrawParams light = p;
            light.fr = TRect{r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
            light.URLColor = clWhite;
            light.FImages = nullptr;
            font.color = clWhite;
            canvas.setFont(font);
            HTMLDraw(canvas, light);
            p.URLColor = clGray;
            font.color = clGray;
            canvas.setFont(font);
            drawn = HTMLDraw(canvas, p);
        }
        canvas.clearClip();
    }
    FNumHyperLinks = drawn.HyperLinks;
    FFocusAnchor = drawn.FocusAnchor;
    if (AutoSizing())
        ApplyAutoSize(drawn.XSize, drawn.YSize);
}

void THTMLCredit::DoPaint()
{
    // A hidden box draws nothing now: its first paint renders what it shows by then, so that the
    // settings of a window being built are laid out once, not once each.
    if (FUpdateCount > 0)
        return;
    if (!isVisible()) {
        FRenderPending = true;
        return;
    }
    Render();
    update();
}

void THTMLCredit::paintEvent(QPaintEvent *)
{
    if (FUpdateCount > 0)
        return;
    Render();
    if (FBitmap.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, FBitmap);
}

void THTMLCredit::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    DoPaint();
}

void THTMLCredit::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
    case QEvent::FontChange:
    case QEvent::PaletteChange:
        DoPaint();
        break;
    default:
        break;
    }
}

void THTMLCredit::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    if (FFocusHyperLink == -1)
        FFocusHyperLink = 0;
    DoPaint();
}

void THTMLCredit::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    DoPaint();
}

void THTMLCredit::MoveFocusLink(int step)
{
    DoPaint();
    if (FNumHyperLinks > 0) {
        if (step < 0)
            FFocusHyperLink = FFocusHyperLink <= 0 ? FNumHyperLinks - 1 : FFocusHyperLink - 1;
        else
            FFocusHyperLink = FFocusHyperLink >= FNumHyperLinks - 1 ? 0 : FFocusHyperLink + 1;
    }
    DoPaint();
}

void THTMLCredit::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        MoveFocusLink(-1);
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        MoveFocusLink(1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: {
        const QString anchor = FFocusAnchor;
        const QPointer<THTMLCredit> alive(this);
        Q_EMIT OnAnchorKeypress(anchor);
        if (alive)
            OpenShellTarget(anchor);
        break;
    }
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

QString THTMLCredit::IsAnchor(int x, int y, TRect &hoverrect)
{
    hoverrect = TRect{-1, -1, -1, -1};
    TMeasureCanvas measure(*this, HTMLFont());
    measure.canvas().setBrushColor(Color());
    TRect r = TextRect(measure.canvas(), 0);
    r.Bottom = HitTestBottom;
    const THTMLDrawResult hit = HTMLHitTest(measure.canvas(), BaseParams(r), x, y);
    if (!hit.Hit) {
        FHoverHyperLink = -1;
        return {};
    }
    FHoverHyperLink = hit.MouseLink;
    hoverrect = hit.HoverRect;
    return hit.AnchorVal;
}

QString THTMLCredit::AnchorAt(QPoint pos)
{
    TRect hoverrect;
    return IsAnchor(pos.x(), pos.y() + FVOffset, hoverrect);
}

void THTMLCredit::mouseMoveEvent(QMouseEvent *event)
{
    QWidget::mouseMoveEvent(event);
    const QPoint pos = event->position().toPoint();
    TRect hr;
    const QString a = IsAnchor(pos.x(), pos.y() + FVOffset, hr);
    if (!a.isEmpty()) {
        if (hr.Left == -1)
            DoPaint();
        FFocusHyperLink = -1;
        if (Hover()
            && (a != FAnchor || hr != FCurrHoverRect || FHoverHyperLink == -1
                || FOldHoverHyperLink != FHoverHyperLink))
            update();
        if (!HandCursor() || a != FAnchor) {
            FAnchor = a;
            if (AnchorHint())
                QToolTip::hideText();
            SetHandCursor(true);
            Q_EMIT OnAnchorEnter(a);
            if (Hover() && hr.Left != -1)
                update();
            FOldHoverHyperLink = FHoverHyperLink;
            FCurrHoverRect = hr;
        }
    } else if (HandCursor()) {
        SetHandCursor(false);
        FFocusHyperLink = -1;
        if (Hover()) {
            FHoverHyperLink = -1;
            DoPaint();
        }
        Q_EMIT OnAnchorExit(QString());
    }
}

void THTMLCredit::mousePressEvent(QMouseEvent *event)
{
    QWidget::mousePressEvent(event);
    const QPoint pos = event->position().toPoint();
    TRect hr;
    const QString a = IsAnchor(pos.x(), pos.y() + FVOffset, hr);
    if (!a.isEmpty())
        ClickAnchor(a);
}

void THTMLCredit::enterEvent(QEnterEvent *event)
{
    const QPoint pos = event->position().toPoint();
    TRect hr;
    const QString a = IsAnchor(pos.x(), pos.y() + FVOffset, hr);
    if (!a.isEmpty() && (!HandCursor() || a != FAnchor)) {
        FAnchor = a;
        if (AnchorHint())
            QToolTip::hideText();
        SetHandCursor(true);
        Q_EMIT OnAnchorEnter(a);
        if (Hover())
            DoPaint();
        FCurrHoverRect = hr;
    }
    QWidget::enterEvent(event);
    Q_EMIT OnMouseEnter();
}

void THTMLCredit::leaveEvent(QEvent *event)
{
    if (FHoverHyperLink >= 0) {
        FHoverHyperLink = -1;
        if (Hover())
            update();
    }
    QWidget::leaveEvent(event);
    Q_EMIT OnMouseLeave();
}
