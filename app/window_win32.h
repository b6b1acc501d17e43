// The main window: the control table made real as child controls, the painted counters, and
// the scrolling canvas. Its procedure only dispatches, to handlers given the window's state;
// commands go to on_command (app/commands_win32.h).
#pragma once

#include <windows.h>

#include "app/window_state_win32.h"

namespace glyfor {

inline constexpr char kWindowClass[] = "Glyfor";
// Glyfor:漢字フォント・データ生成 R1.11, the same in both languages.
inline constexpr char kCaption[] =
    "Glyfor:\x8A\xBF\x8E\x9A\x83\x74\x83\x48\x83\x93\x83\x67\x81\x45\x83\x66\x81\x5B\x83\x5E"
    "\x90\xB6\x90\xAC R1.11";
inline constexpr DWORD kMainWindowStyle = WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL;

// Registers the class "Glyfor"; false when the platform refuses.
bool register_window_class(HINSTANCE instance);
// Creates the main window at the platform's default place, not yet shown; null on failure.
// The window loads the settings while it is being created. `state` is the window's for as long
// as it exists and must outlive it.
HWND create_main_window(HINSTANCE instance, WindowState& state);

}  // namespace glyfor
