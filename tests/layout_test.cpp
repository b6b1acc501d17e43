#include "app/layout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "app/state.h"
#include "charset/charset.h"
#include "tests/test_support.h"

namespace glyfor {
namespace {

using testing::StateTest;

ControlDef row_of(int row) {
    return kControlTable[static_cast<std::size_t>(row)];
}

// Every label must be plain ASCII or whole Shift-JIS double-byte characters, or the window
// shows broken characters.
bool is_whole_sjis(const char* text) {
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
        if (*p < 0x80) continue;
        if (!is_lead_byte(p[0]) || !is_trail_byte(p[1])) return false;
        ++p;
    }
    return true;
}

TEST(ControlTableTest, RowsLieOnTheCanvasAndLabelledControlsHaveBothLabels) {
    const std::set<int> empty = {3, 4, 5, 13, 14, 16, 17, 18, 21, 22, 23, 24, 29};
    for (int row = 0; row < kControlRows; ++row) {
        SCOPED_TRACE(row);
        const ControlDef def = row_of(row);
        EXPECT_EQ(def.kind == kEmptyRow, empty.count(row) == 1);
        if (def.kind == kEmptyRow) continue;
        EXPECT_EQ(def.group, -1);
        EXPECT_LT(def.x1, def.x2);
        EXPECT_LT(def.y1, def.y2);
        // Every item starts on the canvas (the last check box reaches a tenth of a line below).
        EXPECT_LE(def.x2, kCanvasColumns * 10);
        EXPECT_LT(def.y1, kCanvasLines * 10);
        EXPECT_TRUE(is_whole_sjis(def.japanese));
        EXPECT_EQ(is_labelled(def), std::strlen(def.english) > 0);
        EXPECT_EQ(is_labelled(def), std::strlen(def.japanese) > 0);
    }
}

// A row placed over another hides it, or takes its clicks.
TEST(ControlTableTest, NoTwoItemsOverlap) {
    for (int a = 0; a < kControlRows; ++a) {
        const ControlDef p = row_of(a);
        if (p.kind == kEmptyRow) continue;
        for (int b = a + 1; b < kControlRows; ++b) {
            const ControlDef q = row_of(b);
            if (q.kind == kEmptyRow) continue;
            const bool apart = p.x2 <= q.x1 || q.x2 <= p.x1 || p.y2 <= q.y1 || q.y2 <= p.y1;
            EXPECT_TRUE(apart) << "rows " << a << " and " << b;
        }
    }
}

// The literals box sits on the line of the CC-RL box, below the registered count, and looks
// like the other options.
TEST(ControlTableTest, LiteralsCheckBoxIsAnOptionLikeTheOthers) {
    const ControlDef box = row_of(kOptionLiteralsRow);
    const ControlDef cc_rl = row_of(kOptionCcRlRow);
    EXPECT_EQ(box.style, cc_rl.style);
    EXPECT_EQ(box.y1, cc_rl.y1);
    EXPECT_EQ(box.y2, cc_rl.y2);
    EXPECT_EQ(box.x1, 20);
    EXPECT_EQ(box.x2, 240);
    EXPECT_LE(box.x2, cc_rl.x1);
    EXPECT_GE(box.y1, row_of(kRegisteredCountRow).y2);
    EXPECT_STREQ(label(box, 1), "String literals only");
}

TEST(ControlTableTest, LanguageButtonNamesTheLanguageItSwitchesTo) {
    EXPECT_STREQ(label(row_of(1), 0), "English");
    EXPECT_STREQ(label(row_of(1), 1), "Japanese");
    // 入力ファイル選択
    EXPECT_STREQ(label(row_of(6), 0),
                 "\x93\xFC\x97\xCD\x83\x74\x83\x40\x83\x43\x83\x8B\x91\x49\x91\xF0");
    EXPECT_STREQ(label(row_of(6), 1), "Input text file");
}

TEST(ControlTableTest, ClassesByKind) {
    struct Case {
        std::int32_t kind;
        const char* window_class;
        bool labelled;
        bool painted;
    };
    const Case cases[] = {
        {kEmptyRow, nullptr, false, false},       {kPaintLabel, nullptr, false, true},
        {kPaintSlot, nullptr, false, true},       {kPaintDecimal, nullptr, false, true},
        {kPaintHex, nullptr, false, true},        {kPaintEdge, nullptr, false, true},
        {kPushButton, "button", true, false},     {kRadioButton, "button", true, false},
        {kCheckBox, "button", true, false},       {kPlainButton, "button", true, false},
        {kStaticLabel, "static", true, false},    {kStaticSlot, "static", false, false},
        {kStaticDecimal, "static", false, false}, {kStaticHex, "static", false, false},
        {kEditSlot, "edit", false, false},        {5, nullptr, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        ControlDef def = {c.kind, -1, -1, 0, 0, 0, 10, 10, "", ""};
        if (c.window_class == nullptr) {
            EXPECT_EQ(control_class(def), nullptr);
        } else {
            EXPECT_STREQ(control_class(def), c.window_class);
        }
        EXPECT_EQ(is_labelled(def), c.labelled);
        EXPECT_EQ(is_painted(def), c.painted);
    }
}

TEST(CharMetricsTest, VariablePitchWidensTheAverageWidth) {
    struct Case {
        int average;
        int height;
        int leading;
        unsigned pitch;
        CharMetrics expected;
    };
    const Case cases[] = {
        {7, 16, 0, 0x27, {10, 16}},  // variable pitch (bit set): 7 x 3 / 2 = 10
        {8, 18, 0, 0x36, {8, 18}},   // fixed pitch (bit clear)
        {8, 16, 2, 0x31, {12, 18}},  // external leading adds to the line
        {5, 13, 1, 0x00, {5, 14}},
        {0, 0, 0, 0x01, {1, 1}},  // no metrics at all: one-pixel cells, never a zero divisor
    };
    for (const Case& c : cases) {
        const CharMetrics m = char_metrics_from(c.average, c.height, c.leading, c.pitch);
        EXPECT_EQ(m.char_width, c.expected.char_width) << c.average << " " << c.pitch;
        EXPECT_EQ(m.line_height, c.expected.line_height) << c.height << " " << c.leading;
    }
}

TEST(LayoutTest, FullCanvasOfAVariablePitchFontIs520PixelsWide) {
    const CharMetrics m = char_metrics_from(7, 16, 0, kVariablePitchBit);
    const ControlPlacement hash = control_placement(row_of(2), m, {0, 0});
    EXPECT_EQ(hash.x + hash.width, 520);
}

TEST(LayoutTest, ControlPlacementTruncatesEachProductOnItsOwn) {
    // 7 x 215 / 10 = 150 and 7 x 350 / 10 = 245: width 95, where 7 x 135 / 10 would give 94.
    const CharMetrics m = {7, 13};
    const ControlPlacement label = control_placement(row_of(9), m, {0, 0});
    EXPECT_EQ(label.x, 150);
    EXPECT_EQ(label.y, 33);
    EXPECT_EQ(label.width, 95);
    EXPECT_EQ(label.height, 13);
    // 13 x 5 / 10 = 6 and 13 x 17 / 10 = 22: height 16, not 13 x 12 / 10 = 15.
    const ControlPlacement english = control_placement(row_of(1), m, {0, 0});
    EXPECT_EQ(english.y, 6);
    EXPECT_EQ(english.height, 16);
}

TEST(LayoutTest, OffsetsShiftControlsByWholeCells) {
    const CharMetrics m = {10, 20};
    const ControlPlacement at_rest = control_placement(row_of(7), m, {0, 0});
    EXPECT_EQ(at_rest.x, 15);
    EXPECT_EQ(at_rest.y, 80);
    EXPECT_EQ(at_rest.width, 500);
    EXPECT_EQ(at_rest.height, 80);
    const ControlPlacement scrolled = control_placement(row_of(7), m, {-2, -3});
    EXPECT_EQ(scrolled.x, 15 - 20);
    EXPECT_EQ(scrolled.y, 80 - 60);
    EXPECT_EQ(scrolled.width, 500);
    EXPECT_EQ(scrolled.height, 80);
}

TEST(LayoutTest, CounterScrolledPartlyOffTheLeftIsNotDrawn) {
    const CharMetrics m = {10, 20};
    const ControlDef counter = row_of(8);  // 170 .. 210 tenths
    ASSERT_TRUE(is_painted(counter));
    const PixelRect at_rest = paint_rect(counter, m, {0, 0});
    EXPECT_EQ(at_rest.left, 170);
    EXPECT_EQ(at_rest.top, 52);
    EXPECT_EQ(at_rest.right, 210);
    EXPECT_EQ(at_rest.bottom, 72);
    EXPECT_TRUE(is_drawn(at_rest));
    EXPECT_TRUE(is_drawn(paint_rect(counter, m, {-17, 0})));  // left edge exactly at 0
    const PixelRect cut = paint_rect(counter, m, {-18, -1});
    EXPECT_EQ(cut.left, -10);
    EXPECT_EQ(cut.right, 30);  // still partly on the screen, yet left out
    EXPECT_EQ(cut.top, 32);
    EXPECT_FALSE(is_drawn(cut));
}

class PaintTextTest : public StateTest {};

TEST_F(PaintTextTest, CountersShowTheirSettings) {
    settings[kDetectedCount] = 1234;
    settings[kRegisteredCount] = -5;
    NumberText buffer{};
    EXPECT_STREQ(paint_text(row_of(8), 0, buffer), "1234");
    EXPECT_STREQ(paint_text(row_of(19), 1, buffer), "-5");
}

TEST_F(PaintTextTest, EveryPaintedKind) {
    settings[kMinCode] = 0x889F;
    set_slot(kSlotOutputPath, "C:\\out\\Glyfor.inc");
    NumberText buffer{};
    const ControlDef label_row = {kPaintLabel, -1, -1, 0, 0, 0, 10, 10, "ja", "en"};
    EXPECT_STREQ(paint_text(label_row, 0, buffer), "ja");
    EXPECT_STREQ(paint_text(label_row, 1, buffer), "en");
    const ControlDef slot_row = {kPaintSlot, kSlotOutputPath, -1, 0, 0, 0, 10, 10, "", ""};
    EXPECT_STREQ(paint_text(slot_row, 0, buffer), "C:\\out\\Glyfor.inc");
    const ControlDef hex_row = {kPaintHex, kMinCode, -1, 0, 0, 0, 10, 10, "", ""};
    EXPECT_STREQ(paint_text(hex_row, 0, buffer), "0x889f");
    settings[kMinCode] = 0;
    EXPECT_STREQ(paint_text(hex_row, 0, buffer), "0");
    const ControlDef edge_row = {kPaintEdge, -1, 0xF, 0x6, 0, 0, 10, 10, "", ""};
    EXPECT_EQ(paint_text(edge_row, 0, buffer), nullptr);
}

TEST_F(PaintTextTest, InitialStateOfControls) {
    set_slot(kSlotDetected, "\x88\x9F");
    set_slot(kSlotRegistered, "\x88\xA0\r\n");
    settings[kOptionSigned] = 5;
    settings[kGlyphSizeSetting] = 28;
    NumberText buffer{};
    EXPECT_STREQ(initial_text(row_of(kDetectedEditRow), buffer), "\x88\x9F");
    EXPECT_STREQ(initial_text(row_of(kRegisteredEditRow), buffer), "\x88\xA0\r\n");
    EXPECT_EQ(initial_text(row_of(6), buffer), nullptr);  // a button keeps its label
    EXPECT_FALSE(initially_checked(row_of(26), 26));
    EXPECT_TRUE(initially_checked(row_of(27), 27));  // any value but 0 checks
    EXPECT_FALSE(initially_checked(row_of(25), 25));

    const ControlDef decimal = {kStaticDecimal, kGlyphSizeSetting, -1, 0, 0, 0, 10, 10, "", ""};
    EXPECT_STREQ(initial_text(decimal, buffer), "28");
    const ControlDef hex = {kStaticHex, kGlyphSizeSetting, -1, 0, 0, 0, 10, 10, "", ""};
    EXPECT_STREQ(initial_text(hex, buffer), "1c");
    const ControlDef slot = {kStaticSlot, kSlotDetected, -1, 0, 0, 0, 10, 10, "", ""};
    EXPECT_STREQ(initial_text(slot, buffer), "\x88\x9F");

    // A radio button is checked when the entry holds its place in its group.
    settings[kIndexMethod] = 2;
    const ControlDef radio = {kRadioButton, kIndexMethod, 10, 0, 0, 0, 10, 10, "r", "r"};
    EXPECT_TRUE(initially_checked(radio, 12));
    EXPECT_FALSE(initially_checked(radio, 11));
}

TEST(LayoutTest, GroupTwoDisablesAnyControlButARadioButton) {
    for (int row = 0; row < kControlRows; ++row) EXPECT_FALSE(initially_disabled(row_of(row)));
    const ControlDef button = {kPushButton, -1, kGroupDisabled, 0, 0, 0, 10, 10, "b", "b"};
    EXPECT_TRUE(initially_disabled(button));
    const ControlDef radio = {kRadioButton, 0, kGroupDisabled, 0, 0, 0, 10, 10, "r", "r"};
    EXPECT_FALSE(initially_disabled(radio));
}

TEST(ResizeTest, EnlargingPullsAScrolledCanvasBackOnlyAsFarAsTheOffsetsReach) {
    const CharMetrics m = {10, 20};
    struct Case {
        ScrollOffset offset;
        int cols;
        int lines;
        int down;
        int right;
    };
    const Case cases[] = {
        {{0, -3}, 52, 27, 3, 0},  // 3 lines down, window for 27 lines: all the way back
        {{0, 0}, 52, 40, 0, 0},   // taller still: nothing more
        {{0, -3}, 52, 24, 2, 0},  // part of the way
        {{0, -3}, 52, 22, 0, 0},  // no more room than before
        {{-5, 0}, 50, 25, 0, 3},  {{-5, 0}, 60, 25, 0, 5},
        {{-5, -4}, 80, 30, 4, 5}, {{0, 0}, 10, 5, 0, 0},  // shrinking never scrolls
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.offset.hoff << "," << c.offset.voff << " " << c.cols << "x" << c.lines);
        // A few pixels short of the next whole cell still count as the smaller size.
        const ResizeStep step = resize_step(c.cols * 10 + 9, c.lines * 20 + 19, m, c.offset);
        EXPECT_EQ(step.cols, c.cols);
        EXPECT_EQ(step.lines, c.lines);
        EXPECT_EQ(step.down, c.down);
        EXPECT_EQ(step.right, c.right);
    }
}

TEST(ScrollTest, RequestsAskForTheirPositions) {
    // The vertical bar of a window 22 lines high. Clamping to the range and page is the
    // platform's: the window asks for these and takes what the bar kept.
    const ScrollBarState bar = {0, kVerticalRangeMax, 22, 2, 1};
    struct Case {
        int request;
        int requested;
    };
    const Case cases[] = {
        {kScrollLineBack, 1},   {kScrollLineForward, 3},
        {kScrollPageBack, -20}, {kScrollPageForward, 24},
        {kScrollThumbTrack, 1}, {kScrollTop, 0},
        {kScrollBottom, 25},    {kScrollThumbPosition, 2},
        {kScrollEnd, 2},        {99, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request);
        EXPECT_EQ(requested_position(bar, c.request), c.requested);
    }
}

TEST(ScrollTest, OffsetNeverBecomesPositive) {
    EXPECT_EQ(scroll_delta(0, 3, 0), -3);  // down: the contents move up
    EXPECT_EQ(scroll_delta(3, 0, -3), 3);
    // After a resize pulled the canvas back part of the way, the bar is ahead of the offset.
    EXPECT_EQ(scroll_delta(2, 1, -1), 1);
    EXPECT_EQ(scroll_delta(1, 0, 0), 0);
    EXPECT_EQ(scroll_delta(4, 0, -1), 1);
}

// The whole story as a user lives it: scroll down 3 lines in a window 22 lines high, then
// enlarge the window to 27 lines and further.
TEST(ScrollTest, ScrollDownThenEnlarge) {
    const CharMetrics m = {8, 16};
    ScrollOffset offset = {0, 0};
    ScrollBarState bar = {0, kVerticalRangeMax, 22, 0, 0};
    for (int i = 0; i < 3; ++i) {
        const int position = requested_position(bar, kScrollLineForward);
        const int delta = scroll_delta(bar.position, position, offset.voff);
        EXPECT_EQ(delta, -1);
        bar.position = position;
        offset.voff += delta;
    }
    EXPECT_EQ(offset.voff, -3);

    const ResizeStep bigger = resize_step(52 * 8, 27 * 16, m, offset);
    EXPECT_EQ(bigger.down, 3);
    offset.voff += bigger.down;
    EXPECT_EQ(offset.voff, 0);
    EXPECT_EQ(resize_step(52 * 8, 35 * 16, m, offset).down, 0);
}

}  // namespace
}  // namespace glyfor
