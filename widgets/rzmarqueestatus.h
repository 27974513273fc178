#pragma once

#include "widgets/rzstatuspane.h"

#include <QStaticText>

#include <QPixmap>
#include <QTimer>

enum TRzScrollType : quint8 { stNone, stRightToLeft, stLeftToRight };

// A status pane whose caption scrolls through the caption area, one pass after another. A pass
// runs CurrentStep from 0 to Steps() in steps of ScrollSize, one step per timer tick; each tick
// redraws only the caption area. A new caption continues from the step the old one reached.
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
    int Steps() const { return FCaptionWidth + width(); }
    int CurrentStep() const { return FCurrentStep; }
    const QTimer &Timer() const { return FTimer; }

    // One step of the pass; the timer calls it, tests may call it directly. Does nothing while
    // the timer is stopped or the pane is hidden.
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

    void changeEvent(QEvent *event) override;

private:
    QRect TickRect() const;
    void UpdateSteps();
    // The caption drawn once on the fill colour, so that a tick copies pixels instead of
    // drawing glyphs; null when the caption is too wide for a picture.
    const QPixmap &CaptionPicture(const QString &caption);

    TRzScrollType FScrollType = stRightToLeft;
    bool FScrolling = true;
    int FCaptionWidth = 0; // measured when the caption or the font changes
    // The caption's ink around its text position (left end, top of the line); it covers at
    // least the advance width and the line height, and more where glyphs overhang.
    QRect FCaptionInk;
    quint16 FScrollDelay = 100;
    quint16 FScrollSize = 1;
    QPixmap FBitmap;
    QStaticText FStaticCaption; // the caption laid out once for all ticks
    QFont FStaticFont;
    QPixmap FCaptionPicture;
    QColor FPictureFill; // the colours and the scale the picture was drawn with
    QColor FPictureText;
    QTimer FTimer;
    int FCurrentStep = 0;
};
