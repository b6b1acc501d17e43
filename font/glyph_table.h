// The built-in 14-dot font: one 28-byte glyph per cell of the grid.
#pragma once

#include <array>
#include <cstdint>

#include "charset/charset.h"

namespace glyfor {

inline constexpr int kGlyphSize = 28;
inline constexpr int kGlyphColumns = 14;
inline constexpr int kGlyphRows = 16;
// 14 columns left to right, each a little-endian 16-bit word whose bit y is pixel row y from
// the top; rows 0..14 are used, bit 15 is always 0.
using Glyph = std::array<std::uint8_t, kGlyphSize>;

extern const std::array<Glyph, kCellCount> kGlyphTable;

inline const Glyph& glyph_bytes(cell c) {
    return kGlyphTable[static_cast<std::size_t>(c)];
}

// Whether column x (0..13) and row y (0..15) of the glyph has ink.
inline bool glyph_pixel(const Glyph& glyph, int x, int y) {
    const unsigned word =
        glyph[static_cast<std::size_t>(2 * x)] | glyph[static_cast<std::size_t>(2 * x + 1)] << 8;
    return (word >> y & 1u) != 0;
}

// A glyph line of the generated file holds the glyph as the firmware draws it: two 7-column
// halves, each as its upper then its lower 8 pixel rows. Value i of the line is byte
// kGlyphLineOrder[i] of the glyph.
inline constexpr std::array<std::uint8_t, kGlyphSize> kGlyphLineOrder = {
    0,  2,  4,  6,  8,  10, 12,  // columns 0..6, rows 0..7
    1,  3,  5,  7,  9,  11, 13,  // columns 0..6, rows 8..15
    14, 16, 18, 20, 22, 24, 26,  // columns 7..13, rows 0..7
    15, 17, 19, 21, 23, 25, 27,  // columns 7..13, rows 8..15
};

}  // namespace glyfor
