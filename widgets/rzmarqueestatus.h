#pragma once

#include "widgets/rzstatuspane.h"

class TCaptionStrip;

#include <QStaticText>

#include <QPixmap>
#include <QTimer>

enum TRzScrollType : quint8 { stNone, stRightToLeft, stLeftToRight };

// A status pane whose caption scrolls through the caption area, one pass after another. A pass
// runs CurrentStep from 0 to Steps() in steps of ScrollSize, one step per timer tick; each tick
// redraws only what the text moved through, on an opaque strip over the caption area, so that
// neither the frame nor the window behind the pane is painted again. A new caption continues
// from the step the old one reached.
class TRzMarqueeStatus : public TRzStatusPane
{
    Q_OBJECT

public:
    explicit TRzMarqueeStatus(QWidget *parent = nullptr);

    TRzScrollType ScrollType() const { return FScrollType; }
    void SetScrollType(TRzScrollType value);
    bool Scrolling() const { return FScrolling; }
    virtual void SetScrolling(bool value);
    int ScrollSize() const { return FScrollSize; }
    // 0 is stored as 1.
    virtual void SetScrollSize(quint16 value);
    int ScrollDelay() const { return FScrollDelay; }
    void SetScrollDelay(quint16 value);

    // Steps of a pass: the caption's width in the pane's font plus the pane's width.
    int Steps() const;
    int CurrentStep() const { return FCurrentStep; }
    // Whether the text scrolls; the timer itself runs only while the pane is shown.
    bool TimerEnabled() const { return FTimerEnabled; }
    const QTimer &Timer() const { return FTimer; }

    // One step of the pass; the timer calls it, tests may call it directly. Does nothing while
    // scrolling is off or the pane is hidden.
    void TimerEventHandler();

Q_SIGNALS:
    // After each tick that does not end a pass.
    void OnScrollDisplay(int currentStep, int totalSteps);
    // When a pass ends; the next tick starts the next pass.
    void OnScrollComplete();

protected:
    virtual void ScrollDisplay();
    virtual void ScrollComplete();
    void DrawCaption(QPainter &painter, const QString &caption) override;
    void CaptionChanged() override;
    void CaptionRectChanged() override;

    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QRect TickRect() const;
    // Paints the moving caption on the strip; dirty is in the strip's coordinates.
    void DrawMovingCaption(QPainter &painter, const QRect &dirty);
    void PlaceStrip();
    void EnableTimer(bool value);
    void UpdateTimer();
    // The caption is measured when a tick or a paint that shows it first needs its size, not when
    // it or the font is set: a window being built sets both before its first paint, where a pass
    // starts with the text still beyond the edge.
    void CaptionMeasuresChanged() { FMeasured = false; }
    void Measure() const;
    // The caption drawn once on the fill colour, so that a tick copies pixels instead of
    // drawing glyphs; null when the caption is too wide for a picture.
    const QPixmap &CaptionPicture(const QString &caption);

    TRzScrollType FScrollType = stRightToLeft;
    bool FScrolling = true;
    mutable bool FMeasured = false;
    mutable int FCaptionWidth = 0;
    // The caption's ink around its text position (left end, top of the line); it covers at
    // least the advance width and the line height, and more where glyphs overhang.
    mutable QRect FCaptionInk;
    quint16 FScrollDelay = 100;
    quint16 FScrollSize = 1;
    TCaptionStrip *FStrip = nullptr;
    QStaticText FStaticCaption; // the caption laid out once for all ticks
    QFont FStaticFont;
    QPixmap FCaptionPicture;
    QColor FPictureFill; // the colours and the scale the picture was drawn with
    QColor FPictureText;
    QTimer FTimer;
    bool FTimerEnabled = true;
    bool FShown = false;
    int FCurrentStep = 0;
};
