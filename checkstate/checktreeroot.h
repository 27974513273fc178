#pragma once

#include "checkstate/checktreeentries.h"
#include "checkstate/checktreenode.h"

// The hidden root of a tree: its children are the top-level nodes, and it keeps the entries
// attached to the nodes.
class TCheckTreeRoot : public TCheckTreeNode
{
public:
    TCheckTreeEntries Entries;
};
