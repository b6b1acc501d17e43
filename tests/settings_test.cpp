#include "app/settings.h"

#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#endif

#include "app/state.h"
#include "tests/test_support.h"
#include "tests/text_support.h"

namespace glyfor {
namespace {

namespace fs = std::filesystem;
using testing::StateTest;

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

std::string formatted() {
    std::string out;
    EXPECT_TRUE(format_settings(testing::string_sink(out)));
    return out;
}

void load(const std::string& file) {
    load_settings_from(file.data(), file.size());
}

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

using SettingsTest = StateTest;

struct LoadCase {
    const char* name;
    std::string file;
    std::vector<std::pair<int, std::int32_t>> entries;  // all others 0
    std::vector<std::pair<int, std::string>> slots;     // all others empty
};

const std::string kLongLine(25000, 'x');

const LoadCase kLoadCases[] = {
    {"empty file", "", {}, {}},
    {"count of 3: the fourth line is the string count",
     "3\r\n1\r\n-2\r\n3\r\n2\r\nab\r\ncd\r\nnot read\r\n",
     {{0, 1}, {1, -2}, {2, 3}},
     {{0, "ab"}, {1, "cd"}}},
    {"count of 25: extra values consumed",
     "25\r\n0\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n11\r\n12\r\n13\r\n14\r\n15\r\n"
     "16\r\n17\r\n18\r\n19\r\n20\r\n21\r\n22\r\n23\r\n24\r\n1\r\nslot\r\n",
     {{1, 1},
      {2, 2},
      {3, 3},
      {4, 4},
      {5, 5},
      {6, 6},
      {7, 7},
      {8, 8},
      {9, 9},
      {10, 10},
      {11, 11},
      {12, 12},
      {13, 13},
      {14, 14},
      {15, 15},
      {16, 16},
      {17, 17},
      {18, 18},
      {19, 19}},
     {{0, "slot"}}},
    {"file ends inside the integers", "20\r\n1\r\n5\r\n", {{0, 1}, {1, 5}}, {}},
    {"no string count", "2\r\n1\r\n2\r\n", {{0, 1}, {1, 2}}, {}},
    {"negative integer count reads no values",
     "-4\r\n2\r\nab\r\ncd\r\n",
     {},
     {{0, "ab"}, {1, "cd"}}},
    {"entry 0 of 7 becomes 0", "1\r\n7\r\n", {}, {}},
    {"entry 0 of -1 becomes 0", "1\r\n-1\r\n", {}, {}},
    {"integers parsed like atoi",
     "6\r\n 1\r\n\t-42xyz\r\n+7\r\nabc\r\n99999999999\r\n-99999999999\r\n",
     {{0, 1}, {1, -42}, {2, 7}, {3, 0}, {4, kMax}, {5, kMin}},
     {}},
    {"lines broken by LF alone", "1\n1\n2\nab\ncd\n", {{0, 1}}, {{0, "ab"}, {1, "cd"}}},
    {"CR BEL comes back as CR LF, other CRs stay",
     "0\r\n3\r\n\x88\x9F\r\a\x88\xA0\r\na\rb\r\nc\r\r\n",
     {},
     {{0, "\x88\x9F\r\n\x88\xA0"}, {1, "a\rb"}, {2, "c\r"}}},
    {"string count of 3 leaves slots 3 and 4 empty",
     "0\r\n3\r\na\r\nb\r\nc\r\nd\r\n",
     {},
     {{0, "a"}, {1, "b"}, {2, "c"}}},
    {"extra strings ignored",
     "0\r\n7\r\na\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\n",
     {},
     {{0, "a"}, {1, "b"}, {2, "c"}, {3, "d"}, {4, "e"}}},
    {"file ends inside the strings", "0\r\n5\r\na\r\nb\r\n", {}, {{0, "a"}, {1, "b"}}},
    // Only a real line break is taken off a line.
    {"last line without a line break keeps its last byte",
     "0\r\n2\r\nab\r\ncd",
     {},
     {{0, "ab"}, {1, "cd"}}},
    {"last line ending in a lone CR keeps it", "0\r\n1\r\nab\r", {}, {{0, "ab\r"}}},
    // A line longer than a slot keeps what fits and does not spill into the next slot.
    {"over-long slot line cut without shifting the slots after it",
     "0\r\n3\r\n" + kLongLine + "\r\nnext\r\nlast\r\n",
     {},
     {{0, kLongLine.substr(0, kTextSize - 1)}, {1, "next"}, {2, "last"}}},
    {"line of exactly one slot's capacity",
     "0\r\n2\r\n" + kLongLine.substr(0, kTextSize - 1) + "\r\nnext\r\n",
     {},
     {{0, kLongLine.substr(0, kTextSize - 1)}, {1, "next"}}},
    {"over-long count line still one line",
     "1" + kLongLine + "\r\n1\r\n1\r\nab\r\n",
     {{0, 1}},
     {{0, "ab"}}},
};

TEST_F(SettingsTest, LoadsWhatTheFileHolds) {
    for (const LoadCase& k : kLoadCases) {
        SCOPED_TRACE(k.name);
        // Whatever the state was, loading starts from the defaults.
        settings.fill(3);
        for (int i = 0; i < kSlotCount; ++i) set_slot(i, "old");
        load(k.file);
        Settings expected{};
        for (const auto& [entry, value] : k.entries)
            expected[static_cast<std::size_t>(entry)] = value;
        for (int i = 0; i < kSettingsCount; ++i) {
            EXPECT_EQ(settings[static_cast<std::size_t>(i)], expected[static_cast<std::size_t>(i)])
                << "entry " << i;
        }
        std::string expected_slots[kSlotCount];
        for (const auto& [index, text] : k.slots) expected_slots[index] = text;
        for (int i = 0; i < kSlotCount; ++i) EXPECT_EQ(slot(i), expected_slots[i]) << "slot " << i;
    }
}

TEST_F(SettingsTest, EverySlotStaysTerminatedWhenLinesAreTooLong) {
    const std::string line(3 * kTextSize, 'y');
    std::string file = "0\r\n5\r\n";
    for (int i = 0; i < kSlotCount; ++i) file += line + "\r\n";
    load(file);
    for (const TextSlot& s : text_slots) EXPECT_EQ(strnlen(s.data(), s.size()), kTextSize - 1);
}

// A state with every kind of byte the slots may hold.
void fill_state() {
    const std::int32_t values[kSettingsCount] = {1, -5, 7,     kMax,  kMin, 0,  -7,   42, 9, 0,
                                                 0, 31, 34975, 35005, 1,    28, 2304, 2,  1, 1};
    for (int i = 0; i < kSettingsCount; ++i) settings[static_cast<std::size_t>(i)] = values[i];
    set_slot(kSlotReserved, "lone LF\nlone CR\rtrailing CR\r");
    set_slot(kSlotInputPath, "C:\\\x83\x5C\x81\x5B\x83\x58\\messages.txt");  // C:\ソース\...
    set_slot(kSlotOutputPath, "/home/fw/Glyfor.inc");
    std::string detected;
    std::string registered;
    for (cell c = 0; c < 95; ++c) {
        const SjisCode code = sjis_from_cell(1410 + c);
        (c < 40 ? detected : registered) += {static_cast<char>(code >> 8), static_cast<char>(code)};
        if (c % 30 == 29) (c < 40 ? detected : registered) += "\r\n";
    }
    set_slot(kSlotDetected, detected.c_str());
    set_slot(kSlotRegistered, registered.c_str());
}

TEST_F(SettingsTest, WhatIsSavedLoadsBackTheSame) {
    fill_state();
    const Settings saved_settings = settings;
    const TextSlots saved_slots = text_slots;
    load(formatted());
    EXPECT_EQ(settings, saved_settings);
    for (int i = 0; i < kSlotCount; ++i) {
        EXPECT_STREQ(text_slots[static_cast<std::size_t>(i)].data(),
                     saved_slots[static_cast<std::size_t>(i)].data())
            << "slot " << i;
    }
}

TEST_F(SettingsTest, SlotsOfFullLengthRoundTrip) {
    std::string text(kTextSize - 1, 'z');
    text[100] = '\n';
    text[kTextSize - 2] = '\r';
    for (int i = 0; i < kSlotCount; ++i) set_slot(i, text.c_str());
    load(formatted());
    for (int i = 0; i < kSlotCount; ++i) EXPECT_EQ(slot(i), text) << "slot " << i;
}

// The committed file fixes the exact bytes, built by hand from the format: counts and values
// with CR LF, a Shift-JIS path whose trail byte is a backslash, and a registered text of 31
// characters whose CR LF is stored as CR BEL.
TEST_F(SettingsTest, WritesTheGoldenFile) {
    const std::string golden = read_file(GLYFOR_GOLDEN_DIR "/settings.ini");
    ASSERT_FALSE(golden.empty());
    load(golden);
    EXPECT_EQ(settings[kLanguage], 1);
    EXPECT_EQ(settings[kWindowBottom], 560);
    EXPECT_EQ(settings[8], kMin);
    EXPECT_EQ(settings[kMaxCode], 0x88BD);
    EXPECT_EQ(slot(kSlotInputPath), "C:\\\x83\x5C\x81\x5B\x83\x58\\messages.txt");
    EXPECT_EQ(slot(kSlotRegistered).substr(58, 6), "\x88\xBC\r\n\x88\xBD");
    EXPECT_EQ(formatted(), golden);
}

TEST_F(SettingsTest, FormatReportsAFailingSink) {
    fill_state();
    int writes_left = 0;
    const Sink failing{&writes_left, [](void* context, const char*, std::size_t) {
                           return (*static_cast<int*>(context))-- > 0;
                       }};
    for (const int allowed : {0, 5, 24}) {
        writes_left = allowed;
        EXPECT_FALSE(format_settings(failing)) << allowed;
    }
}

struct RectCase {
    WindowRect stored;
    bool restored;
};

TEST_F(SettingsTest, RestoresOnlyRectanglesOfMoreThanFivePixels) {
    const RectCase cases[] = {
        {{0, 0, 0, 0}, false},          {{10, 20, 16, 26}, true},
        {{10, 20, 15, 400}, false},     {{10, 20, 400, 25}, false},
        {{-300, -200, 340, 280}, true}, {{400, 300, 100, 500}, false},
        {{kMin, 0, kMax, 100}, false},  {{0, kMin, 100, kMax}, false},
        {{kMin, kMin, 0, 0}, false},    {{-1, 0, kMax - 1, 10}, true},
    };
    for (const RectCase& k : cases) {
        settings[kWindowLeft] = k.stored.left;
        settings[kWindowTop] = k.stored.top;
        settings[kWindowRight] = k.stored.right;
        settings[kWindowBottom] = k.stored.bottom;
        WindowRect rect{1, 2, 3, 4};
        EXPECT_EQ(stored_window_rect(rect), k.restored)
            << k.stored.left << " " << k.stored.top << " " << k.stored.right << " "
            << k.stored.bottom;
        if (k.restored) {
            EXPECT_EQ(rect.left, k.stored.left);
            EXPECT_EQ(rect.bottom, k.stored.bottom);
        }
    }
}

// Runs in a directory of its own, made the current one.
class SettingsFileTest : public StateTest {
  protected:
    void SetUp() override {
        StateTest::SetUp();
        previous_ = fs::current_path();
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        dir_ = fs::temp_directory_path() /
               ("glyfor_settings_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
                std::to_string(stamp));
        fs::create_directories(dir_);
        fs::current_path(dir_);
    }
    void TearDown() override {
        fs::current_path(previous_);
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
        settings_path[0] = '\0';
        StateTest::TearDown();
    }

