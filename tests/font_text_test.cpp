// The firmware's text drawer and half-width font, as C89 objects of one byte form: this program
// is built twice, against the unsigned and the signed build of firmware/ (the Kanji file
// generated with and without --signed, font_ank.c with and without FONT_ANK_SIGNED, and plain
// char to match), and both must draw the same pixels. The expected pixels come from outside the
// firmware: the half-width glyphs from a golden picture of the BDF fonts, the Kanji from the
// built-in glyph table.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "charset/charset.h"
#include "font/glyph_table.h"

extern "C" {
#include "firmware/font_ank.h"
#include "firmware/font_kanji.h"
#include "firmware/font_text.h"
}

namespace {

// The two kanji of the test font (tests/fixtures/font_text_kanji.txt), and one it lacks.
const std::string kKan = "\x8A\xBF";      // 漢 0x8ABF
const std::string kJi = "\x8E\x9A";       // 字 0x8E9A
const std::string kMissing = "\x88\x9F";  // 亜 0x889F

struct Frame {
    Frame(int w, int h) : width(w), height(h), bytes(static_cast<std::size_t>((w + 7) / 8 * h)) {}
    int width;
    int height;
    // Exactly the frame's size, so that AddressSanitizer stops a write past its end.
    std::vector<unsigned char> bytes;
};

std::string picture(const Frame& frame) {
    const int stride = (frame.width + 7) / 8;
    std::string out;
    for (int y = 0; y < frame.height; ++y) {
        // Every bit of the row, the padding of its last byte after a '|'.
        for (int x = 0; x < stride * 8; ++x) {
            if (x == frame.width) out += '|';
            const unsigned char byte = frame.bytes[static_cast<std::size_t>(y * stride + x / 8)];
            out += (byte >> (7 - x % 8) & 1) != 0 ? '#' : '.';
        }
        out += '\n';
    }
    return out;
}

// A cell the text should put in the frame: a single byte, or a double-byte code.
struct Cell {
    int x;
    int y;
    unsigned code;
};

// The ink of a cell's own pixel (gx, gy), from outside the drawer.
bool model_ink(const Cell& cell, long long gx, long long gy) {
    if (cell.code < 0x100) {
        if (gx < 0 || gx >= FONT_ANK_WIDTH || gy < 0 || gy >= FONT_ANK_HEIGHT) return false;
        // The glyph pictures of the half-width font are checked against the golden file.
        return font_ank_pixel(font_ank_glyph(static_cast<unsigned char>(cell.code)),
                              static_cast<int>(gx), static_cast<int>(gy)) != 0;
    }
    if (gx < 0 || gx >= glyfor::kGlyphColumns || gy < 0 || gy >= glyfor::kGlyphRows) return false;
    if (font_kanji_glyph(static_cast<unsigned short>(cell.code)) == nullptr) return false;
    const glyfor::cell c = glyfor::cell_from_sjis(static_cast<unsigned char>(cell.code >> 8),
                                                  static_cast<unsigned char>(cell.code & 0xFF));
    return glyfor::glyph_pixel(glyfor::glyph_bytes(c), static_cast<int>(gx), static_cast<int>(gy));
}

// The frame with the cells drawn pixel by pixel of the frame, which clips by itself: the
// padding bits at the end of each row stay blank.
Frame model_frame(int width, int height, const std::vector<Cell>& cells) {
    Frame frame(width, height);
    const int stride = (width + 7) / 8;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (const Cell& cell : cells) {
                if (!model_ink(cell, static_cast<long long>(x) - cell.x,
                               static_cast<long long>(y) - cell.y))
                    continue;
                frame.bytes[static_cast<std::size_t>(y * stride + x / 8)] |=
                    static_cast<unsigned char>(0x80 >> (x % 8));
            }
        }
    }
    return frame;
}

struct DrawCase {
    const char* name;
    int width;
    int height;
    int x;
    int y;
    std::string text;
    std::vector<Cell> cells;
    int end_x;
};

void PrintTo(const DrawCase& c, std::ostream* os) {
    *os << c.name;
}

class FontTextDraw : public ::testing::TestWithParam<DrawCase> {};

TEST_P(FontTextDraw, PutsEachCellWhereTheLayoutSaysAndClipsAtTheFrame) {
    const DrawCase& c = GetParam();
    Frame frame(c.width, c.height);
    const int end = font_text_draw(frame.bytes.data(), c.width, c.height, c.x, c.y, c.text.c_str());
    const Frame expected = model_frame(c.width, c.height, c.cells);
    EXPECT_EQ(end, c.end_x);
    EXPECT_EQ(picture(frame), picture(expected));
    // One line: the width is how far the drawer moved.
    if (c.text.find('\n') == std::string::npos && c.x == 0) {
        EXPECT_EQ(font_text_width(c.text.c_str()), c.end_x);
    }
}

