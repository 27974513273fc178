#pragma once

#include <QLabel>

#include "widgets/scalablepicture.h"

// A picture on its parent's surface, drawn with its alpha channel for the screen's device pixel
// ratio, sized to the picture; a left click on it emits clicked(). Given the keyboard focus, it
// shows the focus mark, and Space, Return or Enter click it; assistive technology sees a link.
class TImage : public QLabel
{
    Q_OBJECT

public:
    explicit TImage(QWidget *parent = nullptr);

    void SetPicture(const TScalablePicture &picture);

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void ShowForRatio();

    TScalablePicture FPicture;
    qreal FPictureRatio = 0.0;
    bool FPressed = false;
};
