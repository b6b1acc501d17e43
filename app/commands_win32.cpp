#include "app/commands_win32.h"

#include <commdlg.h>

#include <array>
#include <cstdio>
#include <cstring>

#include "app/clock.h"
#include "app/generation.h"
#include "app/layout.h"
#include "app/messages.h"
#include "app/registration.h"
#include "app/replace_file.h"
#include "app/state.h"
#include "font/font_writer.h"

namespace glyfor {

namespace {

// A command's number is the row of the control that sends it.
enum Command : int {
    kCommandLanguage = kLanguageRow,
    kCommandDefaultSize = kDefaultSizeRow,
    kCommandInputFile = kInputFileRow,
    kCommandAddAll = kAddAllRow,
    kCommandClear = kClearRow,
    kCommandSort = kSortRow,
    kCommandGenerate = kGenerateRow,
    kCommandOptionCcRl = kOptionCcRlRow,
    kCommandOptionSigned = kOptionSignedRow,
    kCommandOptionLiterals = kOptionLiteralsRow,
};

// In the order they are disabled and enabled.
constexpr std::array<int, 7> kBusyRows = {
    kInputFileRow, kGenerateRow,     kAddAllRow,         kClearRow,
    kSortRow,      kDetectedEditRow, kRegisteredEditRow,
};

// The default size in tenths of a character cell: the canvas plus room for the frame and the
// scroll bars.
constexpr int kDefaultWidthTenths = 540;
constexpr int kDefaultHeightTenths = 295;

constexpr std::size_t kFileNameSize = 1000;
constexpr std::size_t kFileTitleSize = 63;
constexpr const char* kDefaultOutputName = "Glyfor.inc";
// One filter entry, display text "*.*" with an empty pattern; the literal's own NUL ends the
// list.
constexpr char kFilter[] = "*.*\0\0";

enum class FileDialog { kOpen, kSave };

// Shows the open or save dialog with the file name taken from `slot`; on OK the chosen path
// replaces the slot. A path too long for the dialog's buffer is offered as an empty name
// rather than cut off somewhere in the middle.
bool choose_file(HWND window, FileDialog kind, int slot) {
    std::array<char, kFileNameSize> name{};
    const char* stored = text_slots[static_cast<std::size_t>(slot)].data();
    const std::size_t length = std::strlen(stored);
    if (length < name.size()) std::memcpy(name.data(), stored, length + 1);
    std::array<char, kFileTitleSize> title{};

    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window;
    dialog.lpstrFilter = kFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrFileTitle = title.data();
    dialog.nMaxFileTitle = static_cast<DWORD>(title.size());
    dialog.Flags = OFN_HIDEREADONLY;
    BOOL chosen = FALSE;
    if (kind == FileDialog::kOpen) {
        dialog.Flags |= OFN_FILEMUSTEXIST;
        chosen = GetOpenFileNameA(&dialog);
    } else {
        dialog.Flags |= OFN_OVERWRITEPROMPT;
        chosen = GetSaveFileNameA(&dialog);
    }
    if (!chosen) return false;
    set_slot(slot, name.data());
    return true;
}

void show_message(HWND window, int message) {
    MessageBoxA(window, message_text(message, settings[kLanguage]), kMessageCaption, MB_OK);
}

// Runs one operation between set_busy and set_idle, on the texts as the user left them.
template <typename Operation>
void run_busy(const WindowState& state, Operation operation) {
    set_busy(state);
    read_edit_texts(state);
    operation();
    set_idle(state);
}

void input_file(const WindowState& state) {
    HWND window = state.window;
    if (!choose_file(window, FileDialog::kOpen, kSlotInputPath)) return;
    // Binary: the scanner itself ends the text at 0x1A, and CR LF carries no characters.
    std::FILE* stream = std::fopen(text_slots[kSlotInputPath].data(), "rb");
    if (stream == nullptr) {
        show_message(window, kMessageInputOpen);
        return;
    }
    run_busy(state, [stream] {
        scan_input_file(stream);
        std::fclose(stream);
    });
}

// The new file is written beside the chosen one and only moved over it once it is complete,
// so a failed generation neither reports success nor destroys a good file.
void generate(const WindowState& state) {
    HWND window = state.window;
    if (text_slots[kSlotOutputPath][0] == '\0') set_slot(kSlotOutputPath, kDefaultOutputName);
    if (!choose_file(window, FileDialog::kSave, kSlotOutputPath)) return;
    FileReplacement file;
    if (!replace_file_open(file, text_slots[kSlotOutputPath].data())) {
        show_message(window, kMessageOutputCreate);
        return;
    }
    bool replaced = false;
    run_busy(state, [&file, &replaced] {
        const bool written = write_font_source(file_sink(file.stream), local_time_now());
        replaced = replace_file_commit(file, written);
    });
    if (!replaced) show_message(window, kMessageOutputCreate);
}

void toggle_option(const WindowState& state, int row) {
    std::int32_t& option = settings[static_cast<std::size_t>(kControlTable[row].index)];
    option = option == 0 ? 1 : 0;
    SendMessageA(state.controls[row], BM_SETCHECK, option != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
}

void set_busy_rows(const WindowState& state, BOOL enabled) {
    for (int row : kBusyRows) EnableWindow(state.controls[row], enabled);
}

}  // namespace

void set_busy(const WindowState& state) {
    set_busy_rows(state, FALSE);
}

void set_idle(const WindowState& state) {
    set_busy_rows(state, TRUE);
}

void on_command(WindowState& state, int code, int id) {
    if (code != 0) return;
    HWND window = state.window;
    switch (id) {
        case kCommandLanguage:
            settings[kLanguage] += 1;
            if (settings[kLanguage] == kLanguageCount) settings[kLanguage] = 0;
            relabel(state);
            break;
        case kCommandDefaultSize:
            SetWindowPos(window, HWND_TOP, 0, 0,
                         state.metrics.char_width * kDefaultWidthTenths / 10,
                         state.metrics.line_height * kDefaultHeightTenths / 10,
                         SWP_NOMOVE | SWP_NOOWNERZORDER);
            break;
        case kCommandInputFile:
            input_file(state);
            break;
        case kCommandAddAll:
            run_busy(state, add_all);
            break;
        case kCommandClear:
            run_busy(state, clear_registration);
            break;
        case kCommandSort:
            run_busy(state, sort_registration);
            break;
        case kCommandGenerate:
            generate(state);
            break;
        case kCommandOptionCcRl:
        case kCommandOptionSigned:
        case kCommandOptionLiterals:
            toggle_option(state, id);
            break;
        default:
            break;
    }
    InvalidateRect(window, nullptr, TRUE);
}

}  // namespace glyfor
