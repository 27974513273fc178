#include "widgets/rzlabel.h"

TRzLabel::TRzLabel(QWidget *parent)
    : QLabel(parent)
{
    setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
}

void TRzLabel::SetCaption(const QString &value)
{
    if (value == text())
        return;
    setText(value);
    if (FAutoSize)
        adjustSize();
}

void TRzLabel::SetAutoSize(bool value)
{
    if (value == FAutoSize)
        return;
    FAutoSize = value;
    if (FAutoSize)
        adjustSize();
}
