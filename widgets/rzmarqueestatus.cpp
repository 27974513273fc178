#include "widgets/rzmarqueestatus.h"

#include "widgets/captionstrip.h"

#include <QEvent>
#include <QPainter>

TRzMarqueeStatus::TRzMarqueeStatus(QWidget *parent)
    : TRzStatusPane(parent)
    , FStrip(new TCaptionStrip(this, [this](QPainter &painter, const QRect &dirty) {
        DrawMovingCaption(painter, dirty);
    }))
{
    PlaceStrip();
    connect(&FTimer, &QTimer::timeout, this, &TRzMarqueeStatus::TimerEventHandler);
    FTimer.setInterval(FScrollDelay);
}

void TRzMarqueeStatus::SetScrollType(TRzScrollType value)
{
    if (value == FScrollType)
        return;
    FScrollType = value;
    EnableTimer(value != stNone);
    // A caption that stands still is drawn by the pane itself.
    FStrip->setVisible(value != stNone);
    update();
}

void TRzMarqueeStatus::SetScrolling(bool value)
{
    if (value == FScrolling)
        return;
    FScrolling = value;
    EnableTimer(value);
    if (!value)
        FCurrentStep = 0;
    update();
}

void TRzMarqueeStatus::SetScrollSize(quint16 value)
{
    value = qMax<quint16>(1, value);
    if (value == FScrollSize)
        return;
    FScrollSize = value;
}

void TRzMarqueeStatus::SetScrollDelay(quint16 value)
{
    if (value == FScrollDelay)
        return;
    FScrollDelay = value;
    // An interval of 0 would tick on every pass of the event loop and keep a core busy.
    FTimer.setInterval(qMax<int>(1, value));
}

// What one tick changes: the band of the text's rows, from where the text stood to where it
// stands now. Every tick is copied to the screen, so the fewer pixels the better; the first
// step of a pass redraws the whole caption area.
QRect TRzMarqueeStatus::TickRect() const
{
    const QRect area = GetCaptionRect();
    if (FCurrentStep <= FScrollSize)
        return area;
    Measure();
    const int top = area.top() + (area.height() - fontMetrics().height()) / 2;
    const int left = area.left()
        + (FScrollType == stRightToLeft ? width() - FCurrentStep : FCurrentStep - FCaptionWidth);
    // The ink before this tick's move, in either direction, and after it.
    const QRect now = FCaptionInk.translated(left, top);
    return now.united(now.translated(FScrollType == stRightToLeft ? FScrollSize : -FScrollSize, 0))
        & area;
}

void TRzMarqueeStatus::TimerEventHandler()
{
    if (!FTimerEnabled || !isVisible())
        return;
    FCurrentStep += FScrollSize;
    // Only the strip is repainted, and only where the text was or is now; a tick that moves no
    // ink within the caption area paints nothing.
    const QRect dirty = TickRect();
    if (!dirty.isEmpty())
        FStrip->repaint(dirty.translated(-GetCaptionRect().topLeft()));
    if (FCurrentStep < Steps()) {
        ScrollDisplay();
    } else {
        FCurrentStep = 0;
        ScrollComplete();
    }
}

void TRzMarqueeStatus::EnableTimer(bool value)
{
    FTimerEnabled = value;
    UpdateTimer();
}

void TRzMarqueeStatus::UpdateTimer()
{
    if (FTimerEnabled && FShown)
        FTimer.start();
    else
        FTimer.stop();
}

// A hidden pane, or one in a minimised window (the window system hides it then), has nothing to
// move: its timer rests until it shows again, and the pass goes on from where it stood.
void TRzMarqueeStatus::showEvent(QShowEvent *event)
{
    FShown = true;
    UpdateTimer();
    TRzStatusPane::showEvent(event);
}

void TRzMarqueeStatus::hideEvent(QHideEvent *event)
{
    FShown = false;
    UpdateTimer();
    TRzStatusPane::hideEvent(event);
}

void TRzMarqueeStatus::ScrollDisplay()
{
    Q_EMIT OnScrollDisplay(FCurrentStep, Steps());
}

void TRzMarqueeStatus::ScrollComplete()
{
    Q_EMIT OnScrollComplete();
}

void TRzMarqueeStatus::DrawCaption(QPainter &painter, const QString &caption)
{
    // A moving caption is drawn on the strip that covers the caption area.
    if (FScrollType == stNone)
        TRzStatusPane::DrawCaption(painter, caption);
}

