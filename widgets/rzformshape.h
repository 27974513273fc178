#pragma once

#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QRegion>
#include <QWidget>

#include "widgets/scalablepicture.h"

// A picture that fills its window and gives the window its outline: the window loses its frame
// when the shape is made, and at its first show its region is cut to the picture's opaque
// pixels (those whose colour differs from the bottom-left pixel's). A press of any mouse button
// on the picture drags the window.
//
// On a screen with more than one device pixel per logical pixel the picture is drawn for that
// ratio, and the window system gets the outline in device pixels, scanned from the picture as
// drawn, so the corners stay smooth instead of growing in steps of whole logical pixels.
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
    const QImage &Picture() const { return FPicture.Normal(); }
    void SetPicture(const TScalablePicture &value);
    // The picture as drawn now, in device pixels.
    const QImage &ShownPicture() const { return FShown; }
    // The outline in the window's device pixels, as last given to the window system.
    const QRegion &DeviceRegion() const { return FDeviceRegion; }

    // Applies the window region unless it has been applied already.
    void InitRegion();
    // Computes the region anew and applies it at once.
    void RecreateRegion();
    // Rectangles of the bitmap's opaque runs, row by row; empty when Transparent is off or no
    // pixel is opaque.
    virtual QRegion GetRegionFromBitmap(const QImage &bitmap) const;

    QSize sizeHint() const override { return FPicture.Size(); }

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
    static QImage WorkingBitmap(const QImage &picture);
    void UpdateDisplayed();
    const QPixmap &Displayed();
    void ApplyDeviceRegion();
    void FollowPixelRatio();
    void StartDrag(const QMouseEvent *event);

    bool FAllowFormDrag = true;
    bool FInitializedRegion = false;
    bool FTransparent = true;
    TScalablePicture FPicture;
    QImage FShown; // the picture for the device pixel ratio below
    qreal FShownRatio = 1.0;
    QPixmap FDisplayed; // the shown picture with its key colour made transparent
    // The outline of the shown picture when that is the opaque picture at its own size, else
    // empty.
    QRegion FShownOutline;
    QRegion FDeviceRegion;
    // Pointer tracking when the window system does not move the window itself.
    Qt::MouseButton FDragButton = Qt::NoButton;
    QPoint FDragStart;
    QPoint FFormStart;
};
