#pragma once

#include "htmltext/htmltextwidget.h"

#include <QPixmap>
#include <QTimer>

// A box showing formatted text like film credits: painted in one piece from an off-screen
// pixmap, its links clickable with any button and reachable with the arrow keys. With AutoScroll
// a timer moves the text up ScrollStep pixels per tick; with EnableBlink it makes <BLINK> text
// blink.
class THTMLCredit : public THTMLTextWidget
{
    Q_OBJECT

public:
    explicit THTMLCredit(QWidget *parent = nullptr);

    // Pixels the text is moved up; negative while it comes in from the bottom edge.
    int ScrollPosition() const { return FVOffset; }
    void SetScrollPosition(int value) { setVisual(FVOffset, value); }
    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool value);
    bool EnableBlink() const { return FEnableBlink; }
    void SetEnableBlink(bool value);
    bool Loop() const { return FLoop; }
    void SetLoop(bool value) { FLoop = value; }
    int ScrollStep() const { return FScrollStep; }
    void SetScrollStep(int value) { FScrollStep = value; }
    // Milliseconds between ticks; values below 1 are ignored.
    int ScrollSpeed() const { return FScrollSpeed; }
    void SetScrollSpeed(int value);

    const QTimer &Timer() const { return FTimer; }
    // One tick of the timer: scrolls with AutoScroll, switches the blink phase every fifth tick
    // with EnableBlink. The timer calls it; tests may call it directly.
    void TimerTick();
    int TimerCount() const { return FTimerCount; }
    // The current blink phase: true while <BLINK> text is shown.
    bool Blinking() const { return FBlinking; }

    // 0-based link with the keyboard focus (-1 for none), its target and the number of links,
    // from the last paint.
    int FocusHyperLink() const { return FFocusHyperLink; }
    const QString &FocusAnchor() const { return FFocusAnchor; }
    int NumHyperLinks() const { return FNumHyperLinks; }
    // Full size of the text from the last paint.
    int HTMLWidth() const { return FHTMLWidth; }
    int HTMLHeight() const { return FHTMLHeight; }

    // The link target under (x, y) of the unscrolled text (add ScrollPosition to a point of the
    // box), empty when none; hoverrect gets the link's area.
    QString IsAnchor(int x, int y, TRect &hoverrect);

    // Renders the box into its pixmap now and shows it; a hidden box waits for its first paint.
    void DoPaint();

Q_SIGNALS:
    // Enter or Space on the focused link.
    void OnAnchorKeypress(const QString &anchor);

protected:
    void Repaint() override { DoPaint(); }
    QString AnchorAt(QPoint pos) override;
    void HTMLTextChanged() override;

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    // Where the text is laid out, moved up by scroll; also measures its full size.
    TRect TextRect(THTMLCanvas &canvas, int scroll);
    void Render();
    void UpdateTimer();
    void MoveFocusLink(int step);

    QPixmap FBitmap;
    bool FRenderPending = false; // changed while hidden, not rendered since
    QTimer FTimer;
    bool FAutoScroll = false;
    bool FEnableBlink = false;
    bool FLoop = false;
    bool FBlinking = true;
    int FScrollStep = 4;
    int FScrollSpeed = 100;
    int FTimerCount = 0;
    int FVOffset = 0;
    int FFocusHyperLink = -1;
    QString FFocusAnchor;
    int FNumHyperLinks = 0;
    int FHTMLWidth = 0;
    int FHTMLHeight = 0;
};
