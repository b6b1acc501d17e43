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

namespace {

const ControlDef& row_def(int row) {
    return kControlTable[static_cast<std::size_t>(row)];
}

// No font is ever selected, so the window, the painted items and the controls all use the
// system font measured here.
void measure_font(WindowState& state) {
    HDC dc = GetDC(state.window);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    ReleaseDC(state.window, dc);
    state.metrics = char_metrics_from(metrics.tmAveCharWidth, metrics.tmHeight,
                                      metrics.tmExternalLeading, metrics.tmPitchAndFamily);
}

void create_control(WindowState& state, HINSTANCE instance, int row) {
    const ControlDef& def = row_def(row);
    const ControlPlacement at = control_placement(def, state.metrics, state.offset);
    HWND control = CreateWindowExA(
        0, control_class(def), " ", static_cast<DWORD>(def.style), at.x, at.y, at.width, at.height,
        state.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(row)), instance, nullptr);
    state.controls[static_cast<std::size_t>(row)] = control;
    if (initially_checked(def, row)) SendMessageA(control, BM_SETCHECK, BST_CHECKED, 0);
    NumberText number{};
    if (const char* text = initial_text(def, number)) {
        if (def.kind == kEditSlot) {
            set_edit_text(state, row, text);
        } else {
            set_control_text(control, text);
        }
    }
    if (initially_disabled(def)) EnableWindow(control, FALSE);
}

void restore_window_rect(HWND window) {
    WindowRect rect{};
    if (!stored_window_rect(rect)) return;
    MoveWindow(window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

void on_create(WindowState& state, const CREATESTRUCTA* create) {
    measure_font(state);
    state.offset = {0, 0};
    load_settings();
    for (int row = 0; row < kControlRows; ++row) {
        if (control_class(row_def(row)) != nullptr) create_control(state, create->hInstance, row);
    }
    text_observer = &state;
    relabel(state);
    restore_window_rect(state.window);
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

void on_destroy(WindowState& state) {
    if (settings_path[0] != '\0') {
        read_edit_texts(state);
        WindowRect rect{};
        save_settings(window_rect_to_save(state.window, rect) ? &rect : nullptr);
    }
    text_observer = nullptr;
    state.controls.fill(nullptr);
    SetWindowLongPtrA(state.window, GWLP_USERDATA, 0);
    state.window = nullptr;
    PostQuitMessage(0);
}

void on_size(WindowState& state, int width, int height) {
    HWND window = state.window;
    const CharMetrics& metrics = state.metrics;
    const ResizeStep step = resize_step(width, height, metrics, state.offset);
    if (step.down > 0) {
        ScrollWindow(window, 0, step.down * metrics.line_height, nullptr, nullptr);
        state.offset.voff += step.down;
    }
    if (step.right > 0) {
        ScrollWindow(window, step.right * metrics.char_width, 0, nullptr, nullptr);
        state.offset.hoff += step.right;
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

void paint(const WindowState& state, HDC dc) {
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    for (const ControlDef& def : kControlTable) {
        if (!is_painted(def)) continue;
        const PixelRect at = paint_rect(def, state.metrics, state.offset);
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

void on_paint(const WindowState& state) {
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(state.window, &ps);
    paint(state, dc);
    EndPaint(state.window, &ps);
}

void on_scroll(WindowState& state, int bar, int request) {
    HWND window = state.window;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(window, bar, &info);
    const int old = info.nPos;
    const ScrollBarState before = {info.nMin, info.nMax, static_cast<int>(info.nPage), info.nPos,
                                   info.nTrackPos};
    info.fMask = SIF_POS;
    info.nPos = requested_position(before, request);
    // The platform clamps the position to the range and page; take what it kept.
    SetScrollInfo(window, bar, &info, TRUE);
    GetScrollInfo(window, bar, &info);
    if (info.nPos == old) return;

    if (bar == SB_VERT) {
        const int d = scroll_delta(old, info.nPos, state.offset.voff);
        ScrollWindow(window, 0, d * state.metrics.line_height, nullptr, nullptr);
        state.offset.voff += d;
        UpdateWindow(window);
    } else {
        const int d = scroll_delta(old, info.nPos, state.offset.hoff);
        ScrollWindow(window, d * state.metrics.char_width, 0, nullptr, nullptr);
        state.offset.hoff += d;
        InvalidateRect(window, nullptr, TRUE);
    }
}

// The state given to create_main_window, kept with the window from its first own message on.
// Messages that come before WM_NCCREATE (WM_GETMINMAXINFO) find none.
WindowState* state_of(HWND window, UINT message, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* state = static_cast<WindowState*>(
            reinterpret_cast<const CREATESTRUCTA*>(lparam)->lpCreateParams);
        state->window = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
        return state;
    }
    return reinterpret_cast<WindowState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// Only dispatches: one line per message, everything else goes to the default handling.
LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    WindowState* state = state_of(window, message, lparam);
    if (state == nullptr) return DefWindowProcA(window, message, wparam, lparam);
    WindowState& s = *state;
    // clang-format off
    switch (message) {
    case WM_CREATE: on_create(s, reinterpret_cast<const CREATESTRUCTA*>(lparam)); return 0;
    case WM_DESTROY: on_destroy(s); return 0;
    case WM_SIZE: on_size(s, LOWORD(lparam), HIWORD(lparam)); return 0;
    case WM_PAINT: on_paint(s); return 0;
    case WM_COMMAND: on_command(s, HIWORD(wparam), LOWORD(wparam)); return 0;
    case WM_HSCROLL: on_scroll(s, SB_HORZ, LOWORD(wparam)); return 0;
    case WM_VSCROLL: on_scroll(s, SB_VERT, LOWORD(wparam)); return 0;
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

HWND create_main_window(HINSTANCE instance, WindowState& state) {
    return CreateWindowExA(0, kWindowClass, kCaption, kMainWindowStyle, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance,
                           &state);
}

}  // namespace glyfor
