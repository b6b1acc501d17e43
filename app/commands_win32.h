// What the main window does when one of its buttons or check boxes is used: the command number
// is the control's row in the control table.
#pragma once

#include "app/window_state_win32.h"

namespace glyfor {

// Handles WM_COMMAND: `code` is the notification code, `id` the command number. Any code other
// than 0 (the edit controls' change notifications among them) is ignored; every other command
// ends with a repaint of the whole window, which redraws the painted counts.
void on_command(WindowState& state, int code, int id);

// Disable / enable the controls that start operations, and the two edit controls, while an
// operation runs.
void set_busy(const WindowState& state);
void set_idle(const WindowState& state);

}  // namespace glyfor
