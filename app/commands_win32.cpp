#include "app/commands_win32.h"

namespace glyfor {

void on_command(HWND window, int code, int id) {
    (void)id;
    if (code != 0) return;
    InvalidateRect(window, nullptr, TRUE);
}

}  // namespace glyfor
