#include "charset/literal_scanner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "charset/charset.h"
#include "tests/text_support.h"

namespace glyfor {
namespace {

using testing::canonical_text;

// Shift-JIS bytes of the characters used below. The first five end in the trail byte 0x5C,
// the backslash.
#define HYOU "\x95\x5C"   // 表
#define SO "\x83\x5C"     // ソ
#define NOU "\x94\x5C"    // 能
#define YO "\x97\x5C"     // 予
#define JUU "\x8F\x5C"    // 十
#define KAN "\x8A\xBF"    // 漢
#define JI "\x8E\x9A"     // 字
#define RYOKU "\x97\xCD"  // 力
#define BUN "\x95\xAA"    // 分

std::string set_text(const KanjiSet& set) {
    std::string text(kMaxSetTextSize, '\0');
    text.resize(build_set_text(set, text.data()));
    return text;
}

// The literal set of the input fed in the given pieces: a piece size of 0 feeds it whole, and
// a split point cuts it into two blocks there.
std::string scan_pieces(const std::string& input, std::size_t piece) {
    LiteralScanner scanner;
    const auto* bytes = reinterpret_cast<const unsigned char*>(input.data());
    if (piece == 0) piece = input.size() + 1;
    for (std::size_t at = 0; at < input.size(); at += piece)
        scanner.feed(bytes + at, std::min(piece, input.size() - at));
    return set_text(scanner.cells());
}

std::string scan_split(const std::string& input, std::size_t split) {
    LiteralScanner scanner;
    const auto* bytes = reinterpret_cast<const unsigned char*>(input.data());
    scanner.feed(bytes, split);
    scanner.feed(bytes + split, input.size() - split);
    return set_text(scanner.cells());
}

struct LiteralCase {
    const char* name;
    std::string input;
    const char* literals;  // the characters the literal scan must collect, in any order
};

// Every case is also fed cut into two blocks at each split point and one byte at a time, so
// each of them puts block boundaries inside comment openers, pairs, escapes, prefixes and
// closing delimiters.
const LiteralCase kLiteralCases[] = {
    {"empty text", "", ""},
    {"code only", "int " KAN " = 0;\n", ""},
    {"comment holding a string", "/* \"" KAN "\" */ s = \"" JI "\";", JI},
    {"string holding a comment", "s = \"/* " KAN " */\"; // " JI "\n", KAN},
    {"string holding a line comment", "s = \"// " KAN "\"; '" JI "';", KAN JI},
    {"trail 0x5C before the closing quote", "t = \"" HYOU "\"; // " JI, HYOU},
    {"wording table entry",
     "{\""
     "\x89\x9E\x97\x70\x8B\x40" NOU "\", \"" YO "\"}, /* " JI " */",
     "\x89\x9E\x97\x70\x8B\x40" NOU YO},
    {"line comment ending in a trail 0x5C", "// " SO "\n\"" KAN "\"\n", KAN},
    {"line comment ending in a backslash", "// " KAN " \\\n\"" JI "\"\n\"" RYOKU "\"", RYOKU},
    {"line comment continued over CR LF", "// a\\\r\n\"" JI "\"\r\n\"" RYOKU "\"", RYOKU},
    {"backslash and blank before the line break", "// a\\ \n\"" JI "\"", JI},
    {"two backslashes before the line break", "// a\\\\\n\"" JI "\"\n'" KAN "'", KAN},
    {"block comment closed by **/", "/* " KAN " **/ \"" JI "\" /*/ \"" BUN "\" */", JI},
    {"block comment never closed", "/* \"" KAN "\"", ""},
    {"slash that opens no comment", "a = b /\"" KAN "\"; c = d / 2;", KAN},
    {"include header name", "#include \"" KAN JI ".h\"\n\"" RYOKU "\"", RYOKU},
    {"include with blanks around #", " \t# \t include\t\"" KAN ".h\" // " JI "\n", ""},
    {"include without blank", "#include\"" KAN ".h\"\n", ""},
    {"include header name with backslashes", "#include \"sub\\" HYOU ".h\"\n'" JI "'", JI},
    {"include in angle brackets", "#include <" KAN ".h>\n", ""},
    {"include not first on its line", "x; #include \"" KAN ".h\"\n", KAN},
    {"other directives count", "#error \"" KAN "\"\n#define M \"" JI "\"\n#includes \"" BUN "\"",
     KAN JI BUN},
    {"include after CR LF", "\"" KAN "\"\r\n#include \"" JI ".h\"\r\n", KAN},
    {"raw string containing a quote", "R\"(say \"" KAN "\" // " JI ")\" \"" RYOKU "\"",
     KAN JI RYOKU},
    {"raw string with a delimiter", "R\"xy(a)\" " KAN " )x\" )xy\" // " JI, KAN},
    {"raw string has no escapes", "R\"d(\\)d\" " KAN " \"" JI "\"", JI},
    {"raw string over lines", "R\"(" KAN "\n" JI ")\"", KAN JI},
    {"raw string prefixes", "LR\"(" KAN ")\" uR\"(\")\" u8R\"(" JI ")\" UR\"(" RYOKU ")\"",
     KAN JI RYOKU},
    {"R ending an identifier is no prefix", "FOOR\"(" KAN "\" " JI " \")\" \"" RYOKU "\"",
     KAN RYOKU},
    {"raw string without ( is an ordinary literal", "R\"abc\n\"" KAN "\"", KAN},
    {"prefixes", "L\"" KAN "\" u8\"" JI "\" u\"" RYOKU "\" U'" BUN "'", KAN JI RYOKU BUN},
    {"unterminated literal ends at the line break", "\"" KAN "\n" JI " \"" RYOKU "\"", KAN RYOKU},
    {"stray quote in code", "don't " KAN "\n\"" JI "\"\n", KAN JI},
    {"adjacent literals", "\"" NOU RYOKU "\" \"" JUU BUN "\"", NOU RYOKU JUU BUN},
    {"character literal", "c = '" JI "'; // " KAN "\nd = '" HYOU "';", JI HYOU},
    {"other quote inside a literal", "\"it's " KAN "\" '\"' \"" JI "\"", KAN JI},
    {"escaped quotes", "\"say \\\"" KAN "\\\" ok\" // " JI, KAN},
    {"escaped quote character", "'\\'' // " KAN "\n\"" JI "\"", JI},
    {"escaped backslash before the closing quote", "\"\\\\\"" KAN "\"" JI "\"", JI},
    {"escaped line break continues the literal", "\"" KAN "\\\n" JI "\" \"" RYOKU "\"",
     KAN JI RYOKU},
    {"escaped CR LF continues the literal", "\"a\\\r\n" JI "\" // " KAN, JI},
    {"escapes are not decoded", "\"\\x88\\x9f\\210\\237\"", ""},
    {"backslash before a character escapes all of it", "\"\\" HYOU "\" \"" JI "\"", HYOU JI},
    {"CR LF line ends", "// " KAN "\r\n\"" JI "\"\r\n'" RYOKU "'\r\n\"" BUN "\r\n" KAN,
     JI RYOKU BUN},
    {"lead byte before the closing quote", "\"a\x88\" " KAN " \"" JI "\"", JI},
    {"lead byte before the line break", "\"a\x88\n\"" KAN "\"", KAN},
    {"lead byte ending a raw string", "R\"(\x88)\"\"\x9F\"", ""},
    {"end-of-text byte in code", "\"" KAN "\" \x1A \"" JI "\"", KAN},
    {"end-of-text byte in a literal", "\"" KAN "\x1A" JI "\"", KAN},
    {"user-defined pair is one character", "\"\xF0\x88\x9F\x41\"", "\x9F\x41"},
    {"user-defined pair with trail 0x5C", "\"\xFC\x5C\" \"" JI "\"", JI},
    {"user-defined lead before the closing quote", "\"\xF0\" " KAN, ""},
    {"user-defined pair in a raw string", "R\"(\xF0\x88\x9F\x41)\"", "\x9F\x41"},
    {"rejected trail", "\"\x88\x7F" KAN "\"", KAN},
};

TEST(LiteralScannerTest, CollectsOnlyTheCharactersInsideLiterals) {
    for (const LiteralCase& k : kLiteralCases) {
        SCOPED_TRACE(k.name);
        const std::string expected = canonical_text(k.literals);
        EXPECT_EQ(scan_pieces(k.input, 0), expected);
        EXPECT_EQ(scan_pieces(k.input, 1), expected) << "fed one byte at a time";
        for (std::size_t split = 0; split <= k.input.size(); ++split)
            EXPECT_EQ(scan_split(k.input, split), expected) << "split at " << split;
    }
}

TEST(LiteralScannerTest, EndOfTextStopsLaterBlocks) {
    LiteralScanner scanner;
    const std::string first = "\"" KAN "\x1A";
    const std::string second = "\"" JI "\"";
    scanner.feed(reinterpret_cast<const unsigned char*>(first.data()), first.size());
    EXPECT_TRUE(scanner.ended());
    scanner.feed(reinterpret_cast<const unsigned char*>(second.data()), second.size());
    EXPECT_EQ(set_text(scanner.cells()), KAN);
}

TEST(LiteralScannerTest, ReaderFeedsEveryBlockUpToTheEndOfText) {
    const std::string text = "\"" KAN "\" // " JI "\n'" RYOKU "'\x1A\"" BUN "\"";
    testing::PieceReader pieces{text, 3};
    LiteralScanner scanner;
    scan_reader(pieces.reader(), scanner);
    EXPECT_TRUE(scanner.ended());
    EXPECT_EQ(set_text(scanner.cells()), canonical_text(KAN RYOKU));
}

std::string read_fixture(const char* name) {
    const std::string path = std::string(GLYFOR_FIXTURE_DIR) + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return {};
    std::string bytes;
    char buffer[4096];
    while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, file))
        bytes.append(buffer, got);
    std::fclose(file);
    return bytes;
}