    fs::path ini() const { return dir_ / "Glyfor.ini"; }

    fs::path previous_;
    fs::path dir_;
};

TEST_F(SettingsFileTest, NoFileGivesTheDefaultsAndThePathInTheCurrentDirectory) {
    settings.fill(1);
    set_slot(kSlotRegistered, "\x88\x9F");
    load_settings();
    EXPECT_EQ(settings, Settings{});
    EXPECT_EQ(slot(kSlotRegistered), "");
    WindowRect rect;
    EXPECT_FALSE(stored_window_rect(rect));
    EXPECT_TRUE(fs::equivalent(fs::path(settings_path.data()).parent_path(), dir_));
    EXPECT_EQ(fs::path(settings_path.data()).filename(), "Glyfor.ini");
}

TEST_F(SettingsFileTest, SavesTheWindowRectangleAndLoadsItBack) {
    load_settings();
    fill_state();
    const WindowRect window{30, 40, 670, 520};
    save_settings(&window);
    EXPECT_EQ(settings[kWindowLeft], 30);
    EXPECT_EQ(settings[kWindowBottom], 520);
    EXPECT_EQ(read_file(ini()), formatted());

    load_settings();
    WindowRect rect;
    ASSERT_TRUE(stored_window_rect(rect));
    EXPECT_EQ(rect.left, 30);
    EXPECT_EQ(rect.top, 40);
    EXPECT_EQ(rect.right, 670);
    EXPECT_EQ(rect.bottom, 520);
    EXPECT_EQ(slot(kSlotOutputPath), "/home/fw/Glyfor.inc");

    // Without a rectangle the stored one is kept.
    save_settings(nullptr);
    load_settings();
    EXPECT_EQ(settings[kWindowRight], 670);
}

TEST_F(SettingsFileTest, SavesToThePathFormedAtLoadingWhereverTheCurrentDirectoryIsNow) {
    load_settings();
    set_slot(kSlotRegistered, "\x88\x9F");
    fs::create_directory(dir_ / "elsewhere");
    fs::current_path(dir_ / "elsewhere");
    save_settings(nullptr);
    EXPECT_TRUE(fs::exists(ini()));
    EXPECT_FALSE(fs::exists(dir_ / "elsewhere" / "Glyfor.ini"));
}

// Files named as the temporary file once was are somebody else's; the save neither writes
// through them nor removes them.
TEST_F(SettingsFileTest, SavesPastFilesOfTheOldTemporaryName) {
    load_settings();
    fs::create_directory(dir_ / "Glyfor.ini.tmp");
    set_slot(kSlotRegistered, "\x88\x9F");
    save_settings(nullptr);
    EXPECT_TRUE(fs::is_directory(dir_ / "Glyfor.ini.tmp"));
    load_settings();
    EXPECT_EQ(slot(kSlotRegistered), "\x88\x9F");
#ifdef __linux__
    fs::remove(dir_ / "Glyfor.ini.tmp");
    fs::create_symlink("/dev/full", dir_ / "Glyfor.ini.tmp");
    set_slot(kSlotRegistered, "\x88\xA0");
    save_settings(nullptr);
    EXPECT_TRUE(fs::is_symlink(dir_ / "Glyfor.ini.tmp"));
    load_settings();
    EXPECT_EQ(slot(kSlotRegistered), "\x88\xA0");
#endif
}

#ifndef _WIN32
TEST_F(SettingsFileTest, AFailedSaveLeavesThePreviousFile) {
    if (geteuid() == 0) GTEST_SKIP() << "root may create files in any directory";
    load_settings();
    set_slot(kSlotRegistered, "\x88\x9F");
    save_settings(nullptr);
    const std::string before = read_file(ini());
    ASSERT_FALSE(before.empty());
    // The new file cannot be created beside the old one.
    set_slot(kSlotRegistered, "\x88\xA0");
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
    save_settings(nullptr);
    fs::permissions(dir_, fs::perms::owner_all);
    EXPECT_EQ(read_file(ini()), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}
#endif

#ifndef _WIN32
// A write that fails halfway, as on a full disk. A file size limit makes it fail for root too.
TEST_F(SettingsFileTest, AWriteThatFailsHalfwayLeavesThePreviousFile) {
    load_settings();
    set_slot(kSlotRegistered, "\x88\x9F");
    save_settings(nullptr);
    const std::string before = read_file(ini());
    ASSERT_GT(before.size(), 16u);

    set_slot(kSlotRegistered, "\x88\xA0");
    rlimit old_limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    rlimit small = old_limit;
    small.rlim_cur = 16;
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    save_settings(nullptr);
    setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);

    EXPECT_EQ(read_file(ini()), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}
#endif

#ifndef _WIN32
TEST_F(SettingsFileTest, ADirectoryTooDeepForThePathBufferMeansNoFile) {
    // The first depth leaves room for the directory but not for the file name after it; the
    // second leaves none for the directory either.
    fs::path deep = dir_;
    for (const std::size_t depth : {kPathSize - 8, kPathSize + 100}) {
        SCOPED_TRACE(depth);
        while (deep.string().size() < depth) deep /= std::string(100, 'd');
        fs::create_directories(deep);
        fs::current_path(deep);
        settings[kLanguage] = 1;
        load_settings();
        EXPECT_EQ(settings_path[0], '\0');
        EXPECT_EQ(settings[kLanguage], 0);
        save_settings(nullptr);
        EXPECT_FALSE(fs::exists(deep / "Glyfor.ini"));
    }
}
#endif

// The loader into the caller's tables reads as the window's does and leaves the program's
// state alone.
TEST_F(SettingsTest, LoadsIntoTheCallersTables) {
    set_slot(kSlotRegistered, "\x88\x9F");
    settings[kLanguage] = 1;
    auto values = std::make_unique<Settings>();
    auto slots = std::make_unique<TextSlots>();
    values->fill(9);
    for (TextSlot& s : *slots) std::strcpy(s.data(), "old");
    for (const LoadCase& k : kLoadCases) {
        SCOPED_TRACE(k.name);
        load_settings_text(k.file.data(), k.file.size(), *values, *slots);
        Settings expected{};
        for (const auto& [entry, value] : k.entries)
            expected[static_cast<std::size_t>(entry)] = value;
        EXPECT_EQ(*values, expected);
        std::string expected_slots[kSlotCount];
        for (const auto& [index, text] : k.slots) expected_slots[index] = text;
        for (int i = 0; i < kSlotCount; ++i) {
            EXPECT_EQ(std::string((*slots)[static_cast<std::size_t>(i)].data()), expected_slots[i])
                << "slot " << i;
        }
    }
    EXPECT_EQ(slot(kSlotRegistered), "\x88\x9F");
    EXPECT_EQ(settings[kLanguage], 1);
}

std::string whole_file() {
    std::string file = "20\r\n";
    for (int i = 0; i < kSettingsCount; ++i) file += std::to_string(i == 8 ? kMin : i) + "\r\n";
    return file + "5\r\n\r\nC:\\in.txt\r\n\r\n\x88\x9F\r\a\x88\xA0\r\n\x88\x9F\r\n";
}

struct CheckCase {
    const char* name;
    std::string file;
    int line;  // 0: well formed
    std::string reason;
};

const std::string kWhole = whole_file();

const CheckCase kCheckCases[] = {
    {"a file the window wrote", kWhole, 0, ""},
    {"lines broken by LF alone", "2\n-5\n7\n1\nab\n", 0, ""},
    {"the last line without its line break", kWhole.substr(0, kWhole.size() - 2), 0, ""},
    {"fewer entries and slots than the window writes", "1\r\n1\r\n0\r\n", 0, ""},
    {"more entries than the window writes", "3\r\n1\r\n2\r\n3\r\n1\r\nx\r\n", 0, ""},
    {"a slot of exactly what fits", "0\r\n1\r\n" + kLongLine.substr(0, kTextSize - 1), 0, ""},
    {"the extreme integers", "2\r\n-2147483648\r\n2147483647\r\n0\r\n", 0, ""},
    {"an empty file", "", 1, "empty file"},
    {"a text file", "Dear firmware team,\r\n", 1, "not a count of integer lines"},
    {"a font file", "/*****\r\n", 1, "not a count of integer lines"},
    {"a binary file",
     std::string("\x7F"
                 "ELF\x02\x01\x01\0\0",
                 9),
     1, "NUL byte"},
    {"a NUL in a slot", std::string("0\r\n1\r\nab\0cd\r\n", 13), 3, "NUL byte"},
    {"cut inside the integers", kWhole.substr(0, 36), 11, "the file ends before all its integer"},
    {"cut after the integers", "2\r\n1\r\n2\r\n", 4, "the file ends before the count of text"},
    {"cut inside the slots", kWhole.substr(0, kWhole.size() - 8), 27,
     "the file ends before all its text"},
    {"a negative count", "-1\r\n0\r\n", 1, "not a count of integer lines"},
    {"a count with a blank", " 2\r\n1\r\n2\r\n0\r\n", 1, "not a count of integer lines"},
    {"an integer with trailing text", "2\r\n1\r\n2x\r\n0\r\n", 3, "not a 32-bit integer"},
    {"an empty integer line", "2\r\n1\r\n\r\n0\r\n", 3, "not a 32-bit integer"},
    {"an integer beyond 32 bits", "1\r\n2147483648\r\n0\r\n", 2, "not a 32-bit integer"},
    {"a text count that is not one", "0\r\nfive\r\n", 2, "not a count of text lines"},
    {"a slot longer than a slot holds", "0\r\n2\r\n" + kLongLine + "\r\nx\r\n", 3, "longer than"},
    {"lines after the last slot", "0\r\n1\r\na\r\nb\r\n", 4, "more lines than the counts"},
    {"an empty line after the last slot", "0\r\n1\r\na\r\n\r\n", 4, "more lines than the counts"},
};

TEST(SettingsCheckTest, TellsTheLineAndTheReason) {
    for (const CheckCase& k : kCheckCases) {
        SCOPED_TRACE(k.name);
        const SettingsCheck check = check_settings_text(k.file.data(), k.file.size());
        EXPECT_EQ(check.ok, k.line == 0);
        EXPECT_EQ(check.line, k.line);
        EXPECT_EQ(std::string(check.reason).rfind(k.reason, 0), 0u) << check.reason;
    }
}

// What the check passes, the loader reads to the end: the last slot of each file holds what
// its last line holds.
TEST(SettingsCheckTest, AcceptedFilesLoadCompletely) {
    auto values = std::make_unique<Settings>();
    auto slots = std::make_unique<TextSlots>();
    const std::string cut = kWhole.substr(0, kWhole.size() - 2);
    load_settings_text(cut.data(), cut.size(), *values, *slots);
    EXPECT_EQ(std::string((*slots)[kSlotRegistered].data()), "\x88\x9F");
    EXPECT_EQ((*values)[8], kMin);
    EXPECT_EQ((*values)[19], 19);
}

}  // namespace
}  // namespace glyfor
