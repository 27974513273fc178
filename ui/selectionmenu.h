#pragma once

#include <QMenu>

class TRzCheckTree;
struct TSceneryState;

// The context menu of the object tree: check every object and group, uncheck them, take the
// states from before the last Apply, or the states the scenery was shipped with. Each entry
// only changes the tree, so that the user sees the result first; Apply carries it out as any
// other change. Undo is disabled while the control file holds nothing to undo.
class TSelectionMenu : public QMenu
{
    Q_OBJECT

public:
    TSelectionMenu(TRzCheckTree &tree, TSceneryState &state, QWidget *parent);

    void SetLanguage(int language);

    QAction *SelectAll = nullptr;
    QAction *SelectNone = nullptr;
    QAction *UndoLastApply = nullptr;
    QAction *ShippedState = nullptr;

private:
    void Open(const QPoint &position);

    TRzCheckTree &FTree;
    TSceneryState &FState;
};
