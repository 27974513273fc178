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
    // The most entries one tree can hold: the entry number shares a word with the state.
    static constexpr int MaxEntries = (1 << 24) - 1;

    TCheckTreeNode() = default;
    ~TCheckTreeNode();
    TCheckTreeNode(const TCheckTreeNode &) = delete;
    TCheckTreeNode &operator=(const TCheckTreeNode &) = delete;

    const QString &Text() const { return FText; }
    TCheckTreeNode *Parent() const { return FParent && FParent->FParent ? FParent : nullptr; }
    int Level() const;
    int Index() const { return int(FIndex); } // position among its siblings
    int Count() const { return FChildren ? FChildren->Count : 0; }
    bool HasChildren() const { return Count() > 0; }
    TCheckTreeNode *Item(int i) const { return FChildren->Items()[i]; }
    TCheckTreeNode *getFirstChild() const { return HasChildren() ? Item(0) : nullptr; }
    TCheckTreeNode *getLastChild() const { return HasChildren() ? Item(Count() - 1) : nullptr; }
    TCheckTreeNode *getNextSibling() const
    {
        return FParent && Index() + 1 < FParent->Count() ? FParent->Item(Index() + 1) : nullptr;
    }
    TCheckTreeNode *getPrevSibling() const
    {
        return FParent && FIndex > 0 ? FParent->Item(Index() - 1) : nullptr;
    }
    // -1 while the node has no state yet, else its TRzCheckState.
    int StateIndex() const { return FStateless ? -1 : int(FState); }
    // The check state: the low 8 bits of the state index.
    TRzCheckState CheckState() const { return TRzCheckState(FStateless ? 0xFF : FState); }

    // The entry attached by the owner of the tree (loading attaches a TScenObj to top-level
    // nodes), nullptr when there is none or it is of another type. It lives as long as the node.
    template<class T>
    const T *DataAs() const
    {
        return FEntry == 0 ? nullptr : Entries().At<T>(EntryNumber());
    }

private:
    friend class TCheckTreeModel;

    // The children: their count and room, then the pointers, in one allocation.
    struct TChildren
    {
        int Count;
        int Room;
        TCheckTreeNode **Items() { return reinterpret_cast<TCheckTreeNode **>(this + 1); }
    };

    const TCheckTreeEntries &Entries() const;
    int EntryNumber() const { return int(FEntry) - 1; }
    void SetEntryNumber(int number); // -1: none
    void SetStateIndex(int stateIndex)
    {
        FStateless = stateIndex == -1;
        FState = quint32(stateIndex) & 0xFF;
    }
    void MakeRoomForChild();
    void AppendChild(TCheckTreeNode *child); // into the room made before
    void RemoveChild(int index);
    void ClearChildren(); // without destroying them; the room stays for the next ones

    QString FText;
    TCheckTreeNode *FParent = nullptr; // for a top-level node the hidden root
    TChildren *FChildren = nullptr;
    quint32 FIndex : 31 = 0;
    quint32 FStateless : 1 = 1;
    quint32 FEntry : 24 = 0; // number in the root's entries + 1; 0: none
    quint32 FState : 8 = 0; // a TRzCheckState while FStateless is 0
};
