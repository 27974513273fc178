#pragma once

#include "checkstate/checktreeentries.h"
#include "checkstate/rzcheckstate.h"

#include <QString>

class TCheckTreeModel;

// One node of the check tree: text, the state-image index, the number of the entry the owner
// attached, and the links to parent and children. Nodes are created and changed only through
// TCheckTreeModel. Top-level nodes hang below the model's hidden root (see TCheckTreeRoot),
// which gives them their siblings; Parent() of a top-level node is nullptr.
class TCheckTreeNode
{
public:
    TCheckTreeNode() = default;
    ~TCheckTreeNode();
    TCheckTreeNode(const TCheckTreeNode &) = delete;
    TCheckTreeNode &operator=(const TCheckTreeNode &) = delete;

    const QString &Text() const { return FText; }
    TCheckTreeNode *Parent() const { return FParent && FParent->FParent ? FParent : nullptr; }
    int Level() const;
    int Index() const { return FIndex; } // position among its siblings
    int Count() const { return FCount; }
    bool HasChildren() const { return FCount > 0; }
    TCheckTreeNode *Item(int i) const { return FChildren[i]; }
    TCheckTreeNode *getFirstChild() const { return FCount > 0 ? FChildren[0] : nullptr; }
    TCheckTreeNode *getLastChild() const { return FCount > 0 ? FChildren[FCount - 1] : nullptr; }
    TCheckTreeNode *getNextSibling() const
    {
        return FParent && FIndex + 1 < FParent->FCount ? FParent->FChildren[FIndex + 1] : nullptr;
    }
    TCheckTreeNode *getPrevSibling() const
    {
        return FParent && FIndex > 0 ? FParent->FChildren[FIndex - 1] : nullptr;
    }
    int StateIndex() const { return FStateIndex; }
    // The check state: the low 8 bits of the state index.
    TRzCheckState CheckState() const { return TRzCheckState(FStateIndex & 0xFF); }

    // The entry attached by the owner of the tree (loading attaches a TScenObj to top-level
    // nodes), nullptr when there is none or it is of another type. It lives as long as the node.
    template<class T>
    const T *DataAs() const
    {
        return FEntry < 0 ? nullptr : Entries().At<T>(FEntry);
    }

private:
    friend class TCheckTreeModel;
    const TCheckTreeEntries &Entries() const;
    void AppendChild(TCheckTreeNode *child);
    void RemoveChild(int index);
    void ForgetChildren(); // without destroying them

    QString FText;
    TCheckTreeNode *FParent = nullptr; // for a top-level node the hidden root
    TCheckTreeNode **FChildren = nullptr; // room for at least max(2, FCount rounded up to 2^n)
    int FCount = 0;
    int FIndex = 0;
    int FEntry = -1; // number in the root's entries, -1: none
    qint16 FStateIndex = -1; // -1 (no state yet) or a TRzCheckState
};
