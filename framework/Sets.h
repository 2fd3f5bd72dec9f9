// Sets of enumeration members as the class framework keeps them: bit n of the
// storage stands for the member with ordinal n.
#pragma once

#include <cstdint>

namespace vardak {

template <class Member, class Storage = uint32_t>
struct TSet {
    Storage bits = 0;

    constexpr bool contains(Member member) const { return (bits >> static_cast<unsigned>(member)) & 1u; }
    constexpr void include(Member member) { bits = static_cast<Storage>(bits | 1u << static_cast<unsigned>(member)); }
    constexpr bool empty() const { return bits == 0; }
    friend constexpr bool operator==(TSet, TSet) = default;
};

}  // namespace vardak
