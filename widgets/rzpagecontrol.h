#pragma once

#include <QTabWidget>

// A page of a TRzPageControl, filled with its own colour.
class TRzTabSheet : public QWidget
{
    Q_OBJECT

public:
    explicit TRzTabSheet(QWidget *parent = nullptr);

    QColor Color() const;
    void SetColor(const QColor &value);
};

// A page container whose tabs show over the parent's background: only the tab and the page
// are drawn, the rest of its area stays transparent. The active tab has its page's colour, so
// that tab and page read as one sheet.
class TRzPageControl : public QTabWidget
{
    Q_OBJECT

public:
    explicit TRzPageControl(QWidget *parent = nullptr);

    // Adds a page and makes it active when it is the first.
    TRzTabSheet *AddSheet(const QString &caption);
    void SetCaption(TRzTabSheet *sheet, const QString &caption);
    int TabHeight() const { return FTabHeight; }
    void SetTabHeight(int value);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void UpdateTabLook();

    int FTabHeight = 19;
};
