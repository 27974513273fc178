#include "checkstate/checktreeroot.h"

#include <cstdlib>
#include <new>
#include <stdexcept>

TCheckTreeNode::~TCheckTreeNode()
{
    std::free(FChildren);
}

int TCheckTreeNode::Level() const
{
    int level = 0;
    for (const TCheckTreeNode *p = Parent(); p; p = p->Parent())
        ++level;
    return level;
}

const TCheckTreeEntries &TCheckTreeNode::Entries() const
{
    const TCheckTreeNode *root = this;
    while (root->FParent)
        root = root->FParent;
    return static_cast<const TCheckTreeRoot *>(root)->Entries;
}

void TCheckTreeNode::SetEntryNumber(int number)
{
    if (number >= MaxEntries)
        throw std::length_error("too many entries for one tree");
    FEntry = quint32(number + 1);
}

void TCheckTreeNode::MakeRoomForChild()
{
    const int count = Count();
    if (!FChildren || count == FChildren->Room) {
        const int room = FChildren ? count * 2 : 2;
        void *grown = std::realloc(
            FChildren, sizeof(TChildren) + std::size_t(room) * sizeof(TCheckTreeNode *));
        if (!grown)
            throw std::bad_alloc();
        FChildren = static_cast<TChildren *>(grown);
        FChildren->Count = count;
        FChildren->Room = room;
    }
}

void TCheckTreeNode::AppendChild(TCheckTreeNode *child)
{
    const int count = Count();
    child->FParent = this;
    child->FIndex = quint32(count);
    FChildren->Items()[count] = child;
    ++FChildren->Count;
}

void TCheckTreeNode::RemoveChild(int index)
{
    TCheckTreeNode **items = FChildren->Items();
    for (int i = index + 1; i < FChildren->Count; ++i) {
        items[i - 1] = items[i];
        items[i - 1]->FIndex = quint32(i - 1);
    }
    --FChildren->Count;
}

void TCheckTreeNode::ClearChildren()
{
    if (FChildren)
        FChildren->Count = 0;
}
