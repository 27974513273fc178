#pragma once

#include "checkstate/rzcheckstate.h"

#include <QString>

#include <any>
#include <memory>
#include <vector>

class TCheckTreeModel;

// One node of the check tree: text, an owned data entry, the state-image index and the links to
// parent and children. Nodes are created and changed only through TCheckTreeModel.
class TCheckTreeNode
{
public:
    const QString &Text() const { return FText; }
    TCheckTreeNode *Parent() const { return FParent; }
    int Level() const;
    int Index() const { return FIndex; } // position among its siblings
    int Count() const { return int(FChildren.size()); }
    bool HasChildren() const { return !FChildren.empty(); }
    TCheckTreeNode *Item(int i) const { return FChildren[std::size_t(i)].get(); }
    TCheckTreeNode *getFirstChild() const;
    TCheckTreeNode *getLastChild() const;
    TCheckTreeNode *getNextSibling() const;
    TCheckTreeNode *getPrevSibling() const;
    int StateIndex() const { return FStateIndex; }
    // The check state: the low 8 bits of the state index.
    TRzCheckState CheckState() const { return TRzCheckState(FStateIndex & 0xFF); }

    // The entry attached by the owner of the tree (loading attaches a TScenObj to top-level
    // nodes). It lives as long as the node.
    const std::any &Data() const { return FData; }
    template<class T>
    const T *DataAs() const
    {
        return std::any_cast<T>(&FData);
    }

private:
    friend class TCheckTreeModel;
    QString FText;
    std::any FData;
    int FStateIndex = -1;
    int FIndex = 0;
    TCheckTreeNode *FParent = nullptr;
    // The list this node sits in: its parent's children, or the model's top-level nodes.
    const std::vector<std::unique_ptr<TCheckTreeNode>> *FSiblings = nullptr;
    std::vector<std::unique_ptr<TCheckTreeNode>> FChildren;
};
