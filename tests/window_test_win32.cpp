// The real main window, created in this process and driven with messages: its controls, their
// labels and initial states, saving and restoring through Glyfor.ini, scrolling and painting.
// Every test runs in a directory of its own, which holds its Glyfor.ini.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/layout.h"
#include "app/registration.h"
#include "app/settings.h"
#include "app/state.h"
#include "app/window_win32.h"
#include "charset/charset.h"

namespace glyfor {
namespace {

// The window under test keeps its state here.
WindowState main_window;

namespace fs = std::filesystem;

// 亜唖 and, on a second line, 娃阿; all four exist in code page 932 both ways.
constexpr char kDetectedText[] = "\x88\x9F\x88\xA0";
constexpr char kRegisteredText[] = "\x88\xA1\r\n\x88\xA2";

struct IniContent {
    std::array<int, kSettingsCount> entries{};
    std::array<std::string, kSlotCount> slots{};
};

// The bytes Glyfor.ini holds: CR LF line ends, LF inside a slot stored as BEL.
std::string ini_bytes(const IniContent& ini) {
    std::string bytes = std::to_string(kSettingsCount) + "\r\n";
    for (int value : ini.entries) bytes += std::to_string(value) + "\r\n";
    bytes += std::to_string(kSlotCount) + "\r\n";
    for (std::string slot : ini.slots) {
        for (char& c : slot) {
            if (c == '\n') c = '\x07';
        }
        bytes += slot + "\r\n";
    }
    return bytes;
}

std::vector<std::string> ini_lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(bytes.substr(start, end - start));
    }
    return lines;
}

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string text_of(HWND window) {
    std::array<char, kTextSize> text{};
    SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

std::wstring wide_text_of(HWND window) {
    std::array<wchar_t, 200> text{};
    GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    return text.data();
}

std::string class_of(HWND window) {
    std::array<char, 64> name{};
    GetClassNameA(window, name.data(), static_cast<int>(name.size()));
    return name.data();
}

// A control's rectangle in the main window's client coordinates.
RECT client_rect_of(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

class WindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(register_window_class(GetModuleHandleA(nullptr))); }

    void SetUp() override {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        home_ = fs::current_path();
        dir_ = fs::temp_directory_path() / (std::string("glyfor-window-") + info->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        fs::current_path(dir_);
    }

    void TearDown() override {
        if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
        pump();
        fs::current_path(home_);
        fs::remove_all(dir_);
    }

    void write_ini(const IniContent& ini) {
        std::ofstream out(dir_ / "Glyfor.ini", std::ios::binary);
        out << ini_bytes(ini);
    }

    std::vector<std::string> saved_lines() { return ini_lines(read_file(dir_ / "Glyfor.ini")); }

    // Handles everything queued; returns true when the quit message came, with its code.
    bool pump(int* quit_code = nullptr) {
        MSG message{};
        bool quit = false;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = true;
                if (quit_code != nullptr) *quit_code = static_cast<int>(message.wParam);
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        return quit;
    }

    void start() {
        window_ = create_main_window(GetModuleHandleA(nullptr), main_window);
        ASSERT_NE(window_, nullptr);
        ShowWindow(window_, SW_SHOWNORMAL);
        UpdateWindow(window_);
        pump();
    }

    // Destroys the window and expects the quit message with code 0.
    void close_by(UINT message) {
        if (message == WM_CLOSE) {
            SendMessageA(window_, WM_CLOSE, 0, 0);
        } else {
            DestroyWindow(window_);
        }
        int code = -1;
        EXPECT_TRUE(pump(&code));
        EXPECT_EQ(code, 0);
        EXPECT_FALSE(IsWindow(window_));
        window_ = nullptr;
    }

    HWND control(int row) { return GetDlgItem(window_, row); }

    // Makes the client area `cols` by `lines` cells, half a cell to spare each way.
    void resize_client(int cols, int lines) {
        const int width =
            cols * main_window.metrics.char_width + main_window.metrics.char_width / 2;
        const int height =
            lines * main_window.metrics.line_height + main_window.metrics.line_height / 2;
        // Scroll bars come and go with the size; a few rounds settle them.
        for (int round = 0; round < 4; ++round) {
            RECT frame{};
            RECT client{};
            GetWindowRect(window_, &frame);
            GetClientRect(window_, &client);
            SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left + width - client.right,
                         frame.bottom - frame.top + height - client.bottom,
                         SWP_NOMOVE | SWP_NOZORDER);
            pump();
        }
        RECT client{};
        GetClientRect(window_, &client);
        ASSERT_EQ(client.right / main_window.metrics.char_width, cols);
        ASSERT_EQ(client.bottom / main_window.metrics.line_height, lines);
    }

    void scroll(UINT message, int request, int times = 1) {
        for (int i = 0; i < times; ++i) SendMessageA(window_, message, MAKEWPARAM(request, 0), 0);
        UpdateWindow(window_);
        pump();
    }

    fs::path home_;
    fs::path dir_;
    HWND window_ = nullptr;
};

