#include "widgets/rzpagecontrol.h"

#include <QTabBar>

TRzTabSheet::TRzTabSheet(QWidget *parent)
    : QWidget(parent)
{
    setAutoFillBackground(true);
}

QColor TRzTabSheet::Color() const
{
    return palette().color(QPalette::Window);
}

void TRzTabSheet::SetColor(const QColor &value)
{
    if (value == Color())
        return;
    QPalette colours = palette();
    colours.setColor(QPalette::Window, value);
    setPalette(colours);
}

TRzPageControl::TRzPageControl(QWidget *parent)
    : QTabWidget(parent)
{
    setAutoFillBackground(false);
    tabBar()->setDrawBase(false);
    SetTabHeight(19);
}

TRzTabSheet *TRzPageControl::AddSheet(const QString &caption)
{
    auto *sheet = new TRzTabSheet(this);
    addTab(sheet, caption);
    return sheet;
}

void TRzPageControl::SetCaption(TRzTabSheet *sheet, const QString &caption)
{
    setTabText(indexOf(sheet), caption);
}

void TRzPageControl::SetTabHeight(int value)
{
    FTabHeight = value;
    tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { height: %1px; }").arg(value));
}
