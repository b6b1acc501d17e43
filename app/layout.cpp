#include "app/layout.h"

#include <algorithm>
#include <cstdio>

#include "app/state.h"

namespace glyfor {

namespace {

constexpr ControlDef kEmpty = {kEmptyRow, -1, -1, 0, 0, 0, 0, 0, "", ""};

}  // namespace

// kind, index, group, style, x1, y1, x2, y2, Japanese label, English label
constexpr ControlTable kControlTable = {{
    /* 0 */ {kStaticLabel, -1, -1, kStylePlain, 10, 6, 400, 16,
             // 78K0Rマイコン用の漢字フォント・データを生成します。
             "78K0R\x83\x7D\x83\x43\x83\x52\x83\x93\x97\x70\x82\xCC\x8A\xBF\x8E\x9A"
             "\x83\x74\x83\x48\x83\x93\x83\x67\x81\x45\x83\x66\x81\x5B\x83\x5E"
             "\x82\xF0\x90\xB6\x90\xAC\x82\xB5\x82\xDC\x82\xB7\x81\x42",
             "Generating Kanji-font data for 78K0R micro-controller."},
    /* 1 */ {kPushButton, -1, -1, kStylePlain, 410, 5, 500, 17, "English", "Japanese"},
    /* 2 */ {kPushButton, -1, -1, kStylePlain, 505, 5, 520, 17, "#", "#"},
    /* 3 */ kEmpty,
    /* 4 */ kEmpty,
    /* 5 */ kEmpty,
    /* 6 */
    {kPushButton, kSlotInputPath, -1, kStylePlain, 20, 25, 150, 37,
     "\x93\xFC\x97\xCD\x83\x74\x83\x40\x83\x43\x83\x8B\x91\x49\x91\xF0",  // 入力ファイル選択
     "Input text file"},
    /* 7 */ {kEditSlot, kSlotDetected, -1, kStyleEdit, 15, 40, 515, 80, "", ""},
    /* 8 */ {kPaintDecimal, kDetectedCount, -1, kFormatRight, 170, 26, 210, 36, "", ""},
    /* 9 */
    {kStaticLabel, -1, -1, kStylePlain, 215, 26, 350, 36,
     "\x95\xB6\x8E\x9A\x8C\x9F\x8F\x6F",  // 文字検出
     "characters detected"},
    /* 10 */
    {kPushButton, -1, -1, kStylePlain, 20, 90, 150, 102,
     "\x91\x53\x95\x94\x92\xC7\x89\xC1",  // 全部追加
     "Add all"},
    /* 11 */
    {kPushButton, -1, -1, kStylePlain, 170, 90, 300, 102,
     "\x93\x6F\x98\x5E\x95\xB6\x8E\x9A\x83\x4E\x83\x8A\x83\x41",  // 登録文字クリア
     "Clear registration"},
    /* 12 */
    {kPushButton, -1, -1, kStylePlain, 320, 90, 450, 102,
     "\x93\x6F\x98\x5E\x95\xB6\x8E\x9A\x90\xAE\x97\xF1",  // 登録文字整列
     "Sort characters"},
    /* 13 */ kEmpty,
    /* 14 */ kEmpty,
    /* 15 */ {kEditSlot, kSlotRegistered, -1, kStyleEdit, 15, 105, 515, 205, "", ""},
    /* 16 */ kEmpty,
    /* 17 */ kEmpty,
    /* 18 */ kEmpty,
    /* 19 */
    {kPaintDecimal, kRegisteredCount, -1, kFormatRight, 20, 210, 60, 220, "", ""},
    /* 20 */
    {kStaticLabel, -1, -1, kStylePlain, 65, 210, 200, 220,
     "\x95\xB6\x8E\x9A\x93\x6F\x98\x5E",  // 文字登録
     "characters registered"},
    /* 21 */ kEmpty,
    /* 22 */ kEmpty,
    /* 23 */ kEmpty,
    /* 24 */ kEmpty,
    /* 25 */
    {kPushButton, kSlotOutputPath, -1, kStylePlain, 250, 209, 450, 221,
     // フォント・データ生成
     "\x83\x74\x83\x48\x83\x93\x83\x67\x81\x45\x83\x66\x81\x5B\x83\x5E\x90\xB6\x90\xAC",
     "Generating font data"},
    /* 26 */
    {kCheckBox, kOptionCcRl, -1, kStyleCheck, 250, 224, 510, 236,
     "CC-RL\x83\x52\x83\x93\x83\x70\x83\x43\x83\x89\x97\x70",  // CC-RLコンパイラ用
     "for CC-RL Compiler"},
    /* 27 */
    {kCheckBox, kOptionSigned, -1, kStyleCheck, 250, 239, 510, 251,
     "\x95\x84\x8D\x86\x95\x74\x83\x66\x81\x5B\x83\x5E",  // 符号付データ
     "Signed data"},
    /* 28 */
    {kCheckBox, kOptionLiterals, -1, kStyleCheck, 20, 224, 240, 236,
     "\x95\xB6\x8E\x9A\x97\xF1\x83\x8A\x83\x65\x83\x89\x83\x8B\x82\xCC\x82\xDD",  // 文字列リテラルのみ
     "String literals only"},
    /* 29 */ kEmpty,
}};

namespace {

constexpr bool row_is(int row, std::int32_t kind, std::int32_t index) {
    const ControlDef& def = kControlTable[static_cast<std::size_t>(row)];
    return def.kind == kind && def.index == index;
}

}  // namespace

static_assert(row_is(kLanguageRow, kPushButton, -1));
static_assert(row_is(kDefaultSizeRow, kPushButton, -1));
static_assert(row_is(kInputFileRow, kPushButton, kSlotInputPath));
static_assert(row_is(kDetectedEditRow, kEditSlot, kSlotDetected));
static_assert(row_is(kDetectedCountRow, kPaintDecimal, kDetectedCount));
static_assert(row_is(kAddAllRow, kPushButton, -1));
static_assert(row_is(kClearRow, kPushButton, -1));
static_assert(row_is(kSortRow, kPushButton, -1));
static_assert(row_is(kRegisteredEditRow, kEditSlot, kSlotRegistered));
static_assert(row_is(kRegisteredCountRow, kPaintDecimal, kRegisteredCount));
static_assert(row_is(kGenerateRow, kPushButton, kSlotOutputPath));
static_assert(row_is(kOptionCcRlRow, kCheckBox, kOptionCcRl));
static_assert(row_is(kOptionSignedRow, kCheckBox, kOptionSigned));
static_assert(row_is(kOptionLiteralsRow, kCheckBox, kOptionLiterals));

const char* label(const ControlDef& row, int language) {
    return language == 1 ? row.english : row.japanese;
}

CharMetrics char_metrics_from(int average_width, int height, int external_leading,
                              unsigned pitch_and_family) {
    int width = average_width;
    if ((pitch_and_family & kVariablePitchBit) != 0) width = width * 3 / 2;
    return {std::max(width, 1), std::max(height + external_leading, 1)};
}

ControlPlacement control_placement(const ControlDef& row, CharMetrics metrics,
                                   ScrollOffset offset) {
    const int cw = metrics.char_width;
    const int lh = metrics.line_height;
    const int x = cw * row.x1 / 10 + cw * offset.hoff;
    const int y = lh * row.y1 / 10 + lh * offset.voff;
    return {x, y, cw * row.x2 / 10 - cw * row.x1 / 10, lh * row.y2 / 10 + lh * offset.voff - y};
}

const char* control_class(const ControlDef& row) {
    switch (row.kind) {
        case kPushButton:
        case kRadioButton:
        case kCheckBox:
        case kPlainButton:
            return "button";
        case kStaticLabel:
        case kStaticSlot:
        case kStaticDecimal:
        case kStaticHex:
            return "static";
        case kEditSlot:
            return "edit";
        default:
            return nullptr;
    }
}

bool is_labelled(const ControlDef& row) {
    return (row.kind >= kPushButton && row.kind <= kPlainButton) || row.kind == kStaticLabel;
}

bool initially_checked(const ControlDef& def, int row) {
    if (def.kind != kRadioButton && def.kind != kCheckBox) return false;
    const std::int32_t value = settings[static_cast<std::size_t>(def.index)];
    if (def.kind == kRadioButton) return value == row - def.group;
    return value != 0;
}

bool initially_disabled(const ControlDef& row) {
    return row.kind != kRadioButton && row.group == kGroupDisabled;
}

namespace {

const char* slot_text(const ControlDef& row) {
    return text_slots[static_cast<std::size_t>(row.index)].data();
}

const char* format_setting(const ControlDef& row, const char* format, NumberText& buffer) {
    std::snprintf(buffer.data(), buffer.size(), format,
                  settings[static_cast<std::size_t>(row.index)]);
    return buffer.data();
}

}  // namespace

const char* initial_text(const ControlDef& row, NumberText& buffer) {
    switch (row.kind) {
        case kStaticSlot:
        case kEditSlot:
            return slot_text(row);
        case kStaticDecimal:
            return format_setting(row, "%d", buffer);
        case kStaticHex:
            return format_setting(row, "%x", buffer);
        default:
            return nullptr;
    }
}

bool is_painted(const ControlDef& row) {
    return (row.kind >= kPaintLabel && row.kind <= kPaintHex) || row.kind == kPaintEdge;
}

PixelRect paint_rect(const ControlDef& row, CharMetrics metrics, ScrollOffset offset) {
    const int cw = metrics.char_width;
    const int lh = metrics.line_height;
    return {cw * row.x1 / 10 + cw * offset.hoff, lh * row.y1 / 10 + lh * offset.voff,
            cw * row.x2 / 10 + cw * offset.hoff, lh * row.y2 / 10 + lh * offset.voff};
}

const char* paint_text(const ControlDef& row, int language, NumberText& buffer) {
    switch (row.kind) {
        case kPaintLabel:
            return label(row, language);
        case kPaintSlot:
            return slot_text(row);
        case kPaintDecimal:
            return format_setting(row, "%d", buffer);
        case kPaintHex:
            return format_setting(row, "%#x", buffer);
        default:
            return nullptr;
    }
}

namespace {

// Cells a scrolled canvas moves back when `visible` cells now fit where `size` are needed.
int pull_back(int visible, int offset, int size) {
    if (offset >= 0 || visible <= offset + size) return 0;
    return std::min(visible - (offset + size), -offset);
}

}  // namespace

ResizeStep resize_step(int width, int height, CharMetrics metrics, ScrollOffset offset) {
    const int cols = width / metrics.char_width;
    const int lines = height / metrics.line_height;
    return {cols, lines, pull_back(lines, offset.voff, kCanvasLines),
            pull_back(cols, offset.hoff, kCanvasColumns)};
}

int requested_position(const ScrollBarState& bar, int request) {
    switch (request) {
        case kScrollLineBack:
            return bar.position - 1;
        case kScrollLineForward:
            return bar.position + 1;
        case kScrollPageBack:
            return bar.position - bar.page;
        case kScrollPageForward:
            return bar.position + bar.page;
        case kScrollThumbTrack:
            return bar.track_position;
        case kScrollTop:
            return bar.min;
        case kScrollBottom:
            return bar.max;
        default:
            return bar.position;
    }
}

int scroll_delta(int old_position, int new_position, int offset) {
    return std::min(old_position - new_position, -offset);
}

}  // namespace glyfor
