#include "checkstate/checktreenode.h"

int TCheckTreeNode::Level() const
{
    int level = 0;
    for (const TCheckTreeNode *p = FParent; p; p = p->FParent)
        ++level;
    return level;
}

TCheckTreeNode *TCheckTreeNode::getFirstChild() const
{
    return FChildren.empty() ? nullptr : FChildren.front().get();
}

TCheckTreeNode *TCheckTreeNode::getLastChild() const
{
    return FChildren.empty() ? nullptr : FChildren.back().get();
}

TCheckTreeNode *TCheckTreeNode::getNextSibling() const
{
    const std::size_t next = std::size_t(FIndex) + 1;
    return FSiblings && next < FSiblings->size() ? (*FSiblings)[next].get() : nullptr;
}

TCheckTreeNode *TCheckTreeNode::getPrevSibling() const
{
    return FSiblings && FIndex > 0 ? (*FSiblings)[std::size_t(FIndex) - 1].get() : nullptr;
}
