#include "checkstate/checktreemodel.h"

#include <memory>

namespace {

// Calls f for node and every node below it, in pre-order.
template<class F>
void forEachInSubtree(TCheckTreeNode *node, F &&f)
{
    f(node);
    for (int i = 0; i < node->Count(); ++i)
        forEachInSubtree(node->Item(i), f);
}

// Destroys node and every node below it, children first, leaving their places to the pool.
void destroyNodes(TCheckTreeNode *node)
{
    for (int i = 0; i < node->Count(); ++i)
        destroyNodes(node->Item(i));
    std::destroy_at(node);
}

TCheckTreeNode *previousInPreOrder(const TCheckTreeNode *node)
{
    TCheckTreeNode *previous = node->getPrevSibling();
    if (!previous)
        return node->Parent();
    while (previous->HasChildren())
        previous = previous->getLastChild();
    return previous;
}

} // namespace

// Brackets an operation that may store many states (a cascade): the observer hears once, at the
// end of the outermost one, that the states it was told about belong together.
class TStateBatch
{
public:
    explicit TStateBatch(TCheckTreeModel &tree)
        : FTree(tree)
    {
        ++FTree.FBatchDepth;
    }
    ~TStateBatch()
    {
        if (--FTree.FBatchDepth == 0 && FTree.FStatesChanged) {
            FTree.FStatesChanged = false;
            if (FTree.FObserver)
                FTree.FObserver->StatesSettled();
        }
    }
    TStateBatch(const TStateBatch &) = delete;
    TStateBatch &operator=(const TStateBatch &) = delete;

private:
    TCheckTreeModel &FTree;
};

TCheckTreeModel::TCheckTreeModel() = default;
TCheckTreeModel::~TCheckTreeModel()
{
    DestroyAll();
}

void TCheckTreeModel::BeginUpdate()
{
    if (FUpdateCount++ == 0 && FObserver)
        FObserver->UpdateStarted();
}

void TCheckTreeModel::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0 && FObserver)
        FObserver->UpdateEnded();
}

void TCheckTreeModel::Clear()
{
    if (FObserver)
        FObserver->NodesClearing();
    DestroyAll();
    FCount = 0;
    FStatelessCount = 0;
    ForgetLastFound();
    if (FObserver)
        FObserver->NodesCleared();
}

TCheckTreeNode *TCheckTreeModel::Link(TCheckTreeNode *parent, const QString &text, int entry)
{
    // A node appended after the last node of the pre-order moves no other node, so the last
    // lookup stays valid; any other insertion shifts the absolute indices behind it.
    bool appendedAtEnd = true;
    for (const TCheckTreeNode *p = parent; p && appendedAtEnd; p = p->Parent())
        appendedAtEnd = !p->getNextSibling();

    TCheckTreeNode *siblings = parent ? parent : &FRoot;
    TCheckTreeNode *added = nullptr;
    try {
        added = FPool.New();
        added->FText = text;
        added->SetEntryNumber(entry);
        siblings->MakeRoomForChild();
    } catch (...) {
        FRoot.Entries.Release(entry);
        if (added)
            FPool.Delete(added);
        throw;
    }
    if (FObserver)
        FObserver->NodeAdding(parent, siblings->Count());
    siblings->AppendChild(added);
    ++FCount;
    ++FStatelessCount;
    if (!appendedAtEnd)
        ForgetLastFound();
    if (FObserver)
        FObserver->NodeAdded(added);
    return added;
}

void TCheckTreeModel::SetText(TCheckTreeNode *node, const QString &text)
{
    if (!node || node->FText == text)
        return;
    node->FText = text;
    if (FObserver)
        FObserver->NodeTextChanged(node);
}

void TCheckTreeModel::Delete(TCheckTreeNode *node)
{
    if (!node)
        return;
    const TStateBatch batch(*this);
    if (FCascadeChecks && node->Parent())
        UpdateStateFromChildren(node->Parent(), node);
    if (FObserver)
        FObserver->NodeRemoving(node);

    int leavingCount = 0;
    int leavingStateless = 0;
    forEachInSubtree(node, [&](const TCheckTreeNode *n) {
        ++leavingCount;
        if (n->StateIndex() == -1)
            ++leavingStateless;
    });

    node->FParent->RemoveChild(node->Index());
    FCount -= leavingCount;
    FStatelessCount -= leavingStateless;
    ForgetLastFound();
    if (FObserver)
        FObserver->NodeRemoved();
    DestroySubtree(node);
}

