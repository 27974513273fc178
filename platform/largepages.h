#pragma once

#include <cstddef>
#include <memory>
#include <new>

// Memory for large blocks that are filled soon after they are taken, such as the bytes of a
// control file and the records parsed from them. Where the system offers it, such a block is
// backed by large pages (2 MiB on x86-64), so that filling it costs one page fault per large page
// instead of one per 4 KiB page; with 100,000 entries the small faults take longer than parsing.
namespace LargePages {

// The size from which a block gets large pages of its own.
inline constexpr std::size_t MinimumSize = std::size_t(2) << 20;

// A block of at least `bytes` (at least MinimumSize), aligned for any type, zeroed; nullptr when
// the system has no memory for it.
void *Allocate(std::size_t bytes);
// Gives back a block of Allocate with the size it was asked for.
void Free(void *block, std::size_t bytes);
// Asks that the large pages lying wholly inside memory allocated elsewhere, and not yet touched,
// be backed as such. Only a hint: nothing changes for the memory's owner.
void Advise(void *data, std::size_t bytes);
// For a short-lived process that counts its peak memory more than its page faults: no large
// pages from here on, neither for the blocks above nor for the heap where the system would give
// them by itself. The last large page of each block is mostly empty, which costs a few MiB.
void ForgoForProcess();

} // namespace LargePages

// An allocator for containers that can grow large: blocks of MinimumSize and more come from
// LargePages, smaller ones from the heap.
template<class T>
class TLargePageAllocator
{
public:
    using value_type = T;

    TLargePageAllocator() = default;
    template<class U>
    TLargePageAllocator(const TLargePageAllocator<U> &) noexcept
    { }

    T *allocate(std::size_t count)
    {
        if (count * sizeof(T) < LargePages::MinimumSize)
            return std::allocator<T>().allocate(count);
        void *block = LargePages::Allocate(count * sizeof(T));
        if (!block)
            throw std::bad_alloc();
        return static_cast<T *>(block);
    }
    void deallocate(T *block, std::size_t count) noexcept
    {
        if (count * sizeof(T) < LargePages::MinimumSize)
            std::allocator<T>().deallocate(block, count);
        else
            LargePages::Free(block, count * sizeof(T));
    }

    template<class U>
    bool operator==(const TLargePageAllocator<U> &) const noexcept
    {
        return true;
    }
};
