#include "app/window_win32.h"

#include <cstdint>

#include "app/commands_win32.h"
#include "app/settings.h"
#include "app/state.h"

namespace glyfor {

static_assert(kStylePlain == (WS_CHILD | WS_VISIBLE));
static_assert(kStyleEdit == (WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE |
                             ES_AUTOVSCROLL | ES_AUTOHSCROLL));
static_assert(kStyleCheck == (WS_CHILD | WS_VISIBLE | BS_LEFT | BS_CHECKBOX));
static_assert(kFormatRight == DT_RIGHT);
static_assert(kVariablePitchBit == TMPF_FIXED_PITCH);
static_assert(kScrollLineBack == SB_LINEUP && kScrollLineForward == SB_LINEDOWN &&
              kScrollPageBack == SB_PAGEUP && kScrollPageForward == SB_PAGEDOWN &&
              kScrollThumbPosition == SB_THUMBPOSITION && kScrollThumbTrack == SB_THUMBTRACK &&
              kScrollTop == SB_TOP && kScrollBottom == SB_BOTTOM && kScrollEnd == SB_ENDSCROLL);

std::array<HWND, kControlRows> control_handles{};
CharMetrics char_metrics{};
ScrollOffset scroll_offset{};

namespace {

const ControlDef& row_def(int row) {
    return kControlTable[static_cast<std::size_t>(row)];
}

void set_text(HWND control, const char* text) {
    SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

// The registration operations show their results in the edit controls through this.
class EditControlView final : public TextView {
  public:
    void show_text(int row, const char* text) override {
        set_text(control_handles[static_cast<std::size_t>(row)], text);
    }
};

EditControlView edit_control_view;

// No font is ever selected, so the window, the painted items and the controls all use the
// system font measured here.
void measure_font(HWND window) {
    HDC dc = GetDC(window);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    ReleaseDC(window, dc);
    char_metrics = char_metrics_from(metrics.tmAveCharWidth, metrics.tmHeight,
                                     metrics.tmExternalLeading, metrics.tmPitchAndFamily);
}

void create_control(HWND window, HINSTANCE instance, int row) {
    const ControlDef& def = row_def(row);
    const ControlPlacement at = control_placement(def, char_metrics, scroll_offset);
    HWND control = CreateWindowExA(
        0, control_class(def), " ", static_cast<DWORD>(def.style), at.x, at.y, at.width, at.height,
        window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(row)), instance, nullptr);
    control_handles[static_cast<std::size_t>(row)] = control;
    if (initially_checked(def, row)) SendMessageA(control, BM_SETCHECK, BST_CHECKED, 0);
    NumberText number{};
    if (const char* text = initial_text(def, number)) set_text(control, text);
    if (initially_disabled(def)) EnableWindow(control, FALSE);
}

void restore_window_rect(HWND window) {
    WindowRect rect{};
    if (!stored_window_rect(rect)) return;
    MoveWindow(window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

void on_create(HWND window, const CREATESTRUCTA* create) {
    measure_font(window);
    scroll_offset = {0, 0};
    load_settings();
    for (int row = 0; row < kControlRows; ++row) {
        if (control_class(row_def(row)) != nullptr) create_control(window, create->hInstance, row);
    }
    text_view = &edit_control_view;
    relabel();
    restore_window_rect(window);
}

// The rectangle to keep for the next start. A minimised window's own rectangle is its icon's
// place far off the screen, which would hide the next start's window; its restored rectangle
// is kept instead.
bool window_rect_to_save(HWND window, WindowRect& saved) {
    RECT rect{};
    if (IsIconic(window)) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        if (!GetWindowPlacement(window, &placement)) return false;
        rect = placement.rcNormalPosition;
    } else if (!GetWindowRect(window, &rect)) {
        return false;
    }
    saved = {rect.left, rect.top, rect.right, rect.bottom};
    return true;
}

void on_destroy(HWND window) {
    if (settings_path[0] != '\0') {
        read_edit_texts();
        WindowRect rect{};
        save_settings(window_rect_to_save(window, rect) ? &rect : nullptr);
    }
    text_view = nullptr;
    control_handles.fill(nullptr);
    PostQuitMessage(0);
}

void on_size(HWND window, int width, int height) {
    const ResizeStep step = resize_step(width, height, char_metrics, scroll_offset);
    if (step.down > 0) {
        ScrollWindow(window, 0, step.down * char_metrics.line_height, nullptr, nullptr);
        scroll_offset.voff += step.down;
    }
    if (step.right > 0) {
        ScrollWindow(window, step.right * char_metrics.char_width, 0, nullptr, nullptr);
        scroll_offset.hoff += step.right;
    }
    if (step.down > 0 || step.right > 0) InvalidateRect(window, nullptr, TRUE);

    SCROLLINFO bar{};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_RANGE | SIF_PAGE;
    bar.nMin = 0;
    bar.nMax = kVerticalRangeMax;
    bar.nPage = static_cast<UINT>(step.lines);
    SetScrollInfo(window, SB_VERT, &bar, TRUE);
    bar.nMax = kHorizontalRangeMax;
    bar.nPage = static_cast<UINT>(step.cols);
    SetScrollInfo(window, SB_HORZ, &bar, TRUE);
}

void paint(HDC dc) {
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    for (const ControlDef& def : kControlTable) {
        if (!is_painted(def)) continue;
        const PixelRect at = paint_rect(def, char_metrics, scroll_offset);
        if (!is_drawn(at)) continue;
        RECT rect = {at.left, at.top, at.right, at.bottom};
        NumberText number{};
        if (const char* text = paint_text(def, settings[kLanguage], number)) {
            DrawTextA(dc, text, -1, &rect, static_cast<UINT>(def.style));
        } else {
            DrawEdge(dc, &rect, static_cast<UINT>(def.style), static_cast<UINT>(def.group));
        }
    }
}

void on_paint(HWND window) {
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(window, &ps);
    paint(dc);
    EndPaint(window, &ps);
}

void on_scroll(HWND window, int bar, int request) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(window, bar, &info);
    const int old = info.nPos;
    const ScrollBarState state = {info.nMin, info.nMax, static_cast<int>(info.nPage), info.nPos,
                                  info.nTrackPos};
    info.fMask = SIF_POS;
    info.nPos = requested_position(state, request);
    // The platform clamps the position to the range and page; take what it kept.
    SetScrollInfo(window, bar, &info, TRUE);
    GetScrollInfo(window, bar, &info);
    if (info.nPos == old) return;

    if (bar == SB_VERT) {
        const int d = scroll_delta(old, info.nPos, scroll_offset.voff);
        ScrollWindow(window, 0, d * char_metrics.line_height, nullptr, nullptr);
        scroll_offset.voff += d;
        UpdateWindow(window);
    } else {
        const int d = scroll_delta(old, info.nPos, scroll_offset.hoff);
        ScrollWindow(window, d * char_metrics.char_width, 0, nullptr, nullptr);
        scroll_offset.hoff += d;
        InvalidateRect(window, nullptr, TRUE);
    }
}

// Only dispatches: one line per message, everything else goes to the default handling.
LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    // clang-format off
    switch (message) {
    case WM_CREATE: on_create(window, reinterpret_cast<const CREATESTRUCTA*>(lparam)); return 0;
    case WM_DESTROY: on_destroy(window); return 0;
    case WM_SIZE: on_size(window, LOWORD(lparam), HIWORD(lparam)); return 0;
    case WM_PAINT: on_paint(window); return 0;
    case WM_COMMAND: on_command(window, HIWORD(wparam), LOWORD(wparam)); return 0;
    case WM_HSCROLL: on_scroll(window, SB_HORZ, LOWORD(wparam)); return 0;
    case WM_VSCROLL: on_scroll(window, SB_VERT, LOWORD(wparam)); return 0;
    default: break;
    }
    // clang-format on
    return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

bool register_window_class(HINSTANCE instance) {
    WNDCLASSA window_class{};
    window_class.style = CS_HREDRAW | CS_VREDRAW;
    window_class.lpfnWndProc = window_procedure;
    window_class.hInstance = instance;
    window_class.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    window_class.lpszClassName = kWindowClass;
    return RegisterClassA(&window_class) != 0;
}

HWND create_main_window(HINSTANCE instance) {
    return CreateWindowExA(0, kWindowClass, kCaption, kMainWindowStyle, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance,
                           nullptr);
}

void relabel() {
    for (int row = 0; row < kControlRows; ++row) {
        const ControlDef& def = row_def(row);
        if (is_labelled(def)) {
            set_text(control_handles[static_cast<std::size_t>(row)],
                     label(def, settings[kLanguage]));
        }
    }
}

void read_edit_texts() {
    for (int row = 0; row < kControlRows; ++row) {
        const ControlDef& def = row_def(row);
        if (def.kind != kEditSlot) continue;
        TextSlot& slot = text_slots[static_cast<std::size_t>(def.index)];
        slot[0] = '\0';
        GetWindowTextA(control_handles[static_cast<std::size_t>(row)], slot.data(),
                       static_cast<int>(slot.size()));
    }
}

}  // namespace glyfor