void TRzMarqueeStatus::DrawMovingCaption(QPainter &painter, const QRect &dirty)
{
    const QRect area = GetCaptionRect();
    painter.fillRect(dirty, FillColor());
    // A pass from the right starts with the text's left end at the pane's edge, beyond the strip:
    // nothing of it shows yet, and it need not be measured for the window's first paint.
    if (FScrollType == stRightToLeft && FCurrentStep == 0)
        return;
    Measure();
    painter.setFont(font());
    painter.setPen(FontColor());
    // Strip coordinates: the text is centred vertically; its left edge starts a pass at the
    // pane's width (right to left) or its right end starts at 0 (left to right).
    const int y = (area.height() - painter.fontMetrics().height()) / 2;
    const int x
        = FScrollType == stRightToLeft ? width() - FCurrentStep : FCurrentStep - FCaptionWidth;
    // Nothing of the text within the repainted part (a pass starts with the text beyond the
    // right edge): its picture is not drawn until it shows.
    const QRect ink = FCaptionInk.translated(x, y);
    if (!ink.intersects(dirty))
        return;
    const QPixmap &picture = CaptionPicture(Caption());
    if (picture.isNull())
        painter.drawStaticText(x, y, FStaticCaption);
    else
        painter.drawPixmap(ink.topLeft(), picture);
}

const QPixmap &TRzMarqueeStatus::CaptionPicture(const QString &caption)
{
    // The laid-out text and its picture are kept between ticks: shaping and drawing the glyphs
    // anew a hundred times a second would cost more than all the rest of a tick.
    const qreal ratio = devicePixelRatioF();
    if (FStaticCaption.text() == caption && FStaticFont == font() && FPictureFill == FillColor()
        && FPictureText == FontColor()
        && (FCaptionPicture.isNull() || FCaptionPicture.devicePixelRatio() == ratio))
        return FCaptionPicture;

    FStaticCaption.setTextFormat(Qt::PlainText);
    FStaticCaption.setText(caption);
    FStaticCaption.prepare(QTransform(), font());
    FStaticFont = font();
    FPictureFill = FillColor();
    FPictureText = FontColor();
    // Pictures wider than the raster engine draws are left to the glyph path.
    constexpr int MaxPictureWidth = 16384;
    const QSize pixels = FCaptionInk.size() * ratio;
    if (pixels.isEmpty() || pixels.width() > MaxPictureWidth) {
        FCaptionPicture = QPixmap();
        return FCaptionPicture;
    }
    FCaptionPicture = QPixmap(pixels);
    FCaptionPicture.setDevicePixelRatio(ratio);
    FCaptionPicture.fill(FPictureFill);
    QPainter canvas(&FCaptionPicture);
    canvas.setFont(FStaticFont);
    canvas.setPen(FPictureText);
    canvas.drawStaticText(-FCaptionInk.left(), -FCaptionInk.top(), FStaticCaption);
    return FCaptionPicture;
}

void TRzMarqueeStatus::CaptionChanged()
{
    CaptionMeasuresChanged();
    update();
}

void TRzMarqueeStatus::CaptionRectChanged()
{
    PlaceStrip();
}

void TRzMarqueeStatus::resizeEvent(QResizeEvent *event)
{
    PlaceStrip();
    TRzStatusPane::resizeEvent(event);
}

void TRzMarqueeStatus::PlaceStrip()
{
    FStrip->setGeometry(GetCaptionRect());
}

void TRzMarqueeStatus::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        CaptionMeasuresChanged();
        update();
    }
    TRzStatusPane::changeEvent(event);
}

int TRzMarqueeStatus::Steps() const
{
    Measure();
    return FCaptionWidth + width();
}

void TRzMarqueeStatus::Measure() const
{
    if (FMeasured)
        return;
    FMeasured = true;
    const QFontMetrics metrics = fontMetrics();
    FCaptionWidth = metrics.horizontalAdvance(Caption());
    // boundingRect() measures the ink from the baseline; one pixel more each side covers the
    // rounding of anti-aliased edges.
    const QRect ink = metrics.boundingRect(Caption()).translated(0, metrics.ascent());
    FCaptionInk = QRect(0, 0, FCaptionWidth, metrics.height()).united(ink.adjusted(-1, -1, 1, 1));
}
