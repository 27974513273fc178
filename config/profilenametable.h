#pragma once

#include "platform/largepages.h"

#include <QtGlobal>

#include <optional>
#include <vector>

// A hash table of entry numbers whose names live elsewhere (in a control file's bytes). It keeps
// only each entry's number and hash, so that a name is never copied; the caller's comparison
// decides between entries of the same hash. Open addressing in one array: no allocation per
// entry.
class TProfileNameTable
{
public:
    // Makes room for `count` entries, so that adding them does not grow the table again.
    void reserve(qsizetype count)
    {
        const size_t size = sizeFor(count);
        if (size > FSlots.size())
            rehash(size);
    }

    // Forgets every entry and makes room for `count` new ones, in the memory the table has when
    // it is large enough.
    void reset(qsizetype count)
    {
        FSlots.assign(sizeFor(count), Slot{});
        FCount = 0;
    }

    // The entry of this hash that `equal(entry)` accepts.
    template<class Equal>
    std::optional<quint32> find(quint32 hash, Equal &&equal) const
    {
        if (FSlots.empty())
            return std::nullopt;
        const size_t mask = FSlots.size() - 1;
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            const Slot &slot = FSlots[i];
            if (slot.entry == 0)
                return std::nullopt;
            if (slot.hash == hash && equal(slot.entry - 1))
                return slot.entry - 1;
        }
    }

    // Adds the entry; the caller has made sure that find() knows no equal one.
    void add(quint32 hash, quint32 entry)
    {
        if ((FCount + 1) * 4 > FSlots.size() * 3)
            rehash(FSlots.empty() ? 16 : FSlots.size() * 2);
        place(hash, entry + 1);
        ++FCount;
    }

private:
    struct Slot
    {
        quint32 hash = 0;
        quint32 entry = 0; // entry number + 1; 0 marks a free slot
    };

    static size_t sizeFor(qsizetype count)
    {
        size_t size = 16;
        while (size * 3 < size_t(count) * 4)
            size *= 2;
        return size;
    }

    void place(quint32 hash, quint32 storedEntry)
    {
        const size_t mask = FSlots.size() - 1;
        size_t i = hash & mask;
        while (FSlots[i].entry != 0)
            i = (i + 1) & mask;
        FSlots[i] = Slot{hash, storedEntry};
    }

    void rehash(size_t size)
    {
        Slots old(size);
        old.swap(FSlots);
        for (const Slot &slot : old) {
            if (slot.entry != 0)
                place(slot.hash, slot.entry);
        }
    }

    using Slots = std::vector<Slot, TLargePageAllocator<Slot>>;
    Slots FSlots;
    size_t FCount = 0;
};
