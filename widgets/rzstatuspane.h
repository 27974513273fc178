#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

class QPainter;

enum TFrameStyle : quint8 {
    fsNone,
    fsFlat,
    fsGroove,
    fsBump,
    fsLowered,
    fsButtonDown,
    fsRaised,
    fsButtonUp,
    fsStatus,
    fsPopup,
    fsFlatBold
};

// A pane of a status line: a frame inside a border margin around a caption area filled with
// FillColor. The pane paints only its own rectangle; with Transparent set the border margin is
// left unpainted, so the parent shows through it. Text is drawn in the palette's WindowText.
class TRzStatusPane : public QWidget
{
    Q_OBJECT

public:
    explicit TRzStatusPane(QWidget *parent = nullptr);

    // Width of the frame lines drawn by a style: 0, 1 or 2 pixels.
    static int FrameThickness(TFrameStyle style);

    QString Caption() const { return FCaption; }
    void SetCaption(const QString &value);
    TFrameStyle FrameStyle() const { return FFrameStyle; }
    void SetFrameStyle(TFrameStyle value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    // While ParentFillColor is set the fill follows the pane's own background colour (Color).
    QColor FillColor() const;
    void SetFillColor(const QColor &value);
    bool ParentFillColor() const { return FParentFillColor; }
    void SetParentFillColor(bool value);
    QColor Color() const;
    QColor FontColor() const;
    void SetFontColor(const QColor &value);

    // The client rectangle shrunk by the border margin and the frame.
    virtual QRect GetCaptionRect() const;

    QSize sizeHint() const override { return {100, 20}; }

Q_SIGNALS:
    void clicked();

protected:
    virtual void DrawStatusBorder(QPainter &painter);
    // Draws the caption statically, left-aligned and vertically centred in the caption area.
    virtual void DrawCaption(QPainter &painter, const QString &caption);
    // Runs after the caption has been replaced.
    virtual void CaptionChanged() { }
    // Runs after the frame style or the border width has moved the caption area.
    virtual void CaptionRectChanged() { }

    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QString FCaption;
    TFrameStyle FFrameStyle = fsFlat;
    int FBorderWidth = 1;
    bool FTransparent = true;
    QColor FFillColor;
    bool FParentFillColor = true;
    bool FPressed = false;
};
