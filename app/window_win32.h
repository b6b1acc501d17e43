// The main window: the control table made real as child controls, the painted counters, and
// the scrolling canvas. Commands go to on_command (app/commands_win32.h).
#pragma once

#include <windows.h>

#include <array>

#include "app/layout.h"

namespace glyfor {

inline constexpr char kWindowClass[] = "Glyfor";
// Glyfor:漢字フォント・データ生成 R1.11, the same in both languages.
inline constexpr char kCaption[] =
    "Glyfor:\x8A\xBF\x8E\x9A\x83\x74\x83\x48\x83\x93\x83\x67\x81\x45\x83\x66\x81\x5B\x83\x5E"
    "\x90\xB6\x90\xAC R1.11";
inline constexpr DWORD kMainWindowStyle = WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL;

// The child controls by row; null for rows without a control and while there is no window.
extern std::array<HWND, kControlRows> control_handles;
// Measured when the window is created.
extern CharMetrics char_metrics;
extern ScrollOffset scroll_offset;

// Registers the class "Glyfor"; false when the platform refuses.
bool register_window_class(HINSTANCE instance);
// Creates the main window at the platform's default place, not yet shown; null on failure.
// The window loads the settings while it is being created.
HWND create_main_window(HINSTANCE instance);

// Gives every button, check box and static label its text in the current language.
void relabel();
// Copies the edit controls' texts into their text slots.
void read_edit_texts();

}  // namespace glyfor
