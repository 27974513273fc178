#include "widgets/rzmarqueestatus.h"

#include <QEvent>
#include <QPainter>

TRzMarqueeStatus::TRzMarqueeStatus(QWidget *parent)
    : TRzStatusPane(parent)
{
    connect(&FTimer, &QTimer::timeout, this, &TRzMarqueeStatus::TimerEventHandler);
    FTimer.setInterval(FScrollDelay);
    FTimer.start();
}

void TRzMarqueeStatus::SetScrollType(TRzScrollType value)
{
    if (value == FScrollType)
        return;
    FScrollType = value;
    if (value != stNone)
        FTimer.start();
    else
        FTimer.stop();
    update();
}

void TRzMarqueeStatus::SetScrolling(bool value)
{
    if (value == FScrolling)
        return;
    FScrolling = value;
    if (value) {
        FTimer.start();
    } else {
        FTimer.stop();
        FCurrentStep = 0;
    }
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
    const int textHeight = fontMetrics().height();
    const int top = area.top() + (area.height() - textHeight) / 2;
    const int left = area.left()
        + (FScrollType == stRightToLeft ? width() - FCurrentStep
                                        : FCurrentStep - FCaptionWidth - FScrollSize);
    return QRect(left, top, FCaptionWidth + FScrollSize + 1, textHeight) & area;
}

void TRzMarqueeStatus::TimerEventHandler()
{
    if (!FTimer.isActive() || !isVisible())
        return;
    FCurrentStep += FScrollSize;
    repaint(TickRect());
    if (FCurrentStep < Steps()) {
        ScrollDisplay();
    } else {
        FCurrentStep = 0;
        ScrollComplete();
    }
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
    if (FScrollType == stNone) {
        TRzStatusPane::DrawCaption(painter, caption);
        return;
    }
    const QRect area = GetCaptionRect();
    if (area.isEmpty())
        return;
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = area.size() * ratio;
    if (FBitmap.size() != pixels)
        FBitmap = QPixmap(pixels);
    FBitmap.setDevicePixelRatio(ratio);
    FBitmap.fill(FillColor());

    QPainter canvas(&FBitmap);
    canvas.setFont(font());
    canvas.setPen(FontColor());
    const QFontMetrics metrics = canvas.fontMetrics();
    // Bitmap coordinates: the text is centred vertically; its left edge starts a pass at the
    // pane's width (right to left) or its right end starts at 0 (left to right).
    const int y = (area.height() - metrics.height()) / 2;
    const int x
        = FScrollType == stRightToLeft ? width() - FCurrentStep : FCurrentStep - FCaptionWidth;
    // The laid-out text is kept between ticks: shaping it anew a hundred times a second would
    // cost more than all the rest of a tick.
    if (FStaticCaption.text() != caption || FStaticFont != canvas.font()) {
        FStaticCaption.setTextFormat(Qt::PlainText);
        FStaticCaption.setText(caption);
        FStaticCaption.prepare(QTransform(), canvas.font());
        FStaticFont = canvas.font();
    }
    canvas.drawStaticText(x, y, FStaticCaption);
    canvas.end();
    painter.drawPixmap(area.topLeft(), FBitmap);
}

void TRzMarqueeStatus::CaptionChanged()
{
    UpdateSteps();
    update();
}

void TRzMarqueeStatus::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        UpdateSteps();
        update();
    }
    TRzStatusPane::changeEvent(event);
}

void TRzMarqueeStatus::UpdateSteps()
{
    FCaptionWidth = fontMetrics().horizontalAdvance(Caption());
}
