// What the main window does when one of its controls is used.
#pragma once

#include <windows.h>

namespace glyfor {

// Handles WM_COMMAND: `code` is the notification code, `id` the control identifier.
void on_command(HWND window, int code, int id);

}  // namespace glyfor