TEST_F(WindowTest, MetricsComeFromTheDefaultFont) {
    start();
    HDC dc = GetDC(window_);
    TEXTMETRICA metrics{};
    ASSERT_TRUE(GetTextMetricsA(dc, &metrics));
    ReleaseDC(window_, dc);
    const bool variable = (metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) != 0;
    std::printf("default font: average width %ld, height %ld + %ld, %s pitch\n",
                metrics.tmAveCharWidth, metrics.tmHeight, metrics.tmExternalLeading,
                variable ? "variable" : "fixed");
    EXPECT_EQ(main_window.metrics.char_width,
              variable ? metrics.tmAveCharWidth * 3 / 2 : metrics.tmAveCharWidth);
    EXPECT_EQ(main_window.metrics.line_height, metrics.tmHeight + metrics.tmExternalLeading);
    EXPECT_EQ(wide_text_of(window_), L"Glyfor:漢字フォント・データ生成 R1.11");
    EXPECT_EQ(text_of(window_), kCaption);
    // The scroll-bar bits come and go with the bars, which a window this large does not need.
    const DWORD style = static_cast<DWORD>(GetWindowLongA(window_, GWL_STYLE));
    EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, static_cast<DWORD>(WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(style & (WS_VSCROLL | WS_HSCROLL), 0u);
}

TEST_F(WindowTest, EveryControlOfTheTableWithItsIdentifierClassStyleAndRectangle) {
    start();
    int created = 0;
    for (int row = 0; row < kControlRows; ++row) {
        SCOPED_TRACE(row);
        const ControlDef& def = kControlTable[static_cast<std::size_t>(row)];
        HWND item = control(row);
        EXPECT_EQ(item, main_window.controls[static_cast<std::size_t>(row)]);
        if (control_class(def) == nullptr) {
            EXPECT_EQ(item, nullptr);
            continue;
        }
        ASSERT_NE(item, nullptr);
        ++created;
        EXPECT_EQ(GetDlgCtrlID(item), row);
        EXPECT_EQ(_stricmp(class_of(item).c_str(), control_class(def)), 0) << class_of(item);
        // An edit control takes WS_BORDER out of its window style and draws the border itself.
        DWORD style = static_cast<DWORD>(GetWindowLongA(item, GWL_STYLE));
        if (def.kind == kEditSlot) style |= WS_BORDER;
        EXPECT_EQ(style, static_cast<DWORD>(def.style));
        EXPECT_TRUE(IsWindowEnabled(item));
        const ControlPlacement at = control_placement(def, main_window.metrics, {0, 0});
        const RECT rect = client_rect_of(item);
        EXPECT_EQ(rect.left, at.x);
        EXPECT_EQ(rect.top, at.y);
        EXPECT_EQ(rect.right - rect.left, at.width);
        EXPECT_EQ(rect.bottom - rect.top, at.height);
    }
    EXPECT_EQ(created, 15);
}

struct Label {
    int row;
    const wchar_t* japanese;
    const char* english;
};

const Label kLabels[] = {
    {0, L"78K0Rマイコン用の漢字フォント・データを生成します。",
     "Generating Kanji-font data for 78K0R micro-controller."},
    {1, L"English", "Japanese"},
    {2, L"#", "#"},
    {6, L"入力ファイル選択", "Input text file"},
    {9, L"文字検出", "characters detected"},
    {10, L"全部追加", "Add all"},
    {11, L"登録文字クリア", "Clear registration"},
    {12, L"登録文字整列", "Sort characters"},
    {20, L"文字登録", "characters registered"},
    {25, L"フォント・データ生成", "Generating font data"},
    {26, L"CC-RLコンパイラ用", "for CC-RL Compiler"},
    {27, L"符号付データ", "Signed data"},
    {28, L"文字列リテラルのみ", "String literals only"},
};

TEST_F(WindowTest, LabelsInJapaneseWithoutASettingsFile) {
    start();
    for (const Label& label : kLabels) {
        EXPECT_EQ(wide_text_of(control(label.row)), label.japanese) << label.row;
    }
    EXPECT_EQ(text_of(control(kDetectedEditRow)), "");
    EXPECT_EQ(text_of(control(kRegisteredEditRow)), "");
    EXPECT_EQ(SendMessageA(control(kOptionCcRlRow), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(control(kOptionSignedRow), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(WindowTest, LabelsInEnglishWhenStoredSo) {
    IniContent ini;
    ini.entries[kLanguage] = 1;
    write_ini(ini);
    start();
    for (const Label& label : kLabels) EXPECT_EQ(text_of(control(label.row)), label.english);
    // Back to Japanese the way the language command does it.
    settings[kLanguage] = 0;
    relabel(main_window);
    for (const Label& label : kLabels) EXPECT_EQ(wide_text_of(control(label.row)), label.japanese);
    EXPECT_EQ(text_of(window_), kCaption);
}

TEST_F(WindowTest, InitialTextsAndCheckMarksComeFromTheSettingsFile) {
    for (int signed_option : {0, 1}) {
        SCOPED_TRACE(signed_option);
        IniContent ini;
        ini.entries[kOptionCcRl] = 1 - signed_option;
        ini.entries[kOptionSigned] = signed_option;
        ini.slots[kSlotDetected] = kDetectedText;
        ini.slots[kSlotRegistered] = kRegisteredText;
        write_ini(ini);
        start();
        EXPECT_EQ(text_of(control(kDetectedEditRow)), kDetectedText);
        EXPECT_EQ(text_of(control(kRegisteredEditRow)), kRegisteredText);
        EXPECT_EQ(SendMessageA(control(kOptionCcRlRow), BM_GETCHECK, 0, 0),
                  signed_option == 0 ? BST_CHECKED : BST_UNCHECKED);
        EXPECT_EQ(SendMessageA(control(kOptionSignedRow), BM_GETCHECK, 0, 0),
                  signed_option == 1 ? BST_CHECKED : BST_UNCHECKED);
        close_by(WM_CLOSE);
    }
}

// Entry 5 was reserved and always saved as it was loaded, so an existing Glyfor.ini holds 0
// there: the box starts unchecked and the program scans as it always did.
TEST_F(WindowTest, LiteralsBoxStartsFromEntryFiveAndIsSavedThere) {
    struct Case {
        int stored;
        int clicks;
        int saved;
    };
    const Case cases[] = {{0, 0, 0}, {0, 1, 1}, {1, 0, 1}, {1, 1, 0}, {0, 2, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.stored << " clicked " << c.clicks);
        IniContent ini;
        ini.entries[kOptionLiterals] = c.stored;
        write_ini(ini);
        start();
        HWND box = control(kOptionLiteralsRow);
        EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0),
                  c.stored != 0 ? BST_CHECKED : BST_UNCHECKED);
        for (int i = 0; i < c.clicks; ++i) {
            SendMessageA(window_, WM_COMMAND, MAKEWPARAM(kOptionLiteralsRow, BN_CLICKED),
                         reinterpret_cast<LPARAM>(box));
        }
        EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), c.saved != 0 ? BST_CHECKED : BST_UNCHECKED);
        close_by(WM_CLOSE);
        const std::vector<std::string> lines = saved_lines();
        ASSERT_GT(lines.size(), 1u + kOptionLiterals);
        EXPECT_EQ(lines[1 + kOptionLiterals], std::to_string(c.saved));
        EXPECT_EQ(lines[1 + kOptionCcRl], "0") << "the other options stay as they were";
        EXPECT_EQ(lines[1 + kOptionSigned], "0");
    }
}

TEST_F(WindowTest, RegistrationResultsReachTheEditControls) {
    start();
    SendMessageA(control(kRegisteredEditRow), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>("x\x88\xA0 \x88\x9F"));
    read_edit_texts(main_window);
    normalise_registered();
    EXPECT_EQ(text_of(control(kRegisteredEditRow)), "\x88\x9F\x88\xA0");
    EXPECT_EQ(settings[kRegisteredCount], 2);
}

TEST_F(WindowTest, ClosingSavesTextsAndRectangleAndTheNextStartRestoresThem) {
    for (UINT closing : {WM_CLOSE, WM_DESTROY}) {
        SCOPED_TRACE(closing);
        start();
        SendMessageA(control(kDetectedEditRow), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(kDetectedText));
        SendMessageA(control(kRegisteredEditRow), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(kRegisteredText));
        MoveWindow(window_, 40, 50, 600 + static_cast<int>(closing), 420, TRUE);
        pump();
        RECT before{};
        GetWindowRect(window_, &before);
        close_by(closing);

        const std::vector<std::string> lines = saved_lines();
        ASSERT_EQ(lines.size(), 1u + kSettingsCount + 1u + kSlotCount);
        EXPECT_EQ(lines[1 + kWindowLeft], std::to_string(before.left));
        EXPECT_EQ(lines[1 + kWindowTop], std::to_string(before.top));
        EXPECT_EQ(lines[1 + kWindowRight], std::to_string(before.right));
        EXPECT_EQ(lines[1 + kWindowBottom], std::to_string(before.bottom));
        const std::size_t slots = 2 + kSettingsCount;
        EXPECT_EQ(lines[slots + kSlotDetected], kDetectedText);
        EXPECT_EQ(lines[slots + kSlotRegistered], "\x88\xA1\r\x07\x88\xA2");

        start();
        RECT after{};
        GetWindowRect(window_, &after);
        EXPECT_EQ(after.left, before.left);
        EXPECT_EQ(after.top, before.top);
        EXPECT_EQ(after.right, before.right);
        EXPECT_EQ(after.bottom, before.bottom);
        EXPECT_EQ(text_of(control(kDetectedEditRow)), kDetectedText);
        EXPECT_EQ(text_of(control(kRegisteredEditRow)), kRegisteredText);
        close_by(WM_CLOSE);
    }
}

// The settings file the Linux build writes for this state is the golden file; the window,
// started from it and closed untouched, writes the same bytes.
TEST_F(WindowTest, SavesTheSameBytesAsThePortableBuild) {
    const std::string golden = read_file(GLYFOR_GOLDEN_DIR "/settings.ini");
    ASSERT_FALSE(golden.empty());
    {
        std::ofstream out(dir_ / "Glyfor.ini", std::ios::binary);
        out << golden;
    }
    start();
    fs::remove(dir_ / "Glyfor.ini");
    close_by(WM_CLOSE);
    EXPECT_EQ(read_file(dir_ / "Glyfor.ini"), golden);
}

TEST_F(WindowTest, AMinimisedWindowKeepsItsRestoredRectangle) {
    start();
    MoveWindow(window_, 30, 40, 630, 440, TRUE);
    pump();
    ShowWindow(window_, SW_MINIMIZE);
    pump();
    ASSERT_TRUE(IsIconic(window_));
    close_by(WM_CLOSE);
    const std::vector<std::string> lines = saved_lines();
    ASSERT_GT(lines.size(), 5u);
    EXPECT_EQ(lines[1 + kWindowLeft], "30");
    EXPECT_EQ(lines[1 + kWindowTop], "40");
    EXPECT_EQ(lines[1 + kWindowRight], "660");
    EXPECT_EQ(lines[1 + kWindowBottom], "480");
}

TEST_F(WindowTest, EnlargingBringsAScrolledCanvasBack) {
    start();
    resize_client(60, 22);
    const RECT at_rest = client_rect_of(control(kDetectedEditRow));
    const int lh = main_window.metrics.line_height;

    const DWORD style = static_cast<DWORD>(GetWindowLongA(window_, GWL_STYLE));
    EXPECT_EQ(style & (WS_VSCROLL | WS_HSCROLL), static_cast<DWORD>(WS_VSCROLL));

    scroll(WM_VSCROLL, SB_LINEDOWN, 3);
    EXPECT_EQ(main_window.offset.voff, -3);
    EXPECT_EQ(GetScrollPos(window_, SB_VERT), 3);
    EXPECT_EQ(client_rect_of(control(kDetectedEditRow)).top, at_rest.top - 3 * lh);

    // Releasing the thumb and the end of scrolling move nothing.
    scroll(WM_VSCROLL, SB_THUMBPOSITION);
    scroll(WM_VSCROLL, SB_ENDSCROLL);
    EXPECT_EQ(main_window.offset.voff, -3);
    EXPECT_EQ(client_rect_of(control(kDetectedEditRow)).top, at_rest.top - 3 * lh);

    resize_client(60, 27);
    EXPECT_EQ(main_window.offset.voff, 0);
    EXPECT_EQ(client_rect_of(control(kDetectedEditRow)).top, at_rest.top);

    resize_client(60, 35);
    EXPECT_EQ(main_window.offset.voff, 0);
    EXPECT_EQ(client_rect_of(control(kDetectedEditRow)).top, at_rest.top);
    EXPECT_EQ(client_rect_of(control(kDetectedEditRow)).left, at_rest.left);
}

TEST_F(WindowTest, ScrollingStopsAtTheEndsOfTheCanvas) {
    start();
    resize_client(40, 20);
    const RECT at_rest = client_rect_of(control(kRegisteredEditRow));
    const int cw = main_window.metrics.char_width;
    const int lh = main_window.metrics.line_height;

    scroll(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(main_window.offset.voff, -(kCanvasLines + 1 - 20));
    scroll(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(main_window.offset.voff, -(kCanvasLines + 1 - 20));
    scroll(WM_HSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(main_window.offset.hoff, -(kCanvasColumns + 1 - 40));
    const RECT scrolled = client_rect_of(control(kRegisteredEditRow));
    EXPECT_EQ(scrolled.left, at_rest.left + main_window.offset.hoff * cw);
    EXPECT_EQ(scrolled.top, at_rest.top + main_window.offset.voff * lh);

    scroll(WM_VSCROLL, SB_TOP);
    scroll(WM_HSCROLL, SB_LINEUP, 50);
    EXPECT_EQ(main_window.offset.voff, 0);
    EXPECT_EQ(main_window.offset.hoff, 0);
    EXPECT_EQ(client_rect_of(control(kRegisteredEditRow)).left, at_rest.left);
    EXPECT_EQ(client_rect_of(control(kRegisteredEditRow)).top, at_rest.top);
}

// Whether any pixel of the client rectangle differs from the button face colour.
bool has_ink(HWND window, int left, int top, int right, int bottom) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    HDC dc = GetDC(window);
    bool ink = false;
    for (int y = top; y < bottom && !ink; ++y) {
        for (int x = left; x < right && !ink; ++x) ink = GetPixel(dc, x, y) != face;
    }
    ReleaseDC(window, dc);
    return ink;
}

TEST_F(WindowTest, CounterPartlyOffTheLeftEdgeIsNotDrawn) {
    IniContent ini;
    ini.entries[kDetectedCount] = 8888888;  // wider than its box, so its right part shows
    write_ini(ini);
    start();
    resize_client(30, 22);
    const int cw = main_window.metrics.char_width;
    const int lh = main_window.metrics.line_height;
    // The detected counter lies at columns 17..21, lines 2.6..3.6; nothing else is painted or
    // placed there within its first four columns.
    const int top = lh * 26 / 10;
    const int bottom = lh * 36 / 10;

    scroll(WM_HSCROLL, SB_LINEDOWN, 17);
    ASSERT_EQ(main_window.offset.hoff, -17);
    InvalidateRect(window_, nullptr, TRUE);
    UpdateWindow(window_);
    EXPECT_TRUE(has_ink(window_, 0, top, 4 * cw, bottom));

    scroll(WM_HSCROLL, SB_LINEDOWN);
    ASSERT_EQ(main_window.offset.hoff, -18);
    InvalidateRect(window_, nullptr, TRUE);
    UpdateWindow(window_);
    EXPECT_FALSE(has_ink(window_, 0, top, 3 * cw, bottom));
}

}  // namespace
}  // namespace glyfor
