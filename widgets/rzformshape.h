#pragma once

#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QRegion>
#include <QWidget>

// A picture that fills its window and gives the window its outline: the window loses its frame
// when the shape is made, and at its first show its region is cut to the picture's opaque
// pixels (those whose colour differs from the bottom-left pixel's). A press of any mouse button
// on the picture drags the window.
class TRzFormShape : public QWidget
{
    Q_OBJECT

public:
    // The parent is the window; without one the shape is a window of its own.
    explicit TRzFormShape(QWidget *parent = nullptr);

    bool AllowFormDrag() const { return FAllowFormDrag; }
    void SetAllowFormDrag(bool value) { FAllowFormDrag = value; }
    // With Transparent set the key-coloured pixels are neither drawn nor part of the region.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    const QImage &Picture() const { return FPicture; }
    void SetPicture(const QImage &value);

    // Applies the window region unless it has been applied already.
    void InitRegion();
    // Computes the region anew and applies it at once.
    void RecreateRegion();
    // Rectangles of the bitmap's opaque runs, row by row; empty when Transparent is off or no
    // pixel is opaque.
    virtual QRegion GetRegionFromBitmap(const QImage &bitmap) const;

    QSize sizeHint() const override { return FPicture.size(); }

Q_SIGNALS:
    // The window is being shown; its region is in place.
    void OnFormShow();
    // Every press on the picture, before a drag starts.
    void OnMouseDown(Qt::MouseButton button, const QPoint &position);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QWidget *Form() const { return window(); }
    QImage WorkingBitmap() const;
    void UpdateDisplayed();
    void StartDrag(const QMouseEvent *event);

    bool FAllowFormDrag = true;
    bool FInitializedRegion = false;
    bool FTransparent = true;
    QImage FPicture;
    QPixmap FDisplayed; // the picture with its key colour made transparent
    // Pointer tracking when the window system does not move the window itself.
    Qt::MouseButton FDragButton = Qt::NoButton;
    QPoint FDragStart;
    QPoint FFormStart;
};
