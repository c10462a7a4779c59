// Where a module is playing: the order (the place in the module's order list)
// and the row of the pattern played there.
//
// The music layer reports it packed into 32 bits, order in the low 16 and
// row in the high 16 (BASSMOD_MusicGetPosition's packing); all-ones means "no
// module". Everything that packs or reads a position does it here.
#pragma once

#include <cstdint>

namespace demo {

struct MusicPosition {
    std::uint32_t order = 0;
    std::uint32_t row = 0;

    static constexpr MusicPosition unpack(std::uint32_t packed) {
        return {packed & 0xFFFFu, packed >> 16};
    }
    constexpr std::uint32_t packed() const { return (order & 0xFFFFu) | (row & 0xFFFFu) << 16; }
    constexpr bool operator==(const MusicPosition& other) const {
        return order == other.order && row == other.row;
    }
    constexpr bool operator!=(const MusicPosition& other) const { return !(*this == other); }
};

// The packed value that means "no module": every bit set.
constexpr std::uint32_t noModulePosition = 0xFFFFFFFFu;

}  // namespace demo
