#include "ui/selectionmenu.h"

#include "config/inifile.h"
#include "config/languagetexts.h"
#include "config/scenerychoices.h"
#include "config/scenerystate.h"
#include "config/staterecords.h"
#include "widgets/rzchecktree.h"

TSelectionMenu::TSelectionMenu(TRzCheckTree &tree, TSceneryState &state, QWidget *parent)
    : QMenu(parent)
    , FTree(tree)
    , FState(state)
{
    setObjectName(QStringLiteral("SelectionMenu"));
    SelectAll = addAction(QString(), this, [this] { SceneryChoices::SetAll(FTree.Items(), true); });
    SelectNone
        = addAction(QString(), this, [this] { SceneryChoices::SetAll(FTree.Items(), false); });
    addSeparator();
    UndoLastApply
        = addAction(QString(), this, [this] { LoadRecordedStates(FState, FTree.Items(), true); });
    ShippedState
        = addAction(QString(), this, [this] { LoadRecordedStates(FState, FTree.Items(), false); });
    SetLanguage(lgGerman);

    // A right click asks for it, and the keyboard's menu key where the window system sends it.
    FTree.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&FTree, &QWidget::customContextMenuRequested, this, &TSelectionMenu::Open);
}

void TSelectionMenu::SetLanguage(int language)
{
    const TSelectionMenuTexts texts = SelectionMenuTexts(language);
    SelectAll->setText(texts.SelectAll);
    SelectNone->setText(texts.SelectNone);
    UndoLastApply->setText(texts.UndoLastApply);
    ShippedState->setText(texts.ShippedState);
}

void TSelectionMenu::Open(const QPoint &position)
{
    // Read when the menu opens: another program may have applied meanwhile.
    UndoLastApply->setEnabled(TStateRecords::CanUndo(TIniFile(FState.Scenery)));
    popup(FTree.viewport()->mapToGlobal(position));
}
