// The program's entry point: the main window and its message loop. The command line is not
// used.
#include <windows.h>

#include "app/window_win32.h"

namespace glyfor {
namespace {

constexpr char kStartFailure[] = "Few resource or Wrong coding";

int main(HINSTANCE instance, int show_state) {
    if (!register_window_class(instance)) {
        MessageBoxA(nullptr, kStartFailure, kWindowClass, MB_ICONERROR);
        return 0;
    }
    WindowState state;
    HWND window = create_main_window(instance, state);
    // Without a window no quit message would ever come to end the loop below.
    if (window == nullptr) {
        MessageBoxA(nullptr, kStartFailure, kWindowClass, MB_ICONERROR);
        return 0;
    }
    ShowWindow(window, show_state);
    UpdateWindow(window);
    // No dialog-style keyboard handling: the tab key does not move between the controls.
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace
}  // namespace glyfor

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_state) {
    return glyfor::main(instance, show_state);
}
