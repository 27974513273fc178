#pragma once

#include <QLabel>

// A label painted on its parent's surface: no background of its own, one line, and with
// AutoSize its size follows its caption.
class TRzLabel : public QLabel
{
    Q_OBJECT

public:
    explicit TRzLabel(QWidget *parent = nullptr);

    QString Caption() const { return text(); }
    void SetCaption(const QString &value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);

private:
    bool FAutoSize = false;
};
