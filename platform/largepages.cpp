#include "platform/largepages.h"

#include <QtGlobal>

#include <cstdint>
#include <cstdlib>

#ifndef Q_OS_WIN
#include <sys/mman.h>
#include <sys/prctl.h>
#endif

#ifdef Q_OS_WIN

namespace LargePages {

// Large pages need a privilege that programs do not have: ordinary heap blocks.
void *Allocate(std::size_t bytes)
{
    return std::calloc(1, bytes);
}

void Free(void *block, std::size_t)
{
    std::free(block);
}

void Advise(void *, std::size_t) { }

void ForgoForProcess() { }

} // namespace LargePages

#else

namespace {

constexpr std::uintptr_t PageSize = LargePages::MinimumSize;

std::size_t roundUp(std::size_t bytes)
{
    return (bytes + PageSize - 1) & ~(PageSize - 1);
}

} // namespace

namespace LargePages {

// The mapping is made one large page longer and cut to a boundary of one, since only whole
// aligned large pages can back it.
void *Allocate(std::size_t bytes)
{
    const std::size_t size = roundUp(bytes);
    const std::size_t mapped = size + PageSize;
    void *start
        = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (start == MAP_FAILED)
        return nullptr;
    const auto begin = reinterpret_cast<std::uintptr_t>(start);
    const std::uintptr_t aligned = (begin + PageSize - 1) & ~(PageSize - 1);
    if (aligned > begin)
        ::munmap(start, aligned - begin);
    if (const std::size_t tail = begin + mapped - (aligned + size); tail > 0)
        ::munmap(reinterpret_cast<void *>(aligned + size), tail);
    auto *block = reinterpret_cast<void *>(aligned);
#ifdef MADV_HUGEPAGE
    ::madvise(block, size, MADV_HUGEPAGE);
#endif
    return block;
}

void Free(void *block, std::size_t bytes)
{
    if (block)
        ::munmap(block, roundUp(bytes));
}

void Advise(void *data, std::size_t bytes)
{
#ifdef MADV_HUGEPAGE
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + PageSize - 1) & ~(PageSize - 1);
    const std::uintptr_t last = (begin + bytes) & ~(PageSize - 1);
    if (last > first)
        ::madvise(reinterpret_cast<void *>(first), last - first, MADV_HUGEPAGE);
#else
    Q_UNUSED(data);
    Q_UNUSED(bytes);
#endif
}

void ForgoForProcess()
{
    ::prctl(PR_SET_THP_DISABLE, 1, 0, 0, 0);
}

} // namespace LargePages

#endif
