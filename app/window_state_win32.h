// The main window's own state in one struct, as the window procedure and the command handler
// share it: the child controls, the measured font and the scroll offsets. The window keeps a
// pointer to it with the window itself; nothing of it is global.
#pragma once

#include <windows.h>

#include <array>

#include "app/layout.h"
#include "app/state.h"

namespace glyfor {

struct WindowState final : TextObserver {
    // Null until WM_NCCREATE and again after WM_DESTROY.
    HWND window = nullptr;
    // The child controls by row; null for rows without a control and while there is no window.
    std::array<HWND, kControlRows> controls{};
    // Measured when the window is created.
    CharMetrics metrics{};
    ScrollOffset offset{};

    // The operations' new texts go to the two edit controls.
    void detected_text_changed(const char* text) override;
    void registered_text_changed(const char* text) override;
};

void set_control_text(HWND control, const char* text);

// Gives every button, check box and static label its text in the current language.
void relabel(const WindowState& state);
// Copies the edit controls' texts into their text slots.
void read_edit_texts(const WindowState& state);

}  // namespace glyfor
