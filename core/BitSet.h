// Bit sets with a type of their own: a plain enum of named bits, marked with
// VANTOR_BIT_SET, combines with | & ~ into a value of the same enum, so that a set of one
// kind is never taken for a number or for a set of another kind, while `if (set & BIT)`
// still reads as a test.
#ifndef VANTOR_BITSET_H
#define VANTOR_BITSET_H

#include <type_traits>

template <typename Bits>
struct IsBitSet : std::false_type {};

// Declares Bits (an enum with a fixed underlying type) a bit set.
#define VANTOR_BIT_SET(Bits)                                                                       \
    template <>                                                                                    \
    struct IsBitSet<Bits> : std::true_type {}

template <typename Bits, typename = std::enable_if_t<IsBitSet<Bits>::value>>
constexpr Bits operator|(Bits a, Bits b)
{
    using Word = std::underlying_type_t<Bits>;
    return static_cast<Bits>(static_cast<Word>(a) | static_cast<Word>(b));
}

template <typename Bits, typename = std::enable_if_t<IsBitSet<Bits>::value>>
constexpr Bits operator&(Bits a, Bits b)
{
    using Word = std::underlying_type_t<Bits>;
    return static_cast<Bits>(static_cast<Word>(a) & static_cast<Word>(b));
}

template <typename Bits, typename = std::enable_if_t<IsBitSet<Bits>::value>>
constexpr Bits operator~(Bits a)
{
    using Word = std::underlying_type_t<Bits>;
    return static_cast<Bits>(static_cast<Word>(~static_cast<Word>(a)));
}

template <typename Bits, typename = std::enable_if_t<IsBitSet<Bits>::value>>
Bits& operator|=(Bits& a, Bits b)
{
    return a = a | b;
}

template <typename Bits, typename = std::enable_if_t<IsBitSet<Bits>::value>>
Bits& operator&=(Bits& a, Bits b)
{
    return a = a & b;
}

#endif
