#include "widgets/rztoolbutton.h"

TRzToolButton::TRzToolButton(QWidget *parent)
    : QToolButton(parent)
{
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void TRzToolButton::SetToolStyle(TToolStyle value)
{
    if (value == FToolStyle)
        return;
    FToolStyle = value;
    setPopupMode(value == tsDropDown ? QToolButton::MenuButtonPopup : QToolButton::DelayedPopup);
}
