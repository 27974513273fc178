#include "widgets/rzpagecontrol.h"

#include <QEvent>
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
    connect(this, &QTabWidget::currentChanged, this, &TRzPageControl::UpdateTabLook);
}

TRzTabSheet *TRzPageControl::AddSheet(const QString &caption)
{
    auto *sheet = new TRzTabSheet(this);
    sheet->installEventFilter(this);
    addTab(sheet, caption);
    return sheet;
}

bool TRzPageControl::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == currentWidget() && event->type() == QEvent::PaletteChange)
        UpdateTabLook();
    return QTabWidget::eventFilter(watched, event);
}

// The tabs in the page's colour with a frame of its darker shade; the others a little darker.
void TRzPageControl::UpdateTabLook()
{
    const auto *sheet = qobject_cast<const TRzTabSheet *>(currentWidget());
    const QColor page = sheet ? sheet->Color() : palette().color(QPalette::Window);
    tabBar()->setStyleSheet(
        QStringLiteral("QTabBar::tab { height: %1px; padding: 0 8px; color: %2;"
                       " background: %3; border: 1px solid %4; border-bottom: none;"
                       " border-top-left-radius: 3px; border-top-right-radius: 3px; }"
                       " QTabBar::tab:selected { background: %5; }")
            .arg(FTabHeight)
            .arg(palette().color(QPalette::WindowText).name(), page.darker(110).name(),
                 page.darker(160).name(), page.name()));
}

void TRzPageControl::SetCaption(TRzTabSheet *sheet, const QString &caption)
{
    setTabText(indexOf(sheet), caption);
}

void TRzPageControl::SetTabHeight(int value)
{
    FTabHeight = value;
    UpdateTabLook();
}