// A wording table of a small display, in Shift-JIS with CR LF, as firmware sources are.
TEST(LiteralScannerTest, FixtureGivesTheCharactersItsStringsShow) {
    const std::string source = read_fixture("literals.c");
    ASSERT_FALSE(source.empty());
    const std::string literals = canonical_text(testing::kFixtureLiterals);
    EXPECT_EQ(scan_pieces(source, 0), literals);
    EXPECT_EQ(scan_pieces(source, 7), literals);

    // The comments hold 72 characters that no string shows.
    SjisScanner plain;
    plain.feed(reinterpret_cast<const unsigned char*>(source.data()), source.size());
    KanjiSet in_literals;
    parse_set_text(literals.c_str(), in_literals);
    EXPECT_EQ(count_set(in_literals), 36);
    EXPECT_EQ(count_set(plain.cells()), 108);
}

// Whether a text may hold a character with a user-defined lead byte, which no cell holds: it
// is what tells the command line to look for the place of such a character.
struct UserDefinedCase {
    const char* name;
    std::string text;
    bool plain;     // the plain scan
    bool literals;  // the literal scan
};

const UserDefinedCase kUserDefinedCases[] = {
    {"none", "\"" KAN "\" // " JI "\n", false, false},
    {"in a string", "\"\xFB\xFC\"", true, true},
    {"in a comment", "// \xFA\xB1\n\"" KAN "\"", true, false},
    {"as a trail byte", "\"" "\x88\xF0" "\"", false, false},
    {"last of the user-defined range", "\"\xFC\x40\"", true, true},
    {"above the range", "\"\xFD\x40\"", false, false},
};

TEST(LiteralScannerTest, TellsWhetherAUserDefinedCharacterMayBeThere) {
    for (const UserDefinedCase& k : kUserDefinedCases) {
        SCOPED_TRACE(k.name);
        const auto* bytes = reinterpret_cast<const unsigned char*>(k.text.data());
        SjisScanner plain;
        plain.feed(bytes, k.text.size());
        LiteralScanner literals;
        literals.feed(bytes, k.text.size());
        EXPECT_EQ(plain.saw_user_defined(), k.plain);
        EXPECT_EQ(literals.saw_user_defined(), k.literals);
    }
}

// A reader at its end may hand over an empty block without a buffer.
TEST(SjisScanner, EmptyBlockWithoutBufferChangesNothing) {
    SjisScanner scanner;
    scanner.feed(reinterpret_cast<const unsigned char*>("\x88"), 1);
    scanner.feed(nullptr, 0);
    scanner.feed(reinterpret_cast<const unsigned char*>("\x9F"), 1);
    EXPECT_EQ(count_set(scanner.cells()), 1);
    EXPECT_FALSE(scanner.ended());
}

}  // namespace
}  // namespace glyfor