TCheckTreeNode *TCheckTreeModel::Item(int absoluteIndex) const
{
    if (absoluteIndex < 0 || absoluteIndex >= FCount)
        throw ECheckTreeError(QStringLiteral("Ungültiger Index"));

    // Step from the last node found when the target is next to it or after it, so that reads
    // in ascending order cost constant time each.
    TCheckTreeNode *node = FRoot.Item(0);
    int index = 0;
    if (FLastNode && absoluteIndex >= FLastIndex - 1) {
        node = FLastNode;
        index = FLastIndex;
    }
    for (; index < absoluteIndex; ++index)
        node = NextInPreOrder(node);
    for (; index > absoluteIndex; --index)
        node = previousInPreOrder(node);

    FLastNode = node;
    FLastIndex = absoluteIndex;
    return node;
}

int TCheckTreeModel::AbsoluteIndex(const TCheckTreeNode *node) const
{
    if (!node)
        return -1;
    if (node == FLastNode)
        return FLastIndex;
    int index = 0;
    for (TCheckTreeNode *n = FRoot.getFirstChild(); n; n = NextInPreOrder(n), ++index) {
        if (n == node) {
            FLastNode = n;
            FLastIndex = index;
            return index;
        }
    }
    return -1;
}

TCheckTreeNode *TCheckTreeModel::NextInPreOrder(const TCheckTreeNode *node) const
{
    if (node->HasChildren())
        return node->getFirstChild();
    for (const TCheckTreeNode *n = node; n; n = n->Parent()) {
        if (TCheckTreeNode *next = n->getNextSibling())
            return next;
    }
    return nullptr;
}

void TCheckTreeModel::ForgetLastFound() const
{
    FLastNode = nullptr;
    FLastIndex = -1;
}

TRzCheckState TCheckTreeModel::GetItemState(int absoluteIndex) const
{
    return Item(absoluteIndex)->CheckState();
}

void TCheckTreeModel::SetItemState(int absoluteIndex, TRzCheckState state)
{
    TCheckTreeNode *node = Item(absoluteIndex);
    if (node->CheckState() != state)
        ChangeNodeCheckState(node, state);
}

void TCheckTreeModel::ChangeNodeCheckState(TCheckTreeNode *node, TRzCheckState state)
{
    if (!node)
        return;
    const TStateBatch batch(*this);
    FChangingState = false;
    SetNodeCheckState(node, state);
    if (FCascadeChecks) {
        UpdateChildren(node, node->StateIndex() == csChecked);
        UpdateParents(node);
    }
}

void TCheckTreeModel::ToggleCheckState(TCheckTreeNode *node)
{
    const TStateBatch batch(*this);
    FChangingState = false;
    if (!node || node->StateIndex() == csUnknown)
        return;
    if (OnToggle) {
        bool handled = false;
        OnToggle(node, handled);
        if (handled)
            return;
    }
    SetNodeCheckState(node, node->StateIndex() == csChecked ? csUnchecked : csChecked);
    // The cascade follows the state the node has now, also when its change was refused.
    if (FCascadeChecks) {
        UpdateChildren(node, node->StateIndex() == csChecked);
        UpdateParents(node);
    }
    CascadeComplete(node);
}

void TCheckTreeModel::ForceCheckState(TCheckTreeNode *node, TRzCheckState state)
{
    if (!node || node->StateIndex() == state)
        return;
    const TStateBatch batch(*this);
    StoreState(node, state);
    if (!FSilentStateChanges)
        StateChange(node, state);
}

void TCheckTreeModel::SetAllNodes(TRzCheckState state)
{
    const TStateBatch batch(*this);
    for (int i = 0; i < FRoot.Count(); ++i)
        forEachInSubtree(FRoot.Item(i), [&](TCheckTreeNode *n) { StoreState(n, state); });
}

void TCheckTreeModel::UpdateCascadingStates(TCheckTreeNode *node)
{
    if (!node || !FCascadeChecks)
        return;
    const TStateBatch batch(*this);
    if (node->StateIndex() == csChecked || node->StateIndex() == csUnchecked) {
        UpdateChildren(node, node->StateIndex() == csChecked);
        UpdateParents(node);
    }
}

void TCheckTreeModel::UpdateChildrenCascadingStates(TCheckTreeNode *parentNode)
{
    if (!parentNode || !FCascadeChecks)
        return;
    const TStateBatch batch(*this);
    if (!parentNode->HasChildren()) {
        UpdateCascadingStates(parentNode);
        return;
    }
    for (int i = 0; i < parentNode->Count(); ++i) {
        TCheckTreeNode *child = parentNode->Item(i);
        if (child->HasChildren())
            UpdateChildrenCascadingStates(child);
        else
            UpdateCascadingStates(child);
    }
}

