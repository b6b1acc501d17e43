#include "font/glyph_table.h"

#include <gtest/gtest.h>

#include <vector>

#include "charset/charset.h"

namespace glyfor {
namespace {

struct KnownGlyph {
    SjisCode code;
    cell expected_cell;
    Glyph bytes;
};

// The first level-1 kanji and the full-width capital A, as they must reach the firmware.
const KnownGlyph kKnownGlyphs[] = {
    // 亜
    {0x889F, 1410, {0x00, 0x00, 0x04, 0x20, 0xE4, 0x27, 0x24, 0x22, 0x24, 0x22,
                    0xFC, 0x3F, 0x24, 0x22, 0x24, 0x22, 0xFC, 0x3F, 0x24, 0x22,
                    0x24, 0x22, 0xE4, 0x27, 0x04, 0x20, 0x00, 0x00}},
    // Ａ
    {0x8260, 220, {0x00, 0x00, 0x00, 0x10, 0x00, 0x10, 0x00, 0x1C, 0x00, 0x13,
                   0xC0, 0x02, 0x30, 0x02, 0x3C, 0x02, 0xF0, 0x02, 0xC0, 0x13,
                   0x00, 0x1F, 0x00, 0x1C, 0x00, 0x10, 0x00, 0x00}},
};

TEST(GlyphTable, KnownGlyphsMatchByteForByte) {
    for (const KnownGlyph& known : kKnownGlyphs) {
        SCOPED_TRACE(known.code);
        cell c = cell_from_sjis(known.code >> 8, known.code & 0xFF);
        ASSERT_EQ(c, known.expected_cell);
        EXPECT_EQ(glyph_bytes(c), known.bytes);
    }
}

// Every cell has a glyph except the ideographic space and the gaps the font leaves in the
// non-kanji rows; a cell mapped to the wrong font character would show up here too.
TEST(GlyphTable, ExactlyTheFortyKnownCellsAreBlank) {
    struct CodeRange {
        SjisCode first;
        SjisCode last;
    };
    const CodeRange kBlankRanges[] = {
        {0x8140, 0x8140}, {0x82FA, 0x82FC}, {0x84DD, 0x84E4}, {0x84FB, 0x84FC}, {0x86F2, 0x86FA},
        {0x8777, 0x877D}, {0x8790, 0x8792}, {0x8794, 0x8797}, {0x879A, 0x879C},
    };
    std::vector<cell> expected;
    for (const CodeRange& range : kBlankRanges)
        for (int code = range.first; code <= range.last; ++code)
            expected.push_back(cell_from_sjis(code >> 8, code & 0xFF));
    ASSERT_EQ(expected.size(), 40u);

    std::vector<cell> blank;
    for (cell c = 0; c < kCellCount; ++c)
        if (glyph_bytes(c) == Glyph{}) blank.push_back(c);
    EXPECT_EQ(blank, expected);
}

// Bit 15 of each column word is the high byte's top bit; the firmware draws only rows 0..14.
TEST(GlyphTable, NoGlyphUsesTheSixteenthRow) {
    for (cell c = 0; c < kCellCount; ++c) {
        const Glyph& glyph = glyph_bytes(c);
        for (int x = 0; x < kGlyphSize / 2; ++x)
            ASSERT_EQ(glyph[static_cast<std::size_t>(2 * x + 1)] & 0x80, 0)
                << "cell " << c << " column " << x;
    }
}

}  // namespace
}  // namespace glyfor
