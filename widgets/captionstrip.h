#pragma once

#include <QWidget>

#include <functional>

// An opaque child that paints a part of its parent through a function, with the dirty rectangle
// in its own coordinates. Because it is opaque, repainting it leaves its parent and the window
// behind untouched; mouse events pass through to the parent.
class TCaptionStrip : public QWidget
{
    Q_OBJECT

public:
    using TPaint = std::function<void(QPainter &painter, const QRect &dirty)>;

    TCaptionStrip(QWidget *parent, TPaint paint);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TPaint FPaint;
};
