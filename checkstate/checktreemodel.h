#pragma once

#include "checkstate/checktreenodepool.h"
#include "checkstate/checktreeroot.h"
#include "checkstate/rzcheckstate.h"

#include <functional>
#include <stdexcept>
#include <utility>

// Raised by the absolute-index lookup for an index outside 0 .. Count() - 1.
class ECheckTreeError : public std::runtime_error
{
public:
    explicit ECheckTreeError(const QString &message)
        : std::runtime_error(message.toStdString())
    { }
};

// Told about every change of the tree, so that a view can show it without a copy of the nodes.
// Structural changes come in pairs, before and after; state changes one node at a time, followed
// by StatesSettled once the operation that made them (a whole cascade) is complete.
class TCheckTreeObserver
{
public:
    virtual ~TCheckTreeObserver() = default;
    // A node is about to become child `index` of parent (nullptr: a top-level node), then is.
    virtual void NodeAdding(TCheckTreeNode * /*parent*/, int /*index*/) { }
    virtual void NodeAdded(TCheckTreeNode * /*node*/) { }
    // A node is about to leave with its subtree (still linked to its parent), then has left.
    virtual void NodeRemoving(TCheckTreeNode * /*node*/) { }
    virtual void NodeRemoved() { }
    // Every node is about to leave, then has left.
    virtual void NodesClearing() { }
    virtual void NodesCleared() { }
    virtual void NodeTextChanged(TCheckTreeNode * /*node*/) { }
    virtual void NodeStateChanged(TCheckTreeNode * /*node*/) { }
    // The states reported since the last call belong to one operation that is now complete.
    virtual void StatesSettled() { }
    // Bracket a bulk change (BeginUpdate .. EndUpdate), so that a view can show it in one go.
    virtual void UpdateStarted() { }
    virtual void UpdateEnded() { }
};

// The nodes of the tri-state check tree and its check-state rules, without any painting:
// storing with veto and events, the downward cascade, the upward recomputation, the user's
// toggle, programmatic changes, removal, and the lookup by absolute index (position in a
// depth-first pre-order walk over all nodes, collapsed ones included).
class TCheckTreeModel
{
public:
    using TChangingEvent
        = std::function<void(TCheckTreeNode *node, TRzCheckState newState, bool &allowChange)>;
    using TChangeEvent = std::function<void(TCheckTreeNode *node, TRzCheckState newState)>;
    using TNotifyEvent = std::function<void()>;
    using TCascadeCompleteEvent = std::function<void(TCheckTreeNode *node)>;
    using TToggleEvent = std::function<void(TCheckTreeNode *node, bool &handled)>;

    TCheckTreeModel();
    virtual ~TCheckTreeModel();
    TCheckTreeModel(const TCheckTreeModel &) = delete;
    TCheckTreeModel &operator=(const TCheckTreeModel &) = delete;

    void SetObserver(TCheckTreeObserver *observer) { FObserver = observer; }

    // Brackets a bulk change such as a load; nestable. The nodes and states are current at all
    // times, only the observer may hold its view back until the outermost EndUpdate.
    void BeginUpdate();
    void EndUpdate();

    // Structure.
    void Clear();
    // A new last top-level node, or last child of parent (nullptr: top-level), with or without an
    // entry that the node keeps (see TCheckTreeNode::DataAs). All entries of a tree are of one
    // type.
    TCheckTreeNode *Add(const QString &text) { return Link(nullptr, text, -1); }
    template<class T>
    TCheckTreeNode *Add(const QString &text, T &&entry)
    {
        return AddChild(nullptr, text, std::forward<T>(entry));
    }
    TCheckTreeNode *AddChild(TCheckTreeNode *parent, const QString &text)
    {
        return Link(parent, text, -1);
    }
    template<class T>
    TCheckTreeNode *AddChild(TCheckTreeNode *parent, const QString &text, T &&entry)
    {
        return Link(parent, text, FRoot.Entries.Add(std::forward<T>(entry)));
    }
    void SetText(TCheckTreeNode *node, const QString &text);
    void Delete(TCheckTreeNode *node); // the node and its subtree
    int Count() const { return FCount; } // all nodes
    int TopLevelCount() const { return FRoot.Count(); }
    TCheckTreeNode *TopLevelItem(int i) const { return FRoot.Item(i); }
    TCheckTreeNode *Item(int absoluteIndex) const; // throws ECheckTreeError "Ungültiger Index"
    int AbsoluteIndex(const TCheckTreeNode *node) const;
    TCheckTreeNode *NextInPreOrder(const TCheckTreeNode *node) const;

