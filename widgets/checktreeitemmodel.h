#pragma once

#include "checkstate/checktreemodel.h"

#include <QAbstractItemModel>
#include <QHash>

// Shows the nodes of a TCheckTreeModel to Qt's item views, one column, reading the nodes and
// their states where they live. The states of a cascade reach the views together, as one
// changed range of rows per parent; a bulk update that changes the structure (a load) reaches
// them as one reset.
class TCheckTreeItemModel : public QAbstractItemModel, private TCheckTreeObserver
{
    Q_OBJECT

public:
    // The check state as its image index: a node still without a state shows unchecked.
    static constexpr int StateIndexRole = Qt::UserRole + 1;

    explicit TCheckTreeItemModel(TCheckTreeModel &tree, QObject *parent = nullptr);
    ~TCheckTreeItemModel() override;

    static TCheckTreeNode *NodeOf(const QModelIndex &index);
    QModelIndex IndexOf(const TCheckTreeNode *node) const;
    // The image index a state index shows.
    static int ShownStateIndex(int stateIndex)
    {
        return stateIndex == -1 ? csUnchecked : stateIndex;
    }

    // What assistive technology says of a partly checked node.
    QString MixedStateDescription() const { return FMixedStateDescription; }
    void SetMixedStateDescription(const QString &value);

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    void NodeAdding(TCheckTreeNode *parent, int index) override;
    void NodeAdded(TCheckTreeNode *node) override;
    void NodeRemoving(TCheckTreeNode *node) override;
    void NodeRemoved() override;
    void NodesClearing() override;
    void NodesCleared() override;
    void NodeTextChanged(TCheckTreeNode *node) override;
    void NodeStateChanged(TCheckTreeNode *node) override;
    void StatesSettled() override;
    void UpdateStarted() override;
    void UpdateEnded() override;

    // Structure changes while a bulk update is open are shown as one reset at its end.
    bool ResetForBulkUpdate();
    void ReportChangedStates();
    void ReportRows(const TCheckTreeNode *parent, int first, int last, const QList<int> &roles);

    TCheckTreeModel &FTree;
    QString FMixedStateDescription;
    bool FUpdating = false;
    bool FResetting = false;
    // Rows whose state changed and that the views have not been told of: the first and the last
    // row per parent (nullptr: the top level).
    QHash<const TCheckTreeNode *, std::pair<int, int>> FChangedRows;
};
