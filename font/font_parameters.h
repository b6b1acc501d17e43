// What the #define lines of a generated font source file say about it.
#pragma once

#include <cstdint>

namespace glyfor {

// The glyphs one array holds at the most: 2304 x 28 bytes fit one 64 KB segment.
inline constexpr int kGlyphsPerPage = 2304;

struct FontParameters {
    std::int32_t index_method = 0;  // FONT_KANJI_INDEX: 0 search, 1 lookup, 2 none
    std::int32_t count = 0;         // FONT_KANJI_NUM
    std::int32_t min_code = 0;      // FONT_KANJI_MIN
    std::int32_t max_code = 0;      // FONT_KANJI_MAX
    std::int32_t pages = 0;         // FONT_KANJI_PAGE
    std::int32_t size = 0;          // FONT_KANJI_SIZE
    std::int32_t unit = 0;          // FONT_KANJI_UNIT
};

}  // namespace glyfor