    // Check states by absolute index.
    TRzCheckState GetItemState(int absoluteIndex) const; // low 8 bits of the state index
    void SetItemState(int absoluteIndex, TRzCheckState state);

    void ChangeNodeCheckState(TCheckTreeNode *node, TRzCheckState state);
    void ToggleCheckState(TCheckTreeNode *node);
    void ForceCheckState(TCheckTreeNode *node, TRzCheckState state);
    void SetAllNodes(TRzCheckState state);
    void UpdateCascadingStates(TCheckTreeNode *node);
    void UpdateChildrenCascadingStates(TCheckTreeNode *parentNode);
    void UpdateStateFromChildren(TCheckTreeNode *parentNode, TCheckTreeNode *deletedNode);
    virtual void UpdateParents(TCheckTreeNode *node);
    virtual void UpdateChildren(TCheckTreeNode *node, bool checked);
    void SetNodeCheckState(TCheckTreeNode *node, TRzCheckState state);

    // Nodes still without a state (-1) become csUnchecked, with no event and no cascade. A view
    // draws such a node unchecked, so it reports every paint through this, and the observer is
    // not told: what it shows does not change.
    void NormaliseStates();

    bool CascadeChecks() const { return FCascadeChecks; }
    void SetCascadeChecks(bool value) { FCascadeChecks = value; }
    bool SilentCheckChanges() const { return FSilentStateChanges; }
    void SetSilentCheckChanges(bool value) { FSilentStateChanges = value; }

    // The pending press on a check area; every toggle and programmatic change clears it.
    bool ChangingState() const { return FChangingState; }
    void SetChangingState(bool value) { FChangingState = value; }

    TChangingEvent OnStateChanging;
    TChangeEvent OnStateChange;
    TNotifyEvent OnUpdateChildren;
    TCascadeCompleteEvent OnCascadeComplete;
    // A user's toggle (click or Space). The owner of the tree may carry it out itself, for
    // example on a whole group of nodes, and set handled to skip the standard toggle.
    TToggleEvent OnToggle;

protected:
    virtual bool CanChangeState(TCheckTreeNode *node, TRzCheckState newState);
    virtual void StateChange(TCheckTreeNode *node, TRzCheckState newState);
    virtual void CascadeComplete(TCheckTreeNode *node);

private:
    friend class TStateBatch;
    void StoreState(TCheckTreeNode *node, int stateIndex);
    TRzCheckState StateFromChildren(TCheckTreeNode *parentNode, TCheckTreeNode *skipped) const;
    void SetSubtreeStates(TCheckTreeNode *node, TRzCheckState state);
    TCheckTreeNode *Link(TCheckTreeNode *parent, const QString &text, int entry);
    void DestroySubtree(TCheckTreeNode *node);
    void DestroyAll();
    void ForgetLastFound() const;

    TCheckTreeNodePool FPool;
    TCheckTreeRoot FRoot;
    int FCount = 0;
    int FStatelessCount = 0; // nodes still at -1, so that normalising is free when there are none
    bool FCascadeChecks = true;
    bool FSilentStateChanges = false;
    bool FChangingState = false;
    TCheckTreeObserver *FObserver = nullptr;
    int FUpdateCount = 0;
    int FBatchDepth = 0; // nesting of operations that store states, see TStateBatch
    bool FStatesChanged = false; // a state was stored in the current batch

    // The last node found by absolute index; lookups next to it step from there.
    mutable TCheckTreeNode *FLastNode = nullptr;
    mutable int FLastIndex = -1;
};

// Holds a bulk update of the tree for the lifetime of the guard.
class TCheckTreeUpdate
{
public:
    explicit TCheckTreeUpdate(TCheckTreeModel &tree)
        : FTree(tree)
    {
        FTree.BeginUpdate();
    }
    ~TCheckTreeUpdate() { FTree.EndUpdate(); }
    TCheckTreeUpdate(const TCheckTreeUpdate &) = delete;
    TCheckTreeUpdate &operator=(const TCheckTreeUpdate &) = delete;

private:
    TCheckTreeModel &FTree;
};
