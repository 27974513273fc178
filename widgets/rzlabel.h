#pragma once

#include <QLabel>

// A label painted on its parent's surface: no background of its own, one line, and with
// AutoSize its size follows its caption. Without it, a caption too wide for the label is cut
// after its last whole word that fits, and "…" shows the cut.
class TRzLabel : public QLabel
{
    Q_OBJECT

public:
    explicit TRzLabel(QWidget *parent = nullptr);

    QString Caption() const { return text(); }
    void SetCaption(const QString &value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    // The caption as drawn: whole, or cut at a word with "…".
    QString ShownText() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool FAutoSize = false;
};
