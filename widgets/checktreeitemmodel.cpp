#include "widgets/checktreeitemmodel.h"

namespace {

// The state as assistive technology reads it: a check box, none for an unknown state.
QVariant accessibleCheckState(int shownStateIndex)
{
    switch (shownStateIndex) {
    case csUnchecked:
        return Qt::Unchecked;
    case csChecked:
        return Qt::Checked;
    case csPartiallyChecked:
        return Qt::PartiallyChecked;
    default:
        return {};
    }
}

const QList<int> stateRoles{TCheckTreeItemModel::StateIndexRole, Qt::CheckStateRole,
                            Qt::AccessibleDescriptionRole};

} // namespace

TCheckTreeItemModel::TCheckTreeItemModel(TCheckTreeModel &tree, QObject *parent)
    : QAbstractItemModel(parent)
    , FTree(tree)
{
    FTree.SetObserver(this);
}

TCheckTreeItemModel::~TCheckTreeItemModel()
{
    FTree.SetObserver(nullptr);
}

TCheckTreeNode *TCheckTreeItemModel::NodeOf(const QModelIndex &index)
{
    return index.isValid() ? static_cast<TCheckTreeNode *>(index.internalPointer()) : nullptr;
}

QModelIndex TCheckTreeItemModel::IndexOf(const TCheckTreeNode *node) const
{
    return node ? createIndex(node->Index(), 0, node) : QModelIndex();
}

QModelIndex TCheckTreeItemModel::index(int row, int column, const QModelIndex &parent) const
{
    const TCheckTreeNode *parentNode = NodeOf(parent);
    const int count = parentNode ? parentNode->Count() : FTree.TopLevelCount();
    if (column != 0 || row < 0 || row >= count)
        return {};
    return createIndex(row, 0, parentNode ? parentNode->Item(row) : FTree.TopLevelItem(row));
}

QModelIndex TCheckTreeItemModel::parent(const QModelIndex &child) const
{
    const TCheckTreeNode *node = NodeOf(child);
    return IndexOf(node ? node->Parent() : nullptr);
}

int TCheckTreeItemModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    const TCheckTreeNode *node = NodeOf(parent);
    return node ? node->Count() : FTree.TopLevelCount();
}

int TCheckTreeItemModel::columnCount(const QModelIndex &) const
{
    return 1;
}

bool TCheckTreeItemModel::hasChildren(const QModelIndex &parent) const
{
    return rowCount(parent) > 0;
}

QVariant TCheckTreeItemModel::data(const QModelIndex &index, int role) const
{
    const TCheckTreeNode *node = NodeOf(index);
    if (!node)
        return {};
    const int shown = ShownStateIndex(node->StateIndex());
    switch (role) {
    case Qt::DisplayRole:
        return node->Text();
    case StateIndexRole:
        return shown;
    case Qt::CheckStateRole:
        return accessibleCheckState(shown);
    case Qt::AccessibleDescriptionRole:
        // Assistive technology does not announce the mixed state by itself.
        return shown == csPartiallyChecked ? QVariant(FMixedStateDescription) : QVariant();
    default:
        return {};
    }
}

Qt::ItemFlags TCheckTreeItemModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}

void TCheckTreeItemModel::SetMixedStateDescription(const QString &value)
{
    if (value == FMixedStateDescription)
        return;
    FMixedStateDescription = value;
    for (TCheckTreeNode *node = FTree.TopLevelCount() > 0 ? FTree.TopLevelItem(0) : nullptr; node;
         node = FTree.NextInPreOrder(node)) {
        if (node->StateIndex() == csPartiallyChecked)
            NodeStateChanged(node);
    }
    if (!FUpdating)
        ReportChangedStates();
}

bool TCheckTreeItemModel::ResetForBulkUpdate()
{
    if (!FResetting && FUpdating) {
        FChangedRows.clear();
        beginResetModel();
        FResetting = true;
    }
    return FResetting;
}

void TCheckTreeItemModel::NodeAdding(TCheckTreeNode *parent, int index)
{
    if (ResetForBulkUpdate())
        return;
    // Row numbers change with the structure: the pending states go out before.
    ReportChangedStates();
    beginInsertRows(IndexOf(parent), index, index);
}

void TCheckTreeItemModel::NodeAdded(TCheckTreeNode *)
{
    if (!FResetting)
        endInsertRows();
}

void TCheckTreeItemModel::NodeRemoving(TCheckTreeNode *node)
{
    if (ResetForBulkUpdate())
        return;
    ReportChangedStates();
    beginRemoveRows(IndexOf(node->Parent()), node->Index(), node->Index());
}

void TCheckTreeItemModel::NodeRemoved()
{
    if (!FResetting)
        endRemoveRows();
}

void TCheckTreeItemModel::NodesClearing()
{
    if (FResetting)
        return;
    FChangedRows.clear();
    beginResetModel();
    FResetting = true;
}

void TCheckTreeItemModel::NodesCleared()
{
    if (FUpdating)
        return;
    FResetting = false;
    endResetModel();
}

void TCheckTreeItemModel::NodeTextChanged(TCheckTreeNode *node)
{
    if (FResetting)
        return;
    const QModelIndex index = IndexOf(node);
    Q_EMIT dataChanged(index, index, {Qt::DisplayRole});
}

void TCheckTreeItemModel::NodeStateChanged(TCheckTreeNode *node)
{
    if (FResetting)
        return;
    const int row = node->Index();
    const auto it = FChangedRows.find(node->Parent());
    if (it == FChangedRows.end()) {
        FChangedRows.insert(node->Parent(), {row, row});
        return;
    }
    it->first = qMin(it->first, row);
    it->second = qMax(it->second, row);
}

void TCheckTreeItemModel::StatesSettled()
{
    if (!FUpdating)
        ReportChangedStates();
}

void TCheckTreeItemModel::UpdateStarted()
{
    FUpdating = true;
}

void TCheckTreeItemModel::UpdateEnded()
{
    FUpdating = false;
    if (FResetting) {
        FResetting = false;
        endResetModel();
    } else {
        ReportChangedStates();
    }
}

void TCheckTreeItemModel::ReportChangedStates()
{
    const auto changed = std::exchange(FChangedRows, {});
    for (auto it = changed.cbegin(); it != changed.cend(); ++it)
        ReportRows(it.key(), it->first, it->second, stateRoles);
}

void TCheckTreeItemModel::ReportRows(const TCheckTreeNode *parent, int first, int last,
                                     const QList<int> &roles)
{
    const auto child
        = [&](int row) { return parent ? parent->Item(row) : FTree.TopLevelItem(row); };
    Q_EMIT dataChanged(IndexOf(child(first)), IndexOf(child(last)), roles);
}