// 'A' has ink in columns 0..5 and rows 3..12; 漢 and 字 reach columns 0..13 and rows 1..14.
INSTANTIATE_TEST_SUITE_P(
    Cases, FontTextDraw,
    ::testing::Values(
        DrawCase{"mixed_line",
                 64,
                 18,
                 2,
                 1,
                 "A" + kKan + "\xB1" + "1",
                 {{2, 1, 'A'}, {9, 1, 0x8ABF}, {23, 1, 0xB1}, {30, 1, '1'}},
                 37},
        DrawCase{"from_the_origin",
                 40,
                 16,
                 0,
                 0,
                 kJi + "g_",
                 {{0, 0, 0x8E9A}, {14, 0, 'g'}, {21, 0, '_'}},
                 28},
        // LF goes back to the first x, 16 rows down; CR takes no room.
        DrawCase{"line_breaks",
                 40,
                 50,
                 3,
                 0,
                 "AB\n" + kKan + "\r\nx\r",
                 {{3, 0, 'A'}, {10, 0, 'B'}, {3, 16, 0x8ABF}, {3, 32, 'x'}},
                 10},
        DrawCase{"empty_lines", 20, 50, 1, 0, "\n\nA\n", {{1, 32, 'A'}}, 1},
        // A code the font lacks and a user-defined code are blank 14-dot cells; bytes without
        // a glyph blank 7-dot ones.
        DrawCase{"blank_kanji_cells",
                 64,
                 16,
                 0,
                 0,
                 kMissing + "A\xF0\x40" + "B",
                 {{14, 0, 'A'}, {35, 0, 'B'}},
                 42},
        DrawCase{"blank_byte_cells",
                 64,
                 16,
                 0,
                 0,
                 "\x01\x7F\x80\xA0\xFD\xFF"
                 "A",
                 {{42, 0, 'A'}},
                 49},
        // The byte after a lead byte is its trail byte, whatever it is, even LF.
        DrawCase{"lead_byte_takes_any_trail", 40, 34, 0, 0, "\x88\nA", {{14, 0, 'A'}}, 21},
        DrawCase{"lead_byte_before_nul_ends_the_text", 40, 16, 0, 0, "A\x88", {{0, 0, 'A'}}, 7},
        // The four edges, in a width that leaves padding bits in the last byte of a row.
        DrawCase{"left_edge", 21, 16, -5, 0, kKan + "A", {{-5, 0, 0x8ABF}, {9, 0, 'A'}}, 16},
        DrawCase{"left_edge_whole_cells_out",
                 21,
                 16,
                 -20,
                 0,
                 "AB" + kJi + "C",
                 {{-20, 0, 'A'}, {-13, 0, 'B'}, {-6, 0, 0x8E9A}, {8, 0, 'C'}},
                 15},
        DrawCase{"left_edge_last_inked_column", 8, 16, -5, 0, "A", {{-5, 0, 'A'}}, 2},
        DrawCase{"right_edge", 13, 16, 4, 0, "A" + kKan, {{4, 0, 'A'}, {11, 0, 0x8ABF}}, 25},
        DrawCase{"right_edge_last_column", 12, 16, 11, 0, kKan, {{11, 0, 0x8ABF}}, 25},
        DrawCase{"top_edge", 30, 10, 1, -5, kJi + "A", {{1, -5, 0x8E9A}, {15, -5, 'A'}}, 22},
        DrawCase{"top_edge_second_line_enters",
                 30,
                 20,
                 0,
                 -12,
                 "A\n" + kKan,
                 {{0, -12, 'A'}, {0, 4, 0x8ABF}},
                 14},
        DrawCase{"bottom_edge", 30, 9, 2, 3, "A" + kJi, {{2, 3, 'A'}, {9, 3, 0x8E9A}}, 23},
        DrawCase{
            "bottom_edge_second_line_cut", 30, 21, 0, 0, "A\nA", {{0, 0, 'A'}, {0, 16, 'A'}}, 7},
        DrawCase{"all_four_edges", 10, 6, -3, -5, kKan, {{-3, -5, 0x8ABF}}, 11},
        // Nowhere near the frame: nothing drawn, and no sum overflows.
        DrawCase{"far_left_and_up", 16, 16, INT_MIN, INT_MIN, "A" + kKan + "\nB", {}, INT_MIN + 7},
        DrawCase{"far_right_and_down",
                 16,
                 16,
                 INT_MAX - 30,
                 INT_MAX - 20,
                 "AB\nC" + kKan,
                 {},
                 INT_MAX - 9},
        // The x is held at INT_MAX instead of overflowing, and so is the y of a new line.
        DrawCase{"x_held_at_int_max", 16, 16, INT_MAX - 10, 0, "ABC", {}, INT_MAX},
        DrawCase{"y_held_at_int_max", 16, 16, 0, INT_MAX - 3, "A\nB\nC", {}, 7}),
    [](const ::testing::TestParamInfo<DrawCase>& info) { return std::string(info.param.name); });