void TCheckTreeModel::UpdateStateFromChildren(TCheckTreeNode *parentNode,
                                              TCheckTreeNode *deletedNode)
{
    if (!parentNode)
        return;
    const TStateBatch batch(*this);
    SetNodeCheckState(parentNode, StateFromChildren(parentNode, deletedNode));
    if (parentNode->StateIndex() == csChecked || parentNode->StateIndex() == csUnchecked) {
        UpdateChildren(parentNode, parentNode->StateIndex() == csChecked);
        UpdateParents(parentNode);
    }
}

void TCheckTreeModel::UpdateParents(TCheckTreeNode *node)
{
    const TStateBatch batch(*this);
    // Every level is recomputed up to the top, also above a level that kept its state.
    for (TCheckTreeNode *n = node; n && n->Parent(); n = n->Parent())
        SetNodeCheckState(n->Parent(), StateFromChildren(n->Parent(), nullptr));
}

void TCheckTreeModel::UpdateChildren(TCheckTreeNode *node, bool checked)
{
    const TStateBatch batch(*this);
    if (node)
        SetSubtreeStates(node, checked ? csChecked : csUnchecked);
    if (OnUpdateChildren)
        OnUpdateChildren();
}

void TCheckTreeModel::SetSubtreeStates(TCheckTreeNode *node, TRzCheckState state)
{
    for (int i = 0; i < node->Count(); ++i) {
        TCheckTreeNode *child = node->Item(i);
        SetNodeCheckState(child, state);
        SetSubtreeStates(child, state);
    }
}

TRzCheckState TCheckTreeModel::StateFromChildren(TCheckTreeNode *parentNode,
                                                 TCheckTreeNode *skipped) const
{
    // Children that are unknown or still without a state do not count.
    int checkedCount = 0;
    int uncheckedCount = 0;
    for (int i = 0; i < parentNode->Count(); ++i) {
        const TCheckTreeNode *child = parentNode->Item(i);
        if (child == skipped)
            continue;
        switch (child->StateIndex()) {
        case csPartiallyChecked:
            return csPartiallyChecked;
        case csChecked:
            ++checkedCount;
            break;
        case csUnchecked:
            ++uncheckedCount;
            break;
        default:
            break;
        }
        if (checkedCount > 0 && uncheckedCount > 0)
            return csPartiallyChecked;
    }
    return checkedCount > 0 ? csChecked : csUnchecked;
}

void TCheckTreeModel::SetNodeCheckState(TCheckTreeNode *node, TRzCheckState state)
{
    if (!node || node->StateIndex() == state || !CanChangeState(node, state))
        return;
    const TStateBatch batch(*this);
    StoreState(node, state);
    if (!FSilentStateChanges)
        StateChange(node, state);
}

void TCheckTreeModel::NormaliseStates()
{
    if (FStatelessCount == 0)
        return;
    for (int i = 0; i < FRoot.Count(); ++i) {
        forEachInSubtree(FRoot.Item(i), [](TCheckTreeNode *n) {
            if (n->StateIndex() == -1)
                n->SetStateIndex(csUnchecked);
        });
    }
    FStatelessCount = 0;
}

bool TCheckTreeModel::CanChangeState(TCheckTreeNode *node, TRzCheckState newState)
{
    bool allowChange = true;
    if (!FSilentStateChanges && OnStateChanging)
        OnStateChanging(node, newState, allowChange);
    return allowChange;
}

void TCheckTreeModel::StateChange(TCheckTreeNode *node, TRzCheckState newState)
{
    if (OnStateChange)
        OnStateChange(node, newState);
}

void TCheckTreeModel::CascadeComplete(TCheckTreeNode *node)
{
    if (OnCascadeComplete)
        OnCascadeComplete(node);
}

void TCheckTreeModel::StoreState(TCheckTreeNode *node, int stateIndex)
{
    if (node->StateIndex() == stateIndex)
        return;
    FStatelessCount += (stateIndex == -1) - (node->StateIndex() == -1);
    node->SetStateIndex(stateIndex);
    if (FObserver) {
        FStatesChanged = true;
        FObserver->NodeStateChanged(node);
    }
}

void TCheckTreeModel::DestroySubtree(TCheckTreeNode *node)
{
    for (int i = 0; i < node->Count(); ++i)
        DestroySubtree(node->Item(i));
    FRoot.Entries.Release(node->EntryNumber());
    FPool.Delete(node);
}

void TCheckTreeModel::DestroyAll()
{
    // Every node goes at once: the pool keeps its blocks and the entries theirs for the next load.
    for (int i = 0; i < FRoot.Count(); ++i)
        destroyNodes(FRoot.Item(i));
    FRoot.ClearChildren();
    FPool.Reset();
    FRoot.Entries.Clear();
}
