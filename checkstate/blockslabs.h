#pragma once

#include <cstddef>
#include <vector>

// Raw memory for the equal blocks of a growing store (check-tree nodes, entries): the first few
// blocks come from the heap, so that a small tree takes little memory; later ones lie side by
// side in slabs of large pages (see LargePages), so that filling the blocks of a large tree
// costs few page faults. Every block is kept until the store is destroyed.
class TBlockSlabs
{
public:
    // Blocks of this many bytes, aligned for any type that operator new aligns.
    explicit TBlockSlabs(std::size_t blockBytes);
    ~TBlockSlabs();
    TBlockSlabs(const TBlockSlabs &) = delete;
    TBlockSlabs &operator=(const TBlockSlabs &) = delete;

    // A new block, its bytes unset; throws std::bad_alloc when there is no memory.
    void *Take();

private:
    // Blocks taken from the heap before slabs are used.
    static constexpr std::size_t HeapBlocks = 4;

    std::size_t FBlockBytes;
    std::vector<void *> FHeapBlocks;
    std::vector<void *> FSlabs;
    std::size_t FSlabBytes = 0;
    std::size_t FLeftInSlab = 0; // blocks not yet taken from the last slab
};
