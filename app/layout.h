// The main window's contents as one table, and the geometry that places them on a canvas of
// 52 columns by 25 lines which scrolls when the window is smaller. Everything here is plain
// arithmetic on the table, the measured font and the scroll offsets; the Win32 window only
// applies it.
#pragma once

#include <array>
#include <cstdint>

namespace glyfor {

inline constexpr int kCanvasColumns = 52;
inline constexpr int kCanvasLines = 25;

enum ControlKind : std::int32_t {
    kEmptyRow = -1,
    // Painted by the window itself.
    kPaintLabel = 1,
    kPaintSlot = 2,
    kPaintDecimal = 3,
    kPaintHex = 4,
    kPaintEdge = 11,
    // Child controls of class "button".
    kPushButton = 21,
    kRadioButton = 22,
    kCheckBox = 23,
    kPlainButton = 24,
    // Child controls of class "static".
    kStaticLabel = 31,
    kStaticSlot = 32,
    kStaticDecimal = 33,
    kStaticHex = 34,
    // Child control of class "edit".
    kEditSlot = 41,
};

// Window styles and text formats of the table, as the platform defines them.
// WS_CHILD | WS_VISIBLE: a push button or a left-aligned static.
inline constexpr std::int32_t kStylePlain = 0x50000000;
// WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL
inline constexpr std::int32_t kStyleEdit = 0x50A000C4;
// WS_CHILD | WS_VISIBLE | BS_LEFT | BS_CHECKBOX: a check box that does not toggle itself.
inline constexpr std::int32_t kStyleCheck = 0x50000102;
// DT_RIGHT: right-aligned, not single-line.
inline constexpr std::int32_t kFormatRight = 2;

// A group of 2 creates a control (other than a radio button) disabled.
inline constexpr std::int32_t kGroupDisabled = 2;

// One item of the window. The row number is the control's identifier and the command it sends.
struct ControlDef {
    std::int32_t kind;
    // Settings entry or text slot the item shows or changes, -1 for none.
    std::int32_t index;
    // Radio button: row of the first button of its group; edge: the edge flags; other
    // controls: kGroupDisabled or -1.
    std::int32_t group;
    // Control: window style; painted text: text format; edge: edge type.
    std::int32_t style;
    // Rectangle on the canvas in tenths of a cell (x in char_width, y in line_height).
    std::int32_t x1;
    std::int32_t y1;
    std::int32_t x2;
    std::int32_t y2;
    const char* japanese;
    const char* english;
};

inline constexpr int kControlRows = 30;

// The rows that other code addresses by number: each is the control's identifier and, for
// buttons and check boxes, the command it sends. app/layout.cpp checks them against the table.
enum ControlRow : int {
    kLanguageRow = 1,
    kDefaultSizeRow = 2,
    kInputFileRow = 6,
    kDetectedEditRow = 7,
    kDetectedCountRow = 8,
    kAddAllRow = 10,
    kClearRow = 11,
    kSortRow = 12,
    kRegisteredEditRow = 15,
    kRegisteredCountRow = 19,
    kGenerateRow = 25,
    kOptionCcRlRow = 26,
    kOptionSignedRow = 27,
    kOptionLiteralsRow = 28,
};

using ControlTable = std::array<ControlDef, kControlRows>;
extern const ControlTable kControlTable;

// The row's label in `language` (0 Japanese, 1 English).
const char* label(const ControlDef& row, int language);

// Fixed when the window is created, from its default font.
struct CharMetrics {
    int char_width;
    int line_height;
};

// Windows' TMPF_FIXED_PITCH bit of tmPitchAndFamily: despite its name, set means variable pitch.
inline constexpr unsigned kVariablePitchBit = 0x01;

// A variable-pitch font gets half as much again as its average width, so wide letters fit.
// A font that reports no size (the text metrics could not be read) still gives cells of one
// pixel, so that the window's arithmetic never divides by zero.
CharMetrics char_metrics_from(int average_width, int height, int external_leading,
                              unsigned pitch_and_family);

// In columns and lines; never positive. The canvas is drawn shifted by this many cells.
struct ScrollOffset {
    int hoff;
    int voff;
};

// A rectangle in client pixels.
struct PixelRect {
    int left;
    int top;
    int right;
    int bottom;
};

// Where a child control of `row` is created; width and height as CreateWindowEx takes them.
struct ControlPlacement {
    int x;
    int y;
    int width;
    int height;
};

ControlPlacement control_placement(const ControlDef& row, CharMetrics metrics, ScrollOffset offset);

// The window class of a row's child control: "button", "static" or "edit"; null for painted
// and empty rows.
const char* control_class(const ControlDef& row);
// Whether the row's control shows its label in the current language.
bool is_labelled(const ControlDef& row);
// Whether the control of row number `row` gets a check mark at creation, from its settings
// entry: a radio button when the entry holds its place in the group, a check box when it is not
// 0.
bool initially_checked(const ControlDef& def, int row);
// Whether the row's control is created disabled.
bool initially_disabled(const ControlDef& row);

// Holds a setting formatted for display.
using NumberText = std::array<char, 50>;

// The text a control of kind 32, 33, 34 or 41 starts with: its text slot or its setting, the
// latter formatted into `buffer`. Null for controls that start with their label or nothing.
const char* initial_text(const ControlDef& row, NumberText& buffer);

// Whether the row is drawn by the window itself rather than being a control.
bool is_painted(const ControlDef& row);
// Where a painted row goes.
PixelRect paint_rect(const ControlDef& row, CharMetrics metrics, ScrollOffset offset);
// A painted item scrolled partly off the left edge is left out entirely rather than clipped.
inline bool is_drawn(const PixelRect& rect) {
    return rect.left >= 0;
}
// The text a painted row shows: its label in `language`, its text slot, or its setting
// formatted into `buffer`. Null for an edge.
const char* paint_text(const ControlDef& row, int language, NumberText& buffer);

// What the window does when its client area becomes width x height pixels.
struct ResizeStep {
    // The client area in whole cells: the scroll bars' page sizes.
    int cols;
    int lines;
    // Cells the contents move down and right, pulling a scrolled canvas back into view.
    int down;
    int right;
};

ResizeStep resize_step(int width, int height, CharMetrics metrics, ScrollOffset offset);

// The scroll bars' ranges: 0 .. canvas size.
inline constexpr int kVerticalRangeMax = kCanvasLines;
inline constexpr int kHorizontalRangeMax = kCanvasColumns;

// Scroll requests by their platform codes (SB_LINEUP .. SB_ENDSCROLL).
enum ScrollRequest : int {
    kScrollLineBack = 0,
    kScrollLineForward = 1,
    kScrollPageBack = 2,
    kScrollPageForward = 3,
    kScrollThumbPosition = 4,
    kScrollThumbTrack = 5,
    kScrollTop = 6,
    kScrollBottom = 7,
    kScrollEnd = 8,
};

// A scroll bar as GetScrollInfo reports it.
struct ScrollBarState {
    int min;
    int max;
    int page;
    int position;
    int track_position;
};

// The position a request asks for; the current one for requests that do not move the bar
// (thumb released, end of scrolling).
int requested_position(const ScrollBarState& bar, int request);
// Cells the contents move (down or right) when the bar goes from `old_position` to
// `new_position`, limited so that `offset` never becomes positive.
int scroll_delta(int old_position, int new_position, int offset);

}  // namespace glyfor
