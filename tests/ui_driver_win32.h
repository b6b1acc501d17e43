// Plays the user's part in the window tests: while the test's thread sits in a modal loop (a
// file dialog or a message box opened by a command), a thread of the user's finds that dialog
// on the screen the way a user sees it, reads it, types into it and presses its buttons.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace glyfor::ui {

inline constexpr int kWaitMs = 10000;
// The file-name box of the common open and save dialogs.
inline constexpr int kFileNameBox = 0x47C;
// The text of a message box.
inline constexpr int kMessageBoxText = 0xFFFF;

// The next visible dialog (class #32770) of this process other than `other`, or null when
// none shows up within `timeout_ms`.
HWND wait_for_dialog(HWND other = nullptr, int timeout_ms = kWaitMs);
// Whether `dialog` is gone (closed or hidden) within `timeout_ms`.
bool wait_until_gone(HWND dialog, int timeout_ms = kWaitMs);

// A control at any depth below `parent`, or null.
HWND find_control(HWND parent, int id);
// The window's text through WM_GETTEXT, which unlike GetWindowTextA also reads the controls of
// another thread.
std::string text_of(HWND window);

bool is_file_dialog(HWND dialog);
bool is_message_box(HWND dialog);
// What the file-name box of a file dialog holds.
std::string file_name_of(HWND dialog);
// Types `path` into the file-name box and presses the dialog's default button.
void accept_file_name(HWND dialog, const std::string& path);
// What a message box says.
std::string message_of(HWND box);
// Presses a button of a dialog: IDOK, IDCANCEL, IDYES, IDNO.
void press(HWND dialog, int button);

// Runs `script` on a thread of its own. When the test's part is done the destructor waits for
// the script; a dialog still showing after the script ended is counted and cancelled, so a
// failing test ends instead of hanging in a modal loop.
class User {
  public:
    explicit User(std::function<void()> script);
    ~User();
    User(const User&) = delete;
    User& operator=(const User&) = delete;

    // Waits for the script and the clean-up; returns how many dialogs were left showing.
    int finish();

  private:
    void run(const std::function<void()>& script);

    std::atomic<bool> test_done_{false};
    std::atomic<int> left_open_{0};
    bool finished_ = false;
    std::thread thread_;
};

}  // namespace glyfor::ui
