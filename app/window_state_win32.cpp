#include "app/window_state_win32.h"

namespace glyfor {

namespace {

const ControlDef& row_def(int row) {
    return kControlTable[static_cast<std::size_t>(row)];
}

// WM_GETTEXT into `text`, which holds a whole slot.
void get_control_text(HWND control, TextSlot& text) {
    text[0] = '\0';
    GetWindowTextA(control, text.data(), static_cast<int>(text.size()));
}

}  // namespace

TextPrint text_print(const char* text) {
    constexpr std::uint64_t kOffsetBasis = 14695981039346656037ULL;
    constexpr std::uint64_t kPrime = 1099511628211ULL;
    TextPrint print{0, kOffsetBasis};
    for (const char* p = text; *p != '\0'; ++p) {
        print.hash = (print.hash ^ static_cast<unsigned char>(*p)) * kPrime;
        ++print.length;
    }
    return print;
}

void WindowState::detected_text_changed(const char* text) {
    set_edit_text(*this, kDetectedEditRow, text);
}

void WindowState::registered_text_changed(const char* text) {
    set_edit_text(*this, kRegisteredEditRow, text);
}

void set_control_text(HWND control, const char* text) {
    SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void set_edit_text(WindowState& state, int row, const char* text) {
    const auto at = static_cast<std::size_t>(row);
    set_control_text(state.controls[at], text);
    TextSlot control_text;
    get_control_text(state.controls[at], control_text);
    state.shown[at] = text_print(control_text.data());
}

void relabel(const WindowState& state) {
    for (int row = 0; row < kControlRows; ++row) {
        const ControlDef& def = row_def(row);
        if (is_labelled(def)) {
            set_control_text(state.controls[static_cast<std::size_t>(row)],
                             label(def, settings[kLanguage]));
        }
    }
}

void read_edit_texts(const WindowState& state) {
    for (int row = 0; row < kControlRows; ++row) {
        const ControlDef& def = row_def(row);
        if (def.kind != kEditSlot) continue;
        const auto at = static_cast<std::size_t>(row);
        TextSlot& slot = text_slots[static_cast<std::size_t>(def.index)];
        TextSlot control_text;
        get_control_text(state.controls[at], control_text);
        if (text_print(control_text.data()) == state.shown[at]) continue;
        slot = control_text;
    }
}

}  // namespace glyfor
