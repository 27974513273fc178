#pragma once

#include "checkstate/blockslabs.h"

#include <memory>
#include <stdexcept>
#include <type_traits>
#include <typeinfo>
#include <utility>
#include <vector>

// The entries the owner of a tree attaches to its nodes (loading attaches one to every top-level
// node). They sit side by side in blocks of many, not in a heap block each, and a node refers to
// its entry by number. All entries of a tree are of one type, the type of the first entry added
// since the store was last empty. A released entry is reset at once (its strings are freed); its
// place is taken again after the next Clear, which keeps the blocks for the next load.
class TCheckTreeEntries
{
public:
    TCheckTreeEntries();
    ~TCheckTreeEntries();
    TCheckTreeEntries(const TCheckTreeEntries &) = delete;
    TCheckTreeEntries &operator=(const TCheckTreeEntries &) = delete;

    // Stores the entry and returns its number.
    template<class T>
    int Add(T &&entry)
    {
        using TEntry = std::decay_t<T>;
        if (!FStore || (FStore->Count() == 0 && FStore->Type() != typeid(TEntry)))
            FStore = std::make_unique<TBlocks<TEntry>>();
        else if (FStore->Type() != typeid(TEntry))
            throw std::logic_error("the entries of one tree are of one type");
        return static_cast<TBlocks<TEntry> &>(*FStore).Add(std::forward<T>(entry));
    }

    // The entry of this number, or nullptr when there is none or it is of another type.
    template<class T>
    const T *At(int number) const
    {
        if (number < 0 || !FStore || FStore->Type() != typeid(T))
            return nullptr;
        return &static_cast<const TBlocks<T> &>(*FStore).At(number);
    }

    void Release(int number);
    void Clear();

private:
    class TStore
    {
    public:
        virtual ~TStore() = default;
        virtual const std::type_info &Type() const = 0;
        virtual int Count() const = 0;
        virtual void Release(int number) = 0;
        virtual void Clear() = 0;
    };

    template<class T>
    class TBlocks final : public TStore
    {
    public:
        const std::type_info &Type() const override { return typeid(T); }
        int Count() const override { return FCount; }

        TBlocks() = default;
        ~TBlocks() override
        {
            for (T *block : FBlocks) {
                if (block)
                    std::destroy_n(block, BlockSize);
            }
        }
        TBlocks(const TBlocks &) = delete;
        TBlocks &operator=(const TBlocks &) = delete;

        int Add(T entry)
        {
            if (std::size_t(FCount) == FBlocks.size() * BlockSize) {
                // Listed empty first, so that a block whose entries exist is always listed and
                // destroyed with the store.
                FBlocks.push_back(nullptr);
                try {
                    auto *block = static_cast<T *>(FMemory.Take());
                    std::uninitialized_value_construct_n(block, BlockSize);
                    FBlocks.back() = block;
                } catch (...) {
                    FBlocks.pop_back();
                    throw;
                }
            }
            Slot(FCount) = std::move(entry);
            return FCount++;
        }
        const T &At(int number) const { return Slot(number); }
        void Release(int number) override { Slot(number) = T(); }
        void Clear() override
        {
            for (int i = 0; i < FCount; ++i)
                Slot(i) = T();
            FCount = 0;
        }

    private:
        // Blocks of 1024 stay below the size from which the allocator maps memory of its own
        // (and hands it back to the system at once) for entries of up to 128 bytes.
        static constexpr std::size_t BlockSize = 1024;
        static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);
        T &Slot(int number) const
        {
            return FBlocks[std::size_t(number) / BlockSize][std::size_t(number) % BlockSize];
        }

        TBlockSlabs FMemory{BlockSize * sizeof(T)};
        std::vector<T *> FBlocks;
        int FCount = 0;
    };

    std::unique_ptr<TStore> FStore;
};
