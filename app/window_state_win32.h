// The main window's own state in one struct, as the window procedure and the command handler
// share it: the child controls, the measured font and the scroll offsets. The window keeps a
// pointer to it with the window itself; nothing of it is global.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>

#include "app/layout.h"
#include "app/state.h"

namespace glyfor {

// A text as a length and a 64-bit FNV-1a hash: enough to tell whether a control still holds
// what it held before without keeping a copy of every text.
struct TextPrint {
    std::size_t length = 0;
    std::uint64_t hash = 0;
    bool operator==(const TextPrint&) const = default;
};

TextPrint text_print(const char* text);

struct WindowState final : TextObserver {
    // Null until WM_NCCREATE and again after WM_DESTROY.
    HWND window = nullptr;
    // The child controls by row; null for rows without a control and while there is no window.
    std::array<HWND, kControlRows> controls{};
    // Measured when the window is created.
    CharMetrics metrics{};
    ScrollOffset offset{};
    // What each edit control gave back right after the program last set its text, by row.
    // Under Wine the control keeps its text as Unicode, so a Shift-JIS code that code page 932
    // lacks does not come back as it went in.
    std::array<TextPrint, kControlRows> shown{};

    // The operations' new texts go to the two edit controls.
    void detected_text_changed(const char* text) override;
    void registered_text_changed(const char* text) override;
};

void set_control_text(HWND control, const char* text);
// Gives the edit control of `row` the text and notes what it made of it.
void set_edit_text(WindowState& state, int row, const char* text);

// Gives every button, check box and static label its text in the current language.
void relabel(const WindowState& state);
// Copies the edit controls' texts into their text slots. A control still holding what the
// program gave it leaves its slot as it is: the slot has the bytes the control may have
// changed, and the user has not touched them.
void read_edit_texts(const WindowState& state);

}  // namespace glyfor
