#include "checkstate/checktreenodepool.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/asan_interface.h>
#endif
#endif
#ifndef ASAN_POISON_MEMORY_REGION
#define ASAN_POISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#endif

#include <memory>
#include <new>

TCheckTreeNodePool::TCheckTreeNodePool() = default;

TCheckTreeNodePool::~TCheckTreeNodePool()
{
    for (TSlot *block : FBlocks)
        ASAN_UNPOISON_MEMORY_REGION(block, BlockSize * sizeof(TSlot));
}

TCheckTreeNode *TCheckTreeNodePool::New()
{
    TSlot *slot = FFree;
    if (slot) {
        ASAN_UNPOISON_MEMORY_REGION(slot, sizeof(TSlot));
        FFree = slot->Next;
    } else {
        if (FUsed == FBlocks.size() * BlockSize) {
            FBlocks.push_back(static_cast<TSlot *>(FMemory.Take()));
            ASAN_POISON_MEMORY_REGION(FBlocks.back(), BlockSize * sizeof(TSlot));
        }
        slot = &FBlocks[FUsed / BlockSize][FUsed % BlockSize];
        ++FUsed;
        ASAN_UNPOISON_MEMORY_REGION(slot, sizeof(TSlot));
    }
    return new (slot->Node) TCheckTreeNode;
}

void TCheckTreeNodePool::Delete(TCheckTreeNode *node)
{
    std::destroy_at(node);
    auto *slot = reinterpret_cast<TSlot *>(node);
    slot->Next = FFree;
    FFree = slot;
    ASAN_POISON_MEMORY_REGION(slot, sizeof(TSlot));
}

void TCheckTreeNodePool::Reset()
{
    for (TSlot *block : FBlocks)
        ASAN_POISON_MEMORY_REGION(block, BlockSize * sizeof(TSlot));
    FUsed = 0;
    FFree = nullptr;
}
