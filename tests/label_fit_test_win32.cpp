// Every label of the control table, in both languages, fits the control the window makes for
// it. The window sizes its controls from the system font it measured; the labels are drawn in
// that same font, so a font whose cells are narrow for its glyphs cuts labels off. This runs in
// the setup `make run` gives the window (tools/wine-run --prefix-setup run).
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/layout.h"
#include "app/window_win32.h"

namespace glyfor {
namespace {

namespace fs = std::filesystem;

bool column_has_ink(HDC dc, int x, int height, COLORREF background) {
    for (int y = 0; y < height; ++y) {
        if (GetPixel(dc, x, y) != background) return true;
    }
    return false;
}

// The first column from `x` on that is (or is not) inked; `width` when there is none.
int next_column(HDC dc, int x, int width, int height, COLORREF background, bool ink) {
    while (x < width && column_has_ink(dc, x, height, background) != ink) ++x;
    return x;
}

class LabelFitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(register_window_class(GetModuleHandleA(nullptr)) ||
                    GetLastError() == ERROR_CLASS_ALREADY_EXISTS);
        // The window keeps its Glyfor.ini in the current directory.
        home_ = fs::current_path();
        dir_ = fs::temp_directory_path() / "glyfor-label-fit";
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        fs::current_path(dir_);
        window_ = create_main_window(GetModuleHandleA(nullptr), state_);
        ASSERT_NE(window_, nullptr);
        ShowWindow(window_, SW_SHOWNORMAL);
        UpdateWindow(window_);
        pump();
    }

    void TearDown() override {
        if (window_ != nullptr) DestroyWindow(window_);
        pump();
        fs::current_path(home_);
        fs::remove_all(dir_);
    }

    static void pump() {
        MSG message{};
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

    // The label's width in the font the window measured: the window's own default font.
    int text_width(const char* text) const {
        HDC dc = GetDC(window_);
        SIZE size{};
        GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
        ReleaseDC(window_, dc);
        return size.cx;
    }

    // Where the first ink of "|" lies when drawn at x = 0 in the window's font.
    int bar_bearing() const {
        HDC dc = GetDC(window_);
        const COLORREF background = GetSysColor(COLOR_BTNFACE);
        SetBkColor(dc, background);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        TextOutA(dc, 0, 0, "|", 1);
        const int bearing = next_column(dc, 0, state_.metrics.char_width * 2,
                                        state_.metrics.line_height, background, true);
        ReleaseDC(window_, dc);
        return bearing;
    }

    // Pixels a check box or radio button keeps left of its text, found in the control itself:
    // its box, a gap, then the text, here a "|" whose own left bearing is taken off.
    int text_offset(HWND control) const {
        std::array<char, 64> saved{};
        GetWindowTextA(control, saved.data(), static_cast<int>(saved.size()));
        SetWindowTextA(control, "|");
        InvalidateRect(control, nullptr, TRUE);
        UpdateWindow(control);
        RECT client{};
        GetClientRect(control, &client);
        HDC dc = GetDC(control);
        // The far right end of the control holds neither box nor text.
        const COLORREF background = GetPixel(dc, client.right - 1, 0);
        const int box = next_column(dc, 0, client.right, client.bottom, background, true);
        const int gap = next_column(dc, box, client.right, client.bottom, background, false);
        const int text = next_column(dc, gap, client.right, client.bottom, background, true);
        ReleaseDC(control, dc);
        SetWindowTextA(control, saved.data());
        std::printf("check box: box %d..%d, text from %d (SM_CXMENUCHECK %d)\n", box, gap, text,
                    GetSystemMetrics(SM_CXMENUCHECK));
        return text - bar_bearing();
    }

    // The width a control's label may take: a push button's 3-D border is not text space.
    int label_space(int row) const {
        const ControlDef& def = kControlTable[static_cast<std::size_t>(row)];
        const int width = control_placement(def, state_.metrics, {0, 0}).width;
        switch (def.kind) {
            case kPushButton:
            case kPlainButton:
                return width - 2 * GetSystemMetrics(SM_CXEDGE);
            case kCheckBox:
            case kRadioButton:
                return width - text_offset(state_.controls[static_cast<std::size_t>(row)]);
            default:
                return width;
        }
    }

    fs::path home_;
    fs::path dir_;
    WindowState state_;
    HWND window_ = nullptr;
};

TEST_F(LabelFitTest, EveryLabelFitsItsControlInBothLanguages) {
    TEXTMETRICA metrics{};
    HDC dc = GetDC(window_);
    GetTextMetricsA(dc, &metrics);
    ReleaseDC(window_, dc);
    std::printf("system font: average width %ld, height %ld, %s pitch; cell %d x %d\n",
                metrics.tmAveCharWidth, metrics.tmHeight,
                (metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) != 0 ? "variable" : "fixed",
                state_.metrics.char_width, state_.metrics.line_height);

    int labels = 0;
    for (int row = 0; row < kControlRows; ++row) {
        const ControlDef& def = kControlTable[static_cast<std::size_t>(row)];
        if (!is_labelled(def)) continue;
        const int space = label_space(row);
        for (int language = 0; language < 2; ++language) {
            const char* text = label(def, language);
            const int width = text_width(text);
            std::printf("row %2d %s: label %3d px, space %3d px%s\n", row,
                        language == 0 ? "ja" : "en", width, space, width > space ? "  CUT" : "");
            EXPECT_LE(width, space) << "row " << row << " language " << language << ": " << text;
            ++labels;
        }
    }
    // Guards against a table or a predicate that leaves nothing to check.
    EXPECT_GE(labels, 2 * 12);
}

}  // namespace
}  // namespace glyfor
