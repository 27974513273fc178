#pragma once

#include <initializer_list>

// A set of the values of a small enumeration, written as a brace list: {cbYes, cbNo}.
template<typename E>
class EnumSet
{
public:
    constexpr EnumSet() = default;
    constexpr EnumSet(std::initializer_list<E> values)
    {
        for (E value : values)
            FBits |= bit(value);
    }

    constexpr bool contains(E value) const { return FBits & bit(value); }
    constexpr bool isEmpty() const { return FBits == 0; }
    constexpr EnumSet &operator<<(E value)
    {
        FBits |= bit(value);
        return *this;
    }
    friend constexpr bool operator==(EnumSet, EnumSet) = default;

private:
    static constexpr unsigned bit(E value) { return 1u << static_cast<unsigned>(value); }

    unsigned FBits = 0;
};
