// The built-in 14-dot font: one 28-byte glyph per cell of the grid.
#pragma once

#include <array>
#include <cstdint>

#include "charset/charset.h"

namespace glyfor {

inline constexpr int kGlyphSize = 28;
// 14 columns left to right, each a little-endian 16-bit word whose bit y is pixel row y from
// the top; rows 0..14 are used, bit 15 is always 0.
using Glyph = std::array<std::uint8_t, kGlyphSize>;

extern const std::array<Glyph, kCellCount> kGlyphTable;

inline const Glyph& glyph_bytes(cell c) { return kGlyphTable[static_cast<std::size_t>(c)]; }

}  // namespace glyfor
