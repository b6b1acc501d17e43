// The commands of the main window, used the way a user uses them: through the real window, and
// where a command opens one, through the real file dialogs and message boxes, which a thread of
// the user's finds on the screen and answers.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "app/commands_win32.h"
#include "app/generation.h"
#include "app/layout.h"
#include "app/messages.h"
#include "app/registration.h"
#include "app/state.h"
#include "app/window_win32.h"
#include "charset/charset.h"
#include "charset/registration.h"
#include "font/font_writer.h"
#include "font/glyph_table.h"
#include "tests/text_support.h"
#include "tests/ui_driver_win32.h"

namespace glyfor {
namespace {

// The window under test keeps its state here.
WindowState main_window;

// Shift-JIS characters in JIS order.
const std::string kA = "\x88\x9f";   // 亜
const std::string kI = "\x88\xa0";   // 唖
const std::string kAi = "\x88\xa1";  // 娃
const std::string kAo = "\x88\xa2";  // 阿
const std::string kIn = "\x88\xf7";  // 院

constexpr std::array<int, 7> kBusyRows = {kInputFileRow,     kGenerateRow, kAddAllRow,
                                          kClearRow,         kSortRow,     kDetectedEditRow,
                                          kRegisteredEditRow};
// Stay usable while an operation runs.
constexpr std::array<int, 5> kAlwaysEnabledRows = {kLanguageRow, kDefaultSizeRow, kOptionCcRlRow,
                                                   kOptionSignedRow, kOptionLiteralsRow};

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

bool file_exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// What write_font_source makes of the current state, with the time the given file's banner
// carries, so a generated file can be compared byte for byte.
std::string font_like(const std::string& generated) {
    LocalTime when{};
    const std::size_t tab = generated.find('\t');
    if (tab == std::string::npos) return {};
    std::sscanf(generated.c_str() + tab, "%d/%d/%d %d:%d:%d", &when.year, &when.month, &when.day,
                &when.hour, &when.minute, &when.second);
    std::string out;
    write_font_source(testing::string_sink(out), when);
    return out;
}

// The file with its banner's date and time blanked out.
std::string without_time(std::string font) {
    const std::size_t tab = font.find('\t');
    const std::size_t end = font.find('\r', tab);
    if (tab != std::string::npos && end != std::string::npos) font.erase(tab, end - tab);
    return font;
}

// Runs glyfor-cli.exe of this build in the current directory; its exit code, or -1.
int run_cli(const std::string& arguments) {
    std::string program = GLYFOR_CLI;
    if (program.front() == '/') program = "Z:" + program;  // a host path under Wine
    for (char& c : program) {
        if (c == '/') c = '\\';
    }
    std::string command_line = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return -1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

// The codes of the generated file's index table, in its order.
std::vector<unsigned> index_codes(const std::string& font) {
    std::vector<unsigned> codes;
    const std::size_t begin = font.find("font_kanji_index[] = {");
    const std::size_t end = font.find("};", begin);
    if (begin == std::string::npos || end == std::string::npos) return codes;
    for (std::size_t at = font.find("0x", begin); at < end; at = font.find("0x", at + 1)) {
        codes.push_back(static_cast<unsigned>(std::stoul(font.substr(at, 6), nullptr, 16)));
    }
    return codes;
}

std::vector<unsigned> codes_of(const KanjiSet& set) {
    std::vector<unsigned> codes;
    for (cell c = 0; c < kCellCount; ++c) {
        if (set.flags[static_cast<std::size_t>(c)] != 0) codes.push_back(sjis_from_cell(c));
    }
    return codes;
}

KanjiSet set_of_text(const std::string& text) {
    KanjiSet set;
    parse_set_text(text.c_str(), set);
    return set;
}

// Slot `index` of a saved Glyfor.ini, with its stored BELs back as line feeds.
std::string saved_slot(const std::string& ini, int index) {
    std::size_t at = 0;
    for (int line = 0; line < 1 + kSettingsCount + 1 + index; ++line) at = ini.find("\r\n", at) + 2;
    std::string text = ini.substr(at, ini.find("\r\n", at) - at);
    for (char& c : text) {
        if (c == '\x07') c = '\n';
    }
    return text;
}

// What the user saw and did in one command.
struct Seen {
    bool dialog = false;
    std::string file_name;  // the name the file dialog offered
    bool busy_rows_enabled = true;
    std::string question;  // the overwrite question, if one came
    std::string message;   // the message box's text, if one came
    std::string caption;
};

// Watches the busy set whenever an operation shows a text, and passes the text on.
class BusyWatch : public TextObserver {
  public:
    explicit BusyWatch(TextObserver* window_view) : window_view_(window_view) {}
    void detected_text_changed(const char* text) override {
        watch();
        if (window_view_ != nullptr) window_view_->detected_text_changed(text);
    }
    void registered_text_changed(const char* text) override {
        watch();
        if (window_view_ != nullptr) window_view_->registered_text_changed(text);
    }
    int shown = 0;
    int busy_enabled = 0;
    int others_disabled = 0;

  private:
    void watch() {
        ++shown;
        for (int busy : kBusyRows) {
            if (IsWindowEnabled(main_window.controls[busy])) ++busy_enabled;
        }
        for (int other : kAlwaysEnabledRows) {
            if (!IsWindowEnabled(main_window.controls[other])) ++others_disabled;
        }
    }

    TextObserver* window_view_;
};

class CommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::array<char, MAX_PATH> temp{};
        GetTempPathA(static_cast<DWORD>(temp.size()), temp.data());
        static int counter = 0;
        dir_ = std::string(temp.data()) + "glyfor-commands-" +
               std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
        std::filesystem::remove_all(dir_);
        ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr));
        // Glyfor.ini lives in the current directory: each test starts without one.
        ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
        open_window();
    }

    void TearDown() override {
        close_window();
        SetCurrentDirectoryA("..");
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    void open_window() {
        static const bool registered = register_window_class(GetModuleHandleA(nullptr));
        ASSERT_TRUE(registered);
        window_ = create_main_window(GetModuleHandleA(nullptr), main_window);
        ASSERT_NE(window_, nullptr);
        ShowWindow(window_, SW_SHOWNORMAL);
        UpdateWindow(window_);
        pump();
    }

    // Closing by the frame saves Glyfor.ini.
    void close_window() {
        if (window_ != nullptr) SendMessageA(window_, WM_CLOSE, 0, 0);
        window_ = nullptr;
        pump();
    }

    static void pump() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

    std::string path(const std::string& name) const { return dir_ + "\\" + name; }

    static std::string text_of(int row) { return ui::text_of(main_window.controls[row]); }
    // As if typed: the text is in the control only, not yet in its slot.
    static void type(int row, const std::string& text) {
        SetWindowTextA(main_window.controls[row], text.c_str());
    }
    static bool checked(int row) {
        return SendMessageA(main_window.controls[row], BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    static std::string slot(int index) {
        return text_slots[static_cast<std::size_t>(index)].data();
    }

    // Sends a command from the window; returns how many dialogs were left unanswered.
    int command(
        int id, const std::function<void()>& user = [] {}) {
        ui::User the_user(user);
        on_command(main_window, 0, id);
        return the_user.finish();
    }

    // Whether the command asked for a repaint of the window.
    bool repainted(int code, int id) {
        ValidateRect(window_, nullptr);
        on_command(main_window, code, id);
        return GetUpdateRect(window_, nullptr, FALSE) != FALSE;
    }

    // What follows the file dialog in the user's script.
    enum Then : int {
        kNothingElse = 0,
        kOverwriteQuestion = 1,  // answered with yes
        kMessage = 2,            // read and closed with OK
    };

    // The user picks `file` in the file dialog the command opens. Whatever comes that `then`
    // does not expect is left showing, and counted as left open.
    static std::function<void()> choose(const std::string& file, Seen& seen,
                                        int then = kNothingElse) {
        return [file, &seen, then] {
            HWND dialog = ui::wait_for_dialog();
            if (dialog == nullptr || !ui::is_file_dialog(dialog)) return;
            seen.dialog = true;
            seen.file_name = ui::file_name_of(dialog);
            for (int row : kBusyRows) {
                seen.busy_rows_enabled &= IsWindowEnabled(main_window.controls[row]) != FALSE;
            }
            ui::accept_file_name(dialog, file);
            if ((then & kOverwriteQuestion) != 0) {
                HWND question = ui::wait_for_dialog(dialog);
                if (question == nullptr || !ui::is_message_box(question)) return;
                seen.question = ui::message_of(question);
                ui::press(question, IDYES);
                ui::wait_until_gone(question);
            }
            if ((then & kMessage) == 0) return;
            ui::wait_until_gone(dialog);
            HWND box = ui::wait_for_dialog();
            if (box == nullptr || !ui::is_message_box(box)) return;
            seen.message = ui::message_of(box);
            seen.caption = ui::text_of(box);
            ui::press(box, IDOK);
        };
    }

    static std::function<void()> cancel(Seen& seen) {
        return [&seen] {
            HWND dialog = ui::wait_for_dialog();
            if (dialog == nullptr || !ui::is_file_dialog(dialog)) return;
            seen.dialog = true;
            seen.file_name = ui::file_name_of(dialog);
            ui::press(dialog, IDCANCEL);
        };
    }

    std::string dir_;
    HWND window_ = nullptr;
};

TEST_F(CommandTest, NotificationsAreIgnoredWithoutRepaint) {
    const Settings before = settings;
    for (int code : {EN_CHANGE, EN_UPDATE, BN_DOUBLECLICKED}) {
        for (int id : {kLanguageRow, kAddAllRow, kClearRow, kOptionCcRlRow}) {
            EXPECT_FALSE(repainted(code, id)) << code << " " << id;
        }
    }
    EXPECT_EQ(settings, before);
    EXPECT_FALSE(checked(kOptionCcRlRow));
    EXPECT_STREQ(text_of(1).c_str(), label(kControlTable[1], 0));
}

TEST_F(CommandTest, CommandsWithoutActionOnlyRepaint) {
    type(kRegisteredEditRow, kAi + kA);
    type(kDetectedEditRow, kI);
    const Settings settings_before = settings;
    const std::string registered_before = slot(kSlotRegistered);
    for (int id : {0, 3, 4, 5, 7, 8, 9, 13, 14, 15, 29, 30, 100}) {
        EXPECT_TRUE(repainted(0, id)) << id;
        EXPECT_EQ(settings, settings_before) << id;
        EXPECT_EQ(slot(kSlotRegistered), registered_before) << id;
        EXPECT_EQ(text_of(kRegisteredEditRow), kAi + kA) << id;
        EXPECT_EQ(text_of(kDetectedEditRow), kI) << id;
    }
}

TEST_F(CommandTest, LanguageButtonSwitchesBothWays) {
    ASSERT_EQ(settings[kLanguage], 0);
    EXPECT_TRUE(repainted(0, kLanguageRow));
    EXPECT_EQ(settings[kLanguage], 1);
    EXPECT_EQ(text_of(1), "Japanese");
    EXPECT_EQ(text_of(10), "Add all");
    EXPECT_EQ(text_of(kOptionCcRlRow), "for CC-RL Compiler");

    EXPECT_TRUE(repainted(0, kLanguageRow));
    EXPECT_EQ(settings[kLanguage], 0);
    EXPECT_EQ(text_of(1), "English");
    EXPECT_STREQ(text_of(10).c_str(), label(kControlTable[10], 0));
}

TEST_F(CommandTest, SharpButtonRestoresTheDefaultSize) {
    ASSERT_TRUE(SetWindowPos(window_, nullptr, 40, 30, 200, 150, SWP_NOZORDER));
    RECT before{};
    GetWindowRect(window_, &before);

    EXPECT_TRUE(repainted(0, kDefaultSizeRow));
    pump();
    RECT after{};
    GetWindowRect(window_, &after);
    EXPECT_EQ(after.right - after.left, main_window.metrics.char_width * 540 / 10);
    EXPECT_EQ(after.bottom - after.top, main_window.metrics.line_height * 295 / 10);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
}

TEST_F(CommandTest, CheckBoxesToggleTheirOptionAndMark) {
    struct Case {
        int row;
        int entry;
    };
    for (const Case& option :
         {Case{26, kOptionCcRl}, Case{27, kOptionSigned}, Case{28, kOptionLiterals}}) {
        const Settings before = settings;
        EXPECT_TRUE(repainted(0, option.row));
        EXPECT_EQ(settings[option.entry], 1) << option.row;
        EXPECT_TRUE(checked(option.row));
        Settings expected = before;
        expected[option.entry] = 1;
        EXPECT_EQ(settings, expected) << "only the row's own option changes";

        EXPECT_TRUE(repainted(0, option.row));
        EXPECT_EQ(settings, before) << option.row;
        EXPECT_FALSE(checked(option.row));
    }
}

TEST_F(CommandTest, InputFileShowsTheCharactersNotRegisteredYet) {
    // 唖 is registered already; 院 comes after the end-of-text byte and is never read.
    const std::string input =
        "plain text\r\n" + kAi + kA + kI + " " + kA + "\r\n" + kAo + "\x1a" + kIn + "\r\n";
    write_file(path("input.txt"), input);
    set_slot(kSlotInputPath, "earlier.txt");
    type(kRegisteredEditRow, kI + "x" + kI);

    Seen seen;
    EXPECT_EQ(command(kInputFileRow, choose(path("input.txt"), seen)), 0);

    EXPECT_TRUE(seen.dialog);
    EXPECT_EQ(seen.file_name, "earlier.txt");
    EXPECT_TRUE(seen.busy_rows_enabled) << "nothing is busy while the user chooses";
    EXPECT_EQ(seen.message, "");
    EXPECT_EQ(slot(kSlotInputPath), path("input.txt"));
    EXPECT_EQ(text_of(kDetectedEditRow), kA + kAi + kAo);
    EXPECT_EQ(slot(kSlotDetected), kA + kAi + kAo);
    EXPECT_EQ(settings[kDetectedCount], 3);
    // The scan normalises what the user typed into the registered edit.
    EXPECT_EQ(text_of(kRegisteredEditRow), kI);
    EXPECT_EQ(settings[kRegisteredCount], 1);
    for (int row : kBusyRows) EXPECT_TRUE(IsWindowEnabled(main_window.controls[row])) << row;
}

TEST_F(CommandTest, InputFileThatCannotBeOpenedIsReported) {
    struct Case {
        int language;
        const char* message;
    };
    const Case cases[] = {
        // 入力ファイルが開けません
        {0,
         "\x93\xfc\x97\xcd\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x8a\x4a\x82\xaf\x82\xdc\x82"
         "\xb9\x82\xf1\n"},
        {1, "Can't open the input file.\n"},
    };
    for (const Case& c : cases) {
        const std::string name = "held" + std::to_string(c.language) + ".txt";
        write_file(path(name), kA);
        type(kDetectedEditRow, kIn);
        settings[kLanguage] = c.language;
        // Held by another handle without sharing: it exists, so the dialog takes it, but it
        // cannot be opened.
        HANDLE held = CreateFileA(path(name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);

        Seen seen;
        EXPECT_EQ(command(kInputFileRow, choose(path(name), seen, kMessage)), 0);
        CloseHandle(held);

        EXPECT_EQ(seen.message, c.message) << c.language;
        EXPECT_EQ(seen.caption, "Open error");
        EXPECT_EQ(slot(kSlotInputPath), path(name)) << "the new path is kept";
        EXPECT_EQ(text_of(kDetectedEditRow), kIn) << "nothing was scanned";
        EXPECT_EQ(settings[kDetectedCount], 0);
    }
}

TEST_F(CommandTest, CancelledOpenDialogChangesNothing) {
    write_file(path("input.txt"), kA);
    set_slot(kSlotInputPath, "input.txt");
    type(kRegisteredEditRow, kI + kA);
    const Settings before = settings;

    Seen seen;
    EXPECT_EQ(command(kInputFileRow, cancel(seen)), 0);

    EXPECT_EQ(seen.file_name, "input.txt");
    EXPECT_EQ(settings, before);
    EXPECT_EQ(slot(kSlotInputPath), "input.txt");
    EXPECT_EQ(slot(kSlotDetected), "");
    EXPECT_EQ(text_of(kRegisteredEditRow), kI + kA) << "not even normalised";
}

TEST_F(CommandTest, OpenDialogInsistsOnAnExistingFile) {
    set_slot(kSlotInputPath, "earlier.txt");
    std::string complaint;
    bool still_open = false;
    EXPECT_EQ(command(kInputFileRow,
                      [this, &complaint, &still_open] {
                          HWND dialog = ui::wait_for_dialog();
                          if (dialog == nullptr) return;
                          ui::accept_file_name(dialog, path("missing.txt"));
                          HWND box = ui::wait_for_dialog(dialog);
                          if (box == nullptr) return;
                          complaint = ui::message_of(box);
                          ui::press(box, IDOK);
                          ui::wait_until_gone(box);
                          still_open = IsWindowVisible(dialog) != FALSE;
                          ui::press(dialog, IDCANCEL);
                      }),
              0);
    EXPECT_NE(complaint, "") << "the dialog itself says the file does not exist";
    EXPECT_TRUE(still_open);
    EXPECT_EQ(slot(kSlotInputPath), "earlier.txt");
}

TEST_F(CommandTest, PathTooLongForTheDialogIsOfferedAsAnEmptyName) {
    // Bare names: the dialog itself splits a folder part off what it is given.
    struct Case {
        int id;
        int slot;
        std::size_t length;
        bool offered;
    };
    const Case cases[] = {
        {kInputFileRow, kSlotInputPath, 999, true},  // fills the buffer with its NUL
        {kInputFileRow, kSlotInputPath, 1000, false},
        {kGenerateRow, kSlotOutputPath, 999, true},
        {kGenerateRow, kSlotOutputPath, 4000, false},
    };
    for (const Case& c : cases) {
        const std::string stored(c.length, 'n');
        set_slot(c.slot, stored.c_str());
        Seen seen;
        EXPECT_EQ(command(c.id, cancel(seen)), 0);
        EXPECT_TRUE(seen.dialog) << c.id;
        EXPECT_EQ(seen.file_name, c.offered ? stored : "") << c.id << " " << c.length;
        EXPECT_EQ(slot(c.slot), stored) << "a cancelled dialog keeps the stored path";
    }
}

TEST_F(CommandTest, RegistrationButtonsWorkOnWhatWasTyped) {
    // Add all merges the detected edit as the user left it, and keeps it and its count.
    type(kDetectedEditRow, kAo + kA);
    type(kRegisteredEditRow, kAi + "\r\n" + kI);
    settings[kDetectedCount] = 7;
    EXPECT_TRUE(repainted(0, kAddAllRow));
    EXPECT_EQ(text_of(kRegisteredEditRow), kA + kI + kAi + kAo);
    EXPECT_EQ(settings[kRegisteredCount], 4);
    EXPECT_EQ(text_of(kDetectedEditRow), kAo + kA);
    EXPECT_EQ(settings[kDetectedCount], 7);

    // Sort takes the typed text, drops duplicates and foreign bytes.
    type(kRegisteredEditRow, kIn + "ab" + kAi + kIn + kA);
    EXPECT_TRUE(repainted(0, kSortRow));
    EXPECT_EQ(text_of(kRegisteredEditRow), kA + kAi + kIn);
    EXPECT_EQ(slot(kSlotRegistered), kA + kAi + kIn);
    EXPECT_EQ(settings[kRegisteredCount], 3);

    // Clear empties the registration only.
    type(kDetectedEditRow, kI);
    EXPECT_TRUE(repainted(0, kClearRow));
    EXPECT_EQ(text_of(kRegisteredEditRow), "");
    EXPECT_EQ(slot(kSlotRegistered), "");
    EXPECT_EQ(settings[kRegisteredCount], 0);
    EXPECT_EQ(text_of(kDetectedEditRow), kI);
    EXPECT_EQ(slot(kSlotDetected), kI) << "read from the edit";
}

TEST_F(CommandTest, BusySetIsDisabledWhileAnOperationRuns) {
    write_file(path("input.txt"), kA + kAi);
    for (int id : {kInputFileRow, kAddAllRow, kClearRow, kSortRow, kGenerateRow}) {
        BusyWatch watch(text_observer);
        TextObserver* window_view = text_observer;
        text_observer = &watch;
        type(kRegisteredEditRow, kI + kA);
        Seen seen;
        const std::string file = path(id == kInputFileRow ? "input.txt" : "out.inc");
        EXPECT_EQ(command(
                      id, id == kInputFileRow || id == kGenerateRow ? choose(file, seen) : [] {}),
                  0);
        text_observer = window_view;

        EXPECT_GT(watch.shown, 0) << id;
        EXPECT_EQ(watch.busy_enabled, 0) << id;
        EXPECT_EQ(watch.others_disabled, 0) << id;
        for (int row : kBusyRows)
            EXPECT_TRUE(IsWindowEnabled(main_window.controls[row])) << id << " " << row;
        for (int row : kAlwaysEnabledRows)
            EXPECT_TRUE(IsWindowEnabled(main_window.controls[row])) << id << " " << row;
    }
}

TEST_F(CommandTest, GenerateOffersGlyforIncWhenNoPathIsStored) {
    const Settings before = settings;
    Seen seen;
    EXPECT_EQ(command(kGenerateRow, cancel(seen)), 0);

    EXPECT_TRUE(seen.dialog);
    EXPECT_EQ(seen.file_name, "Glyfor.inc");
    EXPECT_EQ(slot(kSlotOutputPath), "Glyfor.inc") << "the default name stays";
    EXPECT_EQ(settings, before);
    EXPECT_FALSE(file_exists(path("Glyfor.inc")));
}

TEST_F(CommandTest, GenerateWritesTheTypedCharactersAndShowsThemSorted) {
    struct Case {
        bool cc_rl;
        bool signed_data;
    };
    for (const Case& options : {Case{false, false}, Case{true, true}, Case{false, true}}) {
        if (options.cc_rl != (settings[kOptionCcRl] != 0))
            on_command(main_window, 0, kOptionCcRlRow);
        if (options.signed_data != (settings[kOptionSigned] != 0))
            on_command(main_window, 0, kOptionSignedRow);
        const std::string typed = kIn + kA + "?" + kAi + kA;
        type(kRegisteredEditRow, typed);
        // Saving over an existing file: it is replaced once the user agrees.
        write_file(path("font.inc"), "old contents");
        set_slot(kSlotOutputPath, "before.inc");

        Seen seen;
        EXPECT_EQ(command(kGenerateRow, choose(path("font.inc"), seen, kOverwriteQuestion)), 0);

        EXPECT_EQ(seen.file_name, "before.inc");
        EXPECT_NE(seen.question, "") << "the overwrite question";
        EXPECT_EQ(seen.message, "");
        EXPECT_EQ(slot(kSlotOutputPath), path("font.inc"));
        EXPECT_EQ(text_of(kRegisteredEditRow), testing::canonical_text(typed));
        EXPECT_EQ(settings[kRegisteredCount], 3);
        const std::string generated = read_file(path("font.inc"));
        EXPECT_NE(generated.find(kA + kAi + kIn + "\r\n*/"), std::string::npos);
        EXPECT_EQ(generated.find("?"), std::string::npos);
        EXPECT_EQ(generated, font_like(generated)) << options.cc_rl << options.signed_data;
        EXPECT_EQ(generated.find("#pragma section const") != std::string::npos, options.cc_rl);
        EXPECT_EQ(generated.find(",-") != std::string::npos, options.signed_data);
        EXPECT_FALSE(file_exists(path("font.inc.tmp")));
    }
}

TEST_F(CommandTest, OutputThatCannotBeCreatedIsReportedAndLeavesFilesAlone) {
    // 出力ファイルが作れません
    const std::string japanese =
        "\x8f\x6f\x97\xcd\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x8d\xec\x82\xea\x82\xdc\x82\xb9"
        "\x82\xf1\n";
    type(kRegisteredEditRow, kA);

    // A folder that does not exist.
    Seen missing;
    EXPECT_EQ(command(kGenerateRow, choose(path("missing\\font.inc"), missing, kMessage)), 0);
    EXPECT_EQ(missing.message, japanese);
    EXPECT_EQ(missing.caption, "Open error");
    EXPECT_EQ(slot(kSlotOutputPath), path("missing\\font.inc"));
    EXPECT_FALSE(file_exists(path("missing")));

    // A good file another program holds open: it cannot be replaced and stays as it was.
    on_command(main_window, 0, kLanguageRow);
    write_file(path("held.inc"), "the good file\r\n");
    HANDLE held = CreateFileA(path("held.inc").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Seen locked;
    EXPECT_EQ(
        command(kGenerateRow, choose(path("held.inc"), locked, kOverwriteQuestion | kMessage)), 0);
    CloseHandle(held);
    EXPECT_EQ(locked.message, "Can't create the output file.\n");
    EXPECT_EQ(read_file(path("held.inc")), "the good file\r\n");
    EXPECT_FALSE(file_exists(path("held.inc.tmp")));
    for (int row : kBusyRows) EXPECT_TRUE(IsWindowEnabled(main_window.controls[row])) << row;
}

// Comments of firmware sources are full of Japanese; with the box checked only what the
// strings show is collected and generated. Unchecked, the whole file counts as before.
TEST_F(CommandTest, LiteralsOptionCollectsAndGeneratesOnlyTheLiteralCharacters) {
    const std::string source = read_file(GLYFOR_FIXTURE_DIR "/literals.c");
    ASSERT_FALSE(source.empty());
    write_file(path("literals.c"), source);
    ByteSpan rest{source.data(), source.size()};
    const KanjiSet every_character = scan_cells(buffer_reader(rest));
    struct Case {
        bool checked;
        KanjiSet expected;
        int count;
    };
    const Case cases[] = {
        {true, set_of_text(testing::kFixtureLiterals), 36},
        {false, every_character, 108},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.checked);
        if (c.checked != (settings[kOptionLiterals] != 0))
            on_command(main_window, 0, kOptionLiteralsRow);
        ASSERT_EQ(checked(kOptionLiteralsRow), c.checked);
        on_command(main_window, 0, kClearRow);

        Seen scan;
        EXPECT_EQ(command(kInputFileRow, choose(path("literals.c"), scan)), 0);
        EXPECT_EQ(settings[kDetectedCount], c.count);
        EXPECT_EQ(codes_of(set_of_text(text_of(kDetectedEditRow))), codes_of(c.expected));

        on_command(main_window, 0, kAddAllRow);
        const std::string output = c.checked ? "literals.inc" : "all.inc";
        Seen generate;
        EXPECT_EQ(command(kGenerateRow, choose(path(output), generate)), 0);
        const std::string generated = read_file(path(output));
        EXPECT_EQ(index_codes(generated), codes_of(c.expected));
        EXPECT_EQ(generated, font_like(generated));
    }
}

// A Shift-JIS code that code page 932 lacks comes back from a Unicode edit control (Wine's)
// as another code, or not at all. Text the program put there and the user never touched must
// keep its bytes; text the user typed is taken as the control has it.
TEST_F(CommandTest, EveryCellSurvivesTheEditControlsUntouched) {
    std::string all;
    for (cell c = 0; c < kCellCount; ++c) {
        const SjisCode code = sjis_from_cell(c);
        all += static_cast<char>(code >> 8);
        all += static_cast<char>(code & 0xFF);
    }
    write_file(path("all.txt"), all);
    // The ideographic space draws nothing, yet it is a character firmware shows.
    int drawn = 1;
    for (cell c = 1; c < kCellCount; ++c) {
        const Glyph& glyph = glyph_bytes(c);
        drawn += std::any_of(glyph.begin(), glyph.end(), [](std::uint8_t b) { return b != 0; });
    }
    std::printf("the font draws %d of the %d cells\n", drawn, kCellCount);
    KanjiSet every_cell;
    every_cell.flags.fill(1);
    const std::vector<unsigned> every_code = codes_of(every_cell);

    Seen scan;
    EXPECT_EQ(command(kInputFileRow, choose(path("all.txt"), scan)), 0);
    EXPECT_EQ(settings[kDetectedCount], kCellCount);
    EXPECT_TRUE(repainted(0, kAddAllRow));
    EXPECT_EQ(settings[kRegisteredCount], kCellCount);
    Seen generate;
    EXPECT_EQ(command(kGenerateRow, choose(path("all.inc"), generate)), 0);
    EXPECT_EQ(settings[kRegisteredCount], kCellCount);
    EXPECT_EQ(index_codes(read_file(path("all.inc"))), every_code);

    // What the user sees is what the control made of the text; typing into it takes that.
    std::string shown(kTextSize, '\0');
    GetWindowTextA(main_window.controls[kRegisteredEditRow], shown.data(),
                   static_cast<int>(shown.size()));
    shown.resize(std::strlen(shown.c_str()));
    const int shown_count = count_set(set_of_text(shown));
    std::printf("the registered edit gives back %d of the %d cells\n", shown_count, kCellCount);

    close_window();
    const std::string ini = read_file(path("Glyfor.ini"));
    EXPECT_EQ(codes_of(set_of_text(saved_slot(ini, kSlotDetected))), every_code);
    EXPECT_EQ(codes_of(set_of_text(saved_slot(ini, kSlotRegistered))), every_code);

    reset_state();
    open_window();
    EXPECT_TRUE(repainted(0, kSortRow));
    EXPECT_EQ(settings[kRegisteredCount], kCellCount) << "kept over a restart";
    type(kRegisteredEditRow, shown + kA);
    EXPECT_TRUE(repainted(0, kSortRow));
    EXPECT_EQ(slot(kSlotRegistered), testing::canonical_text(shown + kA)) << "typed, so taken";
    EXPECT_EQ(settings[kRegisteredCount], shown_count);
}

TEST_F(CommandTest, UserSessionSurvivesARestart) {
    ASSERT_FALSE(file_exists(path("Glyfor.ini")));
    // 漢字を使う表示です。
    const std::string text =
        "Menu: \x8a\xbf\x8e\x9a\x82\xf0\x8e\x67\x82\xa4\x95\x5c\x8e\xa6\x82\xc5\x82\xb7\x81\x42"
        "\r\n\x8a\xbf\x8e\x9a\r\n";
    write_file(path("menu.txt"), text);

    Seen scan;
    EXPECT_EQ(command(kInputFileRow, choose(path("menu.txt"), scan)), 0);
    EXPECT_EQ(settings[kDetectedCount], 10);
    EXPECT_TRUE(repainted(0, kAddAllRow));
    EXPECT_EQ(settings[kRegisteredCount], 10);
    on_command(main_window, 0, kOptionCcRlRow);
    on_command(main_window, 0, kOptionSignedRow);
    Seen generate;
    EXPECT_EQ(command(kGenerateRow, choose(path("menu.inc"), generate)), 0);
    EXPECT_EQ(generate.message, "");

    const std::string generated = read_file(path("menu.inc"));
    EXPECT_EQ(generated, font_like(generated));
    // Kept for the build's read-back check, which compiles the window's own file with the host
    // C compiler and reads every glyph of the scanned text back.
    std::error_code kept;
    std::filesystem::create_directories(GLYFOR_READBACK_DIR, kept);
    for (const char* name : {"menu.inc", "menu.txt"}) {
        EXPECT_TRUE(
            std::filesystem::copy_file(path(name), std::string(GLYFOR_READBACK_DIR "/") + name,
                                       std::filesystem::copy_options::overwrite_existing, kept))
            << name << ": " << kept.message();
    }
    const std::string detected = text_of(kDetectedEditRow);
    const std::string registered = text_of(kRegisteredEditRow);
    EXPECT_EQ(registered, testing::canonical_text(text));
    const Settings before = settings;

    close_window();
    ASSERT_TRUE(file_exists(path("Glyfor.ini")));
    // The command line makes the same file of the saved session, apart from the time.
    ASSERT_EQ(run_cli("generate --settings Glyfor.ini -o cli.inc menu.txt"), 0);
    EXPECT_EQ(without_time(read_file(path("cli.inc"))), without_time(generated));

    reset_state();
    open_window();

    EXPECT_EQ(text_of(kDetectedEditRow), detected);
    EXPECT_EQ(text_of(kRegisteredEditRow), registered);
    EXPECT_EQ(slot(kSlotInputPath), path("menu.txt"));
    EXPECT_EQ(slot(kSlotOutputPath), path("menu.inc"));
    for (int entry :
         {kRegisteredCount, kDetectedCount, kOptionCcRl, kOptionSigned, kMinCode, kMaxCode}) {
        EXPECT_EQ(settings[entry], before[entry]) << entry;
    }
    EXPECT_TRUE(checked(kOptionCcRlRow));
    EXPECT_TRUE(checked(kOptionSignedRow));
}

}  // namespace
}  // namespace glyfor
