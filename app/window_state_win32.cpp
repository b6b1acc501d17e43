#include "app/window_state_win32.h"

namespace glyfor {

namespace {

const ControlDef& row_def(int row) {
    return kControlTable[static_cast<std::size_t>(row)];
}

}  // namespace

void WindowState::detected_text_changed(const char* text) {
    set_control_text(controls[kDetectedEditRow], text);
}

void WindowState::registered_text_changed(const char* text) {
    set_control_text(controls[kRegisteredEditRow], text);
}

void set_control_text(HWND control, const char* text) {
    SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
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
        TextSlot& slot = text_slots[static_cast<std::size_t>(def.index)];
        slot[0] = '\0';
        GetWindowTextA(state.controls[static_cast<std::size_t>(row)], slot.data(),
                       static_cast<int>(slot.size()));
    }
}

}  // namespace glyfor
