#include "tests/ui_driver_win32.h"

#include <array>
#include <chrono>

namespace glyfor::ui {

namespace {

constexpr int kPollMs = 20;
// How long a dialog may stay after the script ended before it counts as left open.
constexpr int kGraceMs = 3000;

struct DialogSearch {
    HWND other;
    HWND found;
};

BOOL CALLBACK match_dialog(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<DialogSearch*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || window == search->other) return TRUE;
    if (!IsWindowVisible(window)) return TRUE;
    std::array<char, 16> name{};
    GetClassNameA(window, name.data(), static_cast<int>(name.size()));
    if (std::string(name.data()) != "#32770") return TRUE;
    search->found = window;
    return FALSE;
}

HWND showing_dialog(HWND other) {
    DialogSearch search{other, nullptr};
    EnumWindows(match_dialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK match_control(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<ControlSearch*>(context);
    if (GetDlgCtrlID(window) != search->id) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

HWND wait_for_dialog(HWND other, int timeout_ms) {
    for (int waited = 0; waited < timeout_ms; waited += kPollMs) {
        if (HWND dialog = showing_dialog(other)) return dialog;
        Sleep(kPollMs);
    }
    return nullptr;
}

bool wait_until_gone(HWND dialog, int timeout_ms) {
    for (int waited = 0; waited < timeout_ms; waited += kPollMs) {
        if (!IsWindow(dialog) || !IsWindowVisible(dialog)) return true;
        Sleep(kPollMs);
    }
    return false;
}

HWND find_control(HWND parent, int id) {
    // EnumChildWindows walks every descendant, so the file-name box inside its combo box is
    // found too.
    ControlSearch search{id, nullptr};
    EnumChildWindows(parent, match_control, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string text_of(HWND window) {
    static constexpr int kTextMax = 4096;
    std::string text(kTextMax, '\0');
    DWORD_PTR length = 0;
    if (SendMessageTimeoutA(window, WM_GETTEXT, kTextMax, reinterpret_cast<LPARAM>(text.data()),
                            SMTO_ABORTIFHUNG, kWaitMs, &length) == 0) {
        return {};
    }
    text.resize(length);
    return text;
}

bool is_file_dialog(HWND dialog) {
    return find_control(dialog, kFileNameBox) != nullptr;
}

bool is_message_box(HWND dialog) {
    return find_control(dialog, kMessageBoxText) != nullptr;
}

std::string file_name_of(HWND dialog) {
    HWND box = find_control(dialog, kFileNameBox);
    return box != nullptr ? text_of(box) : std::string();
}

void accept_file_name(HWND dialog, const std::string& path) {
    HWND box = find_control(dialog, kFileNameBox);
    if (box == nullptr) return;
    DWORD_PTR result = 0;
    SendMessageTimeoutA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()),
                        SMTO_ABORTIFHUNG, kWaitMs, &result);
    press(dialog, IDOK);
}

std::string message_of(HWND box) {
    HWND text = find_control(box, kMessageBoxText);
    return text != nullptr ? text_of(text) : std::string();
}

void press(HWND dialog, int button) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

User::User(std::function<void()> script) : thread_([this, script] { run(script); }) {}

User::~User() {
    finish();
}

int User::finish() {
    if (!finished_) {
        test_done_ = true;
        thread_.join();
        finished_ = true;
    }
    return left_open_;
}

void User::run(const std::function<void()>& script) {
    script();
    HWND seen = nullptr;
    auto since = std::chrono::steady_clock::now();
    while (!test_done_) {
        HWND dialog = showing_dialog(nullptr);
        if (dialog != seen) {
            seen = dialog;
            since = std::chrono::steady_clock::now();
        } else if (dialog != nullptr &&
                   std::chrono::steady_clock::now() - since > std::chrono::milliseconds(kGraceMs)) {
            ++left_open_;
            press(dialog, IDCANCEL);
            seen = nullptr;
        }
        Sleep(kPollMs);
    }
}

}  // namespace glyfor::ui
