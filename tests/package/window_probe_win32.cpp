// Starts the Windows program as a user would, waits for its main window, closes it by its frame
// and expects a clean end with its Glyfor.ini saved in the current directory.
//
//   window_probe PROGRAM.exe
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/window_win32.h"

namespace {

constexpr DWORD kWaitMilliseconds = 30000;

int fail(const char* message) {
    std::fprintf(stderr, "window_probe: %s\n", message);
    return 1;
}

HWND wait_for_window(DWORD process) {
    for (DWORD waited = 0; waited < kWaitMilliseconds; waited += 100) {
        HWND window = FindWindowA(glyfor::kWindowClass, nullptr);
        DWORD owner = 0;
        if (window != nullptr) GetWindowThreadProcessId(window, &owner);
        if (owner == process && IsWindowVisible(window)) return window;
        Sleep(100);
    }
    return nullptr;
}

int count_controls(HWND window) {
    int count = 0;
    EnumChildWindows(
        window,
        [](HWND, LPARAM counter) {
            ++*reinterpret_cast<int*>(counter);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return fail("usage: window_probe PROGRAM.exe");
    DeleteFileA("Glyfor.ini");
    std::string command = std::string("\"") + argv[1] + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(argv[1], command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "window_probe: cannot start %s (error %lu)\n", argv[1],
                     GetLastError());
        return 1;
    }
    CloseHandle(process.hThread);
    HWND window = wait_for_window(process.dwProcessId);
    if (window == nullptr) {
        TerminateProcess(process.hProcess, 1);
        return fail("no visible main window appeared");
    }
    char caption[200] = {};
    GetWindowTextA(window, caption, sizeof caption);
    const int controls = count_controls(window);
    std::printf("window_probe: window up with %d controls\n", controls);
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, kWaitMilliseconds) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        return fail("the program did not end after WM_CLOSE");
    }
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    if (std::strcmp(caption, glyfor::kCaption) != 0) return fail("the window's caption differs");
    if (controls == 0) return fail("the window has no controls");
    if (code != 0) return fail("the program ended with a non-zero code");
    if (GetFileAttributesA("Glyfor.ini") == INVALID_FILE_ATTRIBUTES) {
        return fail("no Glyfor.ini in the current directory after closing");
    }
    return 0;
}
