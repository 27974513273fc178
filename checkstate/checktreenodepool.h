#pragma once

#include "checkstate/blockslabs.h"
#include "checkstate/checktreenode.h"

#include <cstddef>
#include <vector>

// Storage for the nodes of one tree: nodes come from blocks of many, so that a large load costs
// one allocation per block instead of one per node (and few page faults, see TBlockSlabs), and a
// reload finds its memory in place. A free place is poisoned for AddressSanitizer, so that a use of
// a deleted node is still caught.
class TCheckTreeNodePool
{
public:
    TCheckTreeNodePool();
    ~TCheckTreeNodePool();
    TCheckTreeNodePool(const TCheckTreeNodePool &) = delete;
    TCheckTreeNodePool &operator=(const TCheckTreeNodePool &) = delete;

    TCheckTreeNode *New(); // a default-constructed node
    void Delete(TCheckTreeNode *node); // destroys the node (not its children), frees its place
    // Frees every place at once, keeping the blocks. The nodes must have been destroyed.
    void Reset();

private:
    union TSlot {
        TSlot *Next; // while free: the next free place
        alignas(TCheckTreeNode) std::byte Node[sizeof(TCheckTreeNode)];
    };
    // 1024 nodes stay below the size from which the allocator maps memory of its own.
    static constexpr std::size_t BlockSize = 1024;

    TBlockSlabs FMemory{BlockSize * sizeof(TSlot)};
    std::vector<TSlot *> FBlocks;
    std::size_t FUsed = 0; // places handed out from the blocks in order, freed ones included
    TSlot *FFree = nullptr; // places freed by Delete, taken first
};
