#include "app/registration.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/state.h"
#include "charset/charset.h"
#include "charset/registration.h"
#include "tests/test_support.h"
#include "tests/text_support.h"

namespace glyfor {
namespace {

using testing::StateTest;

// Shift-JIS bytes of the kanji used below.
#define KA "\x88\x9F"  // 亜, cell 1410
#define KI "\x88\xA0"  // 唖
#define KW "\x88\xA1"  // 娃
#define KE "\x88\xA2"  // 阿

using RegistrationTest = StateTest;

struct ScanCase {
    const char* name;
    const char* registered;  // slot 4 before the scan
    std::string input;
    const char* detected;  // slot 3 afterwards
    int count;
};

const ScanCase kScanCases[] = {
    {"ascii only", "", "int main(void) { return 0; }\r\n", "", 0},
    {"empty input", KA, "", "", 0},
    {"registered never detected", KA, KA KA KI KA KA, KI, 1},
    {"seen many times detected once", "", KI KI "x" KI "\r\n" KI, KI, 1},
    {"ends after a lead byte", "", KA "\x88", KA, 1},
    {"nul trail dropped, scan goes on", "", std::string("\x81\x00" KA, 4), KA, 1},
    {"nul is an ordinary byte", "", std::string("\x00" KA "\x00" KI, 6), KA KI, 2},
    {"end-of-text byte ends the input", "", KA "\x1A" KI, KA, 1},
    {"end-of-text byte after a lead", "", KI "\x88\x1A\x9F", KI, 1},
    {"end-of-text byte first", "", "\x1A" KA, "", 0},
    {"rejected trails dropped with the lead", "", "\x88\x7F" KI "\x88\x20" KW "\x88\xFD", KI KW, 2},
    {"user-defined lead dropped alone", "", "\xF0\x81\x40", "\x81\x40", 1},
    {"half-width katakana is a single byte", "", "\xB1" KA "\xDF", KA, 1},
    {"lead byte taken as trail", "", "\x88\x88\x9F", "\x88\x88", 1},
    {"detected text is sorted", "", KE KI KA, KA KI KE, 3},
};

TEST_F(RegistrationTest, ScanDetectsUnregisteredCharacters) {
    for (const ScanCase& k : kScanCases) {
        SCOPED_TRACE(k.name);
        reset_state();
        set_slot(kSlotDetected, KW);  // a previous scan's result is replaced
        settings[kDetectedCount] = 9;
        set_slot(kSlotRegistered, k.registered);
        scan_input_buffer(k.input.data(), k.input.size());
        EXPECT_EQ(slot(kSlotDetected), k.detected);
        EXPECT_EQ(settings[kDetectedCount], k.count);
        EXPECT_EQ(count_set(detected_set), k.count);
        EXPECT_EQ(view.detected, k.detected);
    }
}

TEST_F(RegistrationTest, ScanNormalisesTheRegisteredText) {
    set_slot(kSlotRegistered, KI "abc" KA KI "\r\n\xB1" KA);
    scan_input_buffer(KA KE, 4);
    EXPECT_EQ(slot(kSlotRegistered), KA KI);
    EXPECT_EQ(settings[kRegisteredCount], 2);
    EXPECT_EQ(view.registered, KA KI);
    EXPECT_EQ(slot(kSlotDetected), KE);
}

// Settings entry 5 picks the scan: a comment's characters cost flash for nothing.
TEST_F(RegistrationTest, LiteralsOptionDetectsOnlyTheCharactersOfLiterals) {
    struct Case {
        const char* name;
        std::int32_t literals_only;
        const char* registered;
        const char* detected;
    };
    // 亜 only in comments, 唖 in a string, 娃 in a character literal, 阿 in code.
    const std::string input = "/* " KA " */ s = \"" KI "\"; // " KA "\r\nc = '" KW "'; " KE "\r\n";
    const Case cases[] = {
        {"unchecked: every character", 0, "", KA KI KW KE},
        {"checked: literals only", 1, "", KI KW},
        {"registered literal still not detected", 1, "x" KI KI, KW},
        {"any other value shows the box checked", 2, "", KI KW},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        reset_state();
        settings[kOptionLiterals] = k.literals_only;
        set_slot(kSlotRegistered, k.registered);
        scan_input_buffer(input.data(), input.size());
        EXPECT_EQ(slot(kSlotDetected), k.detected);
        EXPECT_EQ(settings[kDetectedCount], count_set(detected_set));
        EXPECT_EQ(view.detected, k.detected);
        EXPECT_EQ(slot(kSlotRegistered), testing::canonical_text(k.registered)) << "normalised";
    }
}

TEST_F(RegistrationTest, LiteralsOptionOnTheFixtureFile) {
    const std::string path = std::string(GLYFOR_FIXTURE_DIR) + "/literals.c";
    for (std::int32_t literals_only : {1, 0}) {
        SCOPED_TRACE(literals_only);
        reset_state();
        settings[kOptionLiterals] = literals_only;
        std::FILE* file = std::fopen(path.c_str(), "rb");
        ASSERT_NE(file, nullptr);
        scan_input_file(file);
        std::fclose(file);
        if (literals_only == 1) {
            EXPECT_EQ(slot(kSlotDetected), testing::canonical_text(testing::kFixtureLiterals));
        }
        EXPECT_EQ(settings[kDetectedCount], literals_only == 1 ? 36 : 108);
    }
}

TEST_F(RegistrationTest, LeadByteAtTheEndOfABlockPairsWithTheNextBlock) {
    // Every piece size puts lead bytes at piece ends somewhere in this text.
    const std::string input = "a" KA "bc" KI "\x88\x7F" KW "\x1A" KE;
    for (std::size_t piece = 1; piece <= input.size(); ++piece) {
        SCOPED_TRACE(piece);
        reset_state();
        testing::PieceReader pieces{input, piece};
        scan_input(pieces.reader());
        EXPECT_EQ(slot(kSlotDetected), KA KI KW);
        EXPECT_EQ(settings[kDetectedCount], 3);
    }
}

// The file reader asks for whole blocks; this puts a lead byte last in the first block.
TEST_F(RegistrationTest, FileScanPairsBytesAcrossItsReadBlocks) {
    std::FILE* file = std::tmpfile();
    if (file == nullptr) GTEST_SKIP() << "no temporary file";
    std::string input(kScanBlockSize - 1, 'x');
    input += KA;  // lead byte at offset 65535, trail at 65536
    input += std::string(kScanBlockSize - 2, 'y');
    input += "\x88";      // lead at the end of the second block...
    input += "\x1A\xA0";  // ...followed by the end of the text
    ASSERT_EQ(std::fwrite(input.data(), 1, input.size(), file), input.size());
    std::rewind(file);
    scan_input_file(file);
    std::fclose(file);
    EXPECT_EQ(slot(kSlotDetected), KA);
    EXPECT_EQ(settings[kDetectedCount], 1);
}

TEST_F(RegistrationTest, AddAllMergesTheDetectedTextAndRescanFindsNothing) {
    const std::string input = "/* " KI KA KW " */";
    set_slot(kSlotRegistered, KA);
    scan_input_buffer(input.data(), input.size());
    ASSERT_EQ(slot(kSlotDetected), KI KW);

    add_all();
    EXPECT_EQ(slot(kSlotRegistered), KA KI KW);
    EXPECT_EQ(settings[kRegisteredCount], 3);
    EXPECT_EQ(view.registered, KA KI KW);
    EXPECT_EQ(slot(kSlotDetected), KI KW);
    EXPECT_EQ(settings[kDetectedCount], 2);

    scan_input_buffer(input.data(), input.size());
    EXPECT_EQ(slot(kSlotDetected), "");
    EXPECT_EQ(settings[kDetectedCount], 0);
}

TEST_F(RegistrationTest, AddAllTakesTheDetectedTextAsEditedByTheUser) {
    set_slot(kSlotRegistered, KI "junk" KI);
    set_slot(kSlotDetected, KE "\r\n" KA "typed");
    settings[kDetectedCount] = 5;
    add_all();
    EXPECT_EQ(slot(kSlotRegistered), KA KI KE);
    EXPECT_EQ(settings[kRegisteredCount], 3);
    EXPECT_EQ(slot(kSlotDetected), KE "\r\n" KA "typed");  // left as it was, count too
    EXPECT_EQ(settings[kDetectedCount], 5);
}

TEST_F(RegistrationTest, ClearEmptiesOnlyTheRegisteredText) {
    set_slot(kSlotRegistered, KA KI);
    set_slot(kSlotDetected, KW);
    normalise_registered();
    settings[kDetectedCount] = 1;
    clear_registration();
    EXPECT_EQ(slot(kSlotRegistered), "");
    EXPECT_EQ(settings[kRegisteredCount], 0);
    EXPECT_EQ(view.registered, "");
    EXPECT_EQ(slot(kSlotDetected), KW);
    EXPECT_EQ(settings[kDetectedCount], 1);

    // The next use derives the registered set from the empty text, so nothing is filtered.
    scan_input_buffer(KA, 2);
    EXPECT_EQ(slot(kSlotDetected), KA);
}

TEST_F(RegistrationTest, SortRewritesTheRegisteredTextCanonically) {
    std::string text = KE "x" KI KA KI "\xB1";
    for (cell c = 0; c < 31; ++c) {
        const SjisCode code = sjis_from_cell(2 * kGridCols + c);  // row 2, ahead of the kanji
        text += static_cast<char>(code >> 8);
        text += static_cast<char>(code & 0xFF);
    }
    set_slot(kSlotRegistered, text.c_str());
    sort_registration();
    const std::string sorted = slot(kSlotRegistered);
    EXPECT_EQ(settings[kRegisteredCount], 34);
    EXPECT_EQ(sorted.substr(60, 2), "\r\n");
    EXPECT_EQ(sorted.substr(sorted.size() - 6), KA KI KE);
    EXPECT_EQ(view.registered, sorted);
}

using Normalise = StateTest;

TEST_F(Normalise, RewritesSlotFourCountsAndShows) {
    set_slot(kSlotRegistered, "x\x88\x9F\x88\x9F\x82\xA0");
    normalise_registered();
    EXPECT_EQ(slot(kSlotRegistered), "\x82\xA0\x88\x9F");
    EXPECT_EQ(settings[kRegisteredCount], 2);
    EXPECT_EQ(view.registered, "\x82\xA0\x88\x9F");
    EXPECT_FALSE(view.detected);
}

TEST_F(Normalise, EmptyTextGivesAnEmptySet) {
    settings[kRegisteredCount] = 5;
    normalise_registered();
    EXPECT_EQ(slot(kSlotRegistered), "");
    EXPECT_EQ(settings[kRegisteredCount], 0);
    EXPECT_EQ(count_set(registered_set), 0);
}

TEST_F(Normalise, ShowDetectedRebuildsWithoutCounting) {
    detected_set.flags[1410] = 1;
    detected_set.flags[0] = 1;
    show_detected();
    EXPECT_EQ(slot(kSlotDetected), "\x81\x40\x88\x9F");
    EXPECT_EQ(view.detected, "\x81\x40\x88\x9F");
    EXPECT_FALSE(view.registered);
    EXPECT_EQ(settings[kDetectedCount], 0);
}

TEST_F(Normalise, WorksWithoutAWindow) {
    text_observer = nullptr;
    set_slot(kSlotRegistered, "\x88\x9F");
    normalise_registered();
    EXPECT_EQ(settings[kRegisteredCount], 1);
}

// The set logic itself, as glyfor-cli and the operations above use it.
KanjiSet set_of(std::initializer_list<cell> cells) {
    KanjiSet set;
    for (cell c : cells) set.flags[static_cast<std::size_t>(c)] = 1;
    return set;
}

TEST(SetLogic, DetectedIsSeenMinusRegisteredAndAddAllIsTheUnion) {
    const KanjiSet seen = set_of({0, 1410, 1411, kCellCount - 1});
    const KanjiSet registered = set_of({1, 1410, kCellCount - 1});
    EXPECT_EQ(unregistered_cells(seen, registered).flags, set_of({0, 1411}).flags);
    EXPECT_EQ(unregistered_cells(seen, KanjiSet{}).flags, seen.flags);
    EXPECT_EQ(count_set(unregistered_cells(seen, seen)), 0);
    EXPECT_EQ(union_of(seen, registered).flags, set_of({0, 1, 1410, 1411, kCellCount - 1}).flags);
    EXPECT_EQ(union_of(KanjiSet{}, registered).flags, registered.flags);
}

TEST(SetLogic, NormalisingRewritesTheTextInPlace) {
    // Every cell once, last to first, with a stray byte: the canonical text is as long as a
    // set text gets, longer than its input, so it must be built only once parsing is done.
    std::string text;
    for (cell c = kCellCount - 1; c >= 0; --c) {
        const SjisCode code = sjis_from_cell(c);
        text += static_cast<char>(code >> 8);
        text += static_cast<char>(code & 0xFF);
    }
    text += "x";
    std::vector<char> buffer(kMaxSetTextSize, '\0');
    std::copy(text.begin(), text.end(), buffer.begin());
    KanjiSet set;
    EXPECT_EQ(normalise_set_text(buffer.data(), set), kCellCount);
    EXPECT_EQ(count_set(set), kCellCount);
    EXPECT_EQ(std::string(buffer.data()), testing::canonical_text(text));
    EXPECT_EQ(std::string(buffer.data()).size() + 1, kMaxSetTextSize);

    char empty[kMaxSetTextSize] = "ab\r\n";
    EXPECT_EQ(normalise_set_text(empty, set), 0);
    EXPECT_STREQ(empty, "");
}

TEST(SetLogic, BufferReaderHandsOutTheBytesOnceAndAdvances) {
    const std::string input = KA "x" KI;
    ByteSpan rest{input.data(), input.size()};
    const ByteReader reader = buffer_reader(rest);
    std::array<unsigned char, 3> block{};
    EXPECT_EQ(reader.read(reader.context, block.data(), block.size()), 3U);
    EXPECT_EQ(rest.size, 2U);
    EXPECT_EQ(reader.read(reader.context, block.data(), block.size()), 2U);
    EXPECT_EQ(std::string(block.begin(), block.begin() + 2), KI);
    EXPECT_EQ(reader.read(reader.context, block.data(), block.size()), 0U);

    ByteSpan again{input.data(), input.size()};
    EXPECT_EQ(scan_cells(buffer_reader(again)).flags, set_of({1410, 1411}).flags);
}

}  // namespace
}  // namespace glyfor
