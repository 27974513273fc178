#include "checkstate/blockslabs.h"

#include "platform/largepages.h"

#include <new>

TBlockSlabs::TBlockSlabs(std::size_t blockBytes)
    : FBlockBytes(blockBytes)
    , FSlabBytes(LargePages::MinimumSize < blockBytes ? blockBytes : LargePages::MinimumSize)
{ }

TBlockSlabs::~TBlockSlabs()
{
    for (void *block : FHeapBlocks)
        ::operator delete(block);
    for (void *slab : FSlabs)
        LargePages::Free(slab, FSlabBytes);
}

void *TBlockSlabs::Take()
{
    if (FHeapBlocks.size() < HeapBlocks) {
        FHeapBlocks.reserve(HeapBlocks);
        void *block = ::operator new(FBlockBytes);
        FHeapBlocks.push_back(block);
        return block;
    }
    if (FLeftInSlab == 0) {
        // Listed before it is allocated, so that a failing list cannot lose it.
        FSlabs.push_back(nullptr);
        FSlabs.back() = LargePages::Allocate(FSlabBytes);
        if (!FSlabs.back()) {
            FSlabs.pop_back();
            throw std::bad_alloc();
        }
        FLeftInSlab = FSlabBytes / FBlockBytes;
    }
    const std::size_t index = FSlabBytes / FBlockBytes - FLeftInSlab--;
    return static_cast<std::byte *>(FSlabs.back()) + index * FBlockBytes;
}
