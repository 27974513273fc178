#pragma once

#include <QToolButton>

class QMenu;

enum TToolStyle : quint8 { tsButton, tsDropDown };

// A tool button that can drop a menu down from an arrow at its right. It is made hidden and
// stays so until shown explicitly.
class TRzToolButton : public QToolButton
{
    Q_OBJECT

public:
    explicit TRzToolButton(QWidget *parent = nullptr);

    TToolStyle ToolStyle() const { return FToolStyle; }
    void SetToolStyle(TToolStyle value);
    QMenu *DropDownMenu() const { return menu(); }
    void SetDropDownMenu(QMenu *value) { setMenu(value); }

private:
    TToolStyle FToolStyle = tsButton;
};
