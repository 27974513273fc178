#pragma once

#include "htmltext/htmltextwidget.h"

enum TGradientType : quint8 {
    gtFullHorizontal,
    gtFullVertical,
    gtBottomLine,
    gtCenterLine,
    gtTopLine
};

// A light-weight label showing formatted text over an optional plain or gradient background
// with bevels and a border; links in it are clickable. Transparent by default: it paints over
// its parent's background.
class THTMLabel : public THTMLTextWidget
{
    Q_OBJECT

public:
    explicit THTMLabel(QWidget *parent = nullptr);

    // The lines of value become one line, carriage returns and line feeds removed.
    void SetHTMLText(const QStringList &value) override;

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor value) { setVisual(FColorTo, value); }
    TGradientType GradientType() const { return FGradientType; }
    void SetGradientType(TGradientType value) { setVisual(FGradientType, value); }
    int LineWidth() const { return FLineWidth; }
    void SetLineWidth(int value) { setVisual(FLineWidth, qMax(0, value)); }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor value) { setVisual(FBorderColor, value); }

    bool HTMLHint() const { return FHTMLHint; }
    void SetHTMLHint(bool value) { FHTMLHint = value; }
    bool HintShowFull() const { return FHintShowFull; }
    void SetHintShowFull(bool value) { FHintShowFull = value; }

    // Text size from the last paint.
    int XSize() const { return FXSize; }
    int YSize() const { return FYSize; }
    // The text size laid out in 4096 pixels, or in maxWidth, without drawing.
    QSize GetSize() { return GetSizeWithMaxWidth(4096); }
    QSize GetSizeWithMaxWidth(int maxWidth);

    // The link target under (x, y), empty when none; hoverrect gets the link's area.
    QString IsAnchor(int x, int y, TRect &hoverrect);

protected:
    void Repaint() override { update(); }
    QString AnchorAt(QPoint pos) override;
    QString HintAt(QPoint pos) override;
    void HTMLTextChanged() override;

    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    bool SingleBorder() const;
    // Border widths of the single outline outside the text area: left/top, right/bottom.
    int BorderB1() const;
    int BorderB2() const;
    // The client rectangle inside the bevels, the border frame and the outline.
    TRect FrameRect() const;
    // Where the text is laid out, for painting and hit-testing alike.
    TRect TextRect(THTMLCanvas &canvas, bool autoSize);
    void PaintBackground(QPainter &painter, TPainterCanvas &canvas);
    void PaintFrames(QPainter &painter);
    void RepaintHoverRect(const TRect &r);

    bool FTransparent = true;
    TColor FColorTo = clNone;
    TGradientType FGradientType = gtFullHorizontal;
    int FLineWidth = 2;
    TColor FBorderColor = clBlack;
    bool FHTMLHint = false;
    bool FHintShowFull = false;
    int FXSize = 0;
    int FYSize = 0;
};