TEST(FontTextDraw, OrsInkIntoWhatTheFrameHolds) {
    Frame frame(16, 16);
    for (std::size_t i = 0; i < frame.bytes.size(); ++i)
        frame.bytes[i] = static_cast<unsigned char>(i % 3 == 0 ? 0x81 : 0);
    Frame expected = model_frame(16, 16, {{1, 0, 'A'}});
    for (std::size_t i = 0; i < frame.bytes.size(); ++i) expected.bytes[i] |= frame.bytes[i];
    font_text_draw(frame.bytes.data(), 16, 16, 1, 0, "A");
    EXPECT_EQ(picture(frame), picture(expected));
}

// A frame without pixels is never touched, whatever the text, and the x still moves on.
TEST(FontTextDraw, FrameWithoutPixelsIsNotTouched) {
    const struct {
        int width;
        int height;
    } sizes[] = {{0, 16}, {16, 0}, {-8, 16}, {16, -1}, {INT_MIN, INT_MIN}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height));
        EXPECT_EQ(font_text_draw(nullptr, size.width, size.height, 0, 0, "A\x8A\xBF\nB"), 7);
    }
}

// The frame's layout itself, by hand: rows of (width + 7) / 8 bytes, the leftmost pixel in
// the high bit. 'A' at x 3 in a frame 9 wide, its rows 3..6 below the top edge.
TEST(FontTextDraw, FrameLayoutByHand) {
    Frame frame(9, 4);
    font_text_draw(frame.bytes.data(), 9, 4, 3, -3, "A");
    const std::vector<unsigned char> expected = {
        0x06, 0x00,  // .....##. ........  ..##...
        0x09, 0x00,  // ....#..# ........  .#..#..
        0x10, 0x80,  // ...#.... #.......  #....#.  its column 5 in pixel 8
        0x10, 0x80,  // ...#.... #.......  #....#.
    };
    EXPECT_EQ(frame.bytes, expected) << picture(frame);
}

TEST(FontTextWidth, IsTheWidestLineAsTheDrawerLaysItOut) {
    const struct {
        std::string text;
        int width;
    } cases[] = {
        {"", 0},
        {"A", 7},
        {kKan + "A", 21},
        {"AB\nCDE\n", 21},
        {"ABC\n" + kKan, 21},
        {kKan + "\r\n", 14},
        {"\r\r", 0},
        {"A\x88", 7},
        {"\xF0\x40"
         "A",
         21},
        {kMissing, 14},
        {"\x88\nA", 21},
        {"\x01\x80\xA0\xFD", 28},
    };
    for (const auto& c : cases)
        EXPECT_EQ(font_text_width(c.text.c_str()), c.width) << '"' << c.text << '"';
}

// The half-width glyphs, every pixel of the box and around it, against the golden picture made
// from the BDF fonts: 0x20..0x7E from 7x14, 0xA1..0xDF from 7x14-JISX0201.1976-0.
TEST(FontAnk, GlyphsAreTheFontsAndOtherBytesHaveNone) {
    std::ifstream file(GLYFOR_GOLDEN_DIR "/font_ank.txt", std::ios::binary);
    ASSERT_TRUE(file) << "cannot read font_ank.txt";
    std::stringstream golden;
    golden << file.rdbuf();
    std::string drawn;
    for (int c = 0; c < 256; ++c) {
        const char* glyph = font_ank_glyph(static_cast<unsigned char>(c));
        const bool in_font = (c >= 0x20 && c <= 0x7E) || (c >= 0xA1 && c <= 0xDF);
        EXPECT_EQ(glyph != nullptr, in_font) << "byte " << c;
        if (glyph == nullptr) continue;
        char code[8];
        std::snprintf(code, sizeof code, "0x%02X\n", static_cast<unsigned>(c));
        drawn += code;
        for (int y = -1; y <= FONT_ANK_HEIGHT; ++y) {
            for (int x = -1; x <= FONT_ANK_WIDTH; ++x) {
                const bool ink = font_ank_pixel(glyph, x, y) != 0;
                const bool in_box = x >= 0 && x < FONT_ANK_WIDTH && y >= 0 && y < FONT_ANK_HEIGHT;
                if (!in_box) {
                    EXPECT_FALSE(ink) << "byte " << c << " has ink at " << x << "," << y;
                    continue;
                }
                drawn += ink ? '#' : '.';
            }
            if (y >= 0 && y < FONT_ANK_HEIGHT) drawn += '\n';
        }
    }
    EXPECT_EQ(drawn, golden.str());
    EXPECT_EQ(font_ank_pixel(nullptr, 3, 5), 0);
}

// The cells the draw tests count as blank must really be missing, and the others there.
TEST(FontKanji, TestFontHoldsItsTwoKanjiOnly) {
    EXPECT_NE(font_kanji_glyph(0x8ABF), nullptr);
    EXPECT_NE(font_kanji_glyph(0x8E9A), nullptr);
    EXPECT_EQ(font_kanji_glyph(0x889F), nullptr);
    EXPECT_EQ(font_kanji_glyph(0xF040), nullptr);
    EXPECT_EQ(font_kanji_glyph(0x880A), nullptr);
}

}  // namespace
