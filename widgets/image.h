#pragma once

#include <QLabel>

// A picture on its parent's surface, drawn with its alpha channel, sized to the picture;
// a left click on it emits clicked().
class TImage : public QLabel
{
    Q_OBJECT

public:
    explicit TImage(QWidget *parent = nullptr);

    void SetPicture(const QPixmap &picture);

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool FPressed = false;
};
