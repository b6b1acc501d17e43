#include "charset/charset.h"

#include <gtest/gtest.h>

#include <string>

#include "app/state.h"
#include "tests/text_support.h"

namespace glyfor {
namespace {

std::string sjis(cell c) {
    const SjisCode code = sjis_from_cell(c);
    return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

TEST(CellGrid, ConvertsTheExampleCells) {
    struct Case {
        cell c;
        SjisCode code;
    };
    const Case cases[] = {
        {0, 0x8140},  {94, 0x819F}, {1410, 0x889F}, {62 * 94, 0xE040},      {8835, 0xEFFC},
        {63, 0x8180}, {62, 0x817E}, {95, 0x81A0},   {61 * 94 + 93, 0x9FFC},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(sjis_from_cell(k.c), k.code) << "cell " << k.c;
        EXPECT_EQ(cell_from_sjis(k.code >> 8, k.code & 0xFF), k.c) << std::hex << k.code;
    }
}

TEST(CellGrid, EveryCellRoundTripsThroughAcceptedBytes) {
    for (cell c = 0; c < kCellCount; ++c) {
        const SjisCode code = sjis_from_cell(c);
        ASSERT_TRUE(is_lead_byte(code >> 8)) << c;
        ASSERT_TRUE(is_trail_byte(code & 0xFF)) << c;
        ASSERT_EQ(cell_from_sjis(code >> 8, code & 0xFF), c);
    }
}

TEST(ByteClasses, AcceptOnlyTheListedRanges) {
    int leads = 0;
    int trails = 0;
    for (int b = 0; b < 256; ++b) {
        leads += is_lead_byte(static_cast<unsigned char>(b)) ? 1 : 0;
        trails += is_trail_byte(static_cast<unsigned char>(b)) ? 1 : 0;
    }
    EXPECT_EQ(leads, 47);
    EXPECT_EQ(trails, 188);
    for (const int b : {0x80, 0xA0, 0xA1, 0xDF, 0xF0, 0xFC, 0xFF})
        EXPECT_FALSE(is_lead_byte(b)) << b;
    for (const int b : {0x00, 0x20, 0x3F, 0x7F, 0xFD, 0xFF}) EXPECT_FALSE(is_trail_byte(b)) << b;
}

TEST(SetText, ParsesAndRebuildsTheCases) {
    struct Case {
        const char* name;
        std::string text;
        std::string rebuilt;
    };
    const Case cases[] = {
        {"duplicates collapse into JIS order", "\x88\x9F\x88\x9F\x82\xA0", "\x82\xA0\x88\x9F"},
        {"ASCII byte dropped", "A\x88\x9F", "\x88\x9F"},
        {"lead then 0x7F dropped", "\x88\x7F\x82\xA0", "\x82\xA0"},
        {"lead then blank dropped", "\x88\x20\x82\xA0", "\x82\xA0"},
        {"lead then 0xFD dropped", "\x88\xFD\x82\xA0", "\x82\xA0"},
        {"lead before the NUL", "\x82\xA0\x88", "\x82\xA0"},
        {"0xF0 dropped alone", "\xF0\x81\x40", "\x81\x40"},
        {"CR LF, katakana and 0x80/0xA0 dropped", "\r\n\xB1\x80\xA0\x88\x9F", "\x88\x9F"},
        {"empty row accepted", "\x85\x40", "\x85\x40"},
        {"empty text", "", ""},
    };
    for (const Case& k : cases) EXPECT_EQ(testing::canonical_text(k.text), k.rebuilt) << k.name;
}

TEST(SetText, BreaksTheLineAfterEveryThirtiethCharacter) {
    std::string thirty;
    for (cell c = 1410; c < 1440; ++c) thirty += sjis(c);
    EXPECT_EQ(testing::canonical_text(thirty), thirty + "\r\n");

    const std::string thirty_one = thirty + sjis(1440);
    EXPECT_EQ(testing::canonical_text(thirty_one), thirty + "\r\n" + sjis(1440));
}

TEST(SetText, TheFullGridFitsItsBound) {
    KanjiSet all;
    all.flags.fill(1);
    std::string text(kMaxSetTextSize, '\0');
    EXPECT_EQ(build_set_text(all, text.data()) + 1, kMaxSetTextSize);
    EXPECT_LE(kMaxSetTextSize, kTextSize);
    EXPECT_EQ(count_set(all), kCellCount);
    KanjiSet back;
    parse_set_text(text.c_str(), back);
    EXPECT_EQ(back.flags, all.flags);
}

}  // namespace
}  // namespace glyfor
