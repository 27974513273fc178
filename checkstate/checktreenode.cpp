#include "checkstate/checktreeroot.h"

#include <bit>
#include <cstdlib>
#include <new>

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

void TCheckTreeNode::AppendChild(TCheckTreeNode *child)
{
    // The room doubles whenever the count reaches a power of two, so it need not be stored.
    if (!FChildren || (FCount >= 2 && std::has_single_bit(unsigned(FCount)))) {
        const std::size_t room = FChildren ? std::size_t(FCount) * 2 : 2;
        void *grown = std::realloc(FChildren, room * sizeof(TCheckTreeNode *));
        if (!grown)
            throw std::bad_alloc();
        FChildren = static_cast<TCheckTreeNode **>(grown);
    }
    child->FParent = this;
    child->FIndex = FCount;
    FChildren[FCount++] = child;
}

void TCheckTreeNode::RemoveChild(int index)
{
    for (int i = index + 1; i < FCount; ++i) {
        FChildren[i - 1] = FChildren[i];
        FChildren[i - 1]->FIndex = i - 1;
    }
    --FCount;
}

void TCheckTreeNode::ForgetChildren()
{
    std::free(FChildren);
    FChildren = nullptr;
    FCount = 0;
}
