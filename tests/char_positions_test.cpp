#include "charset/char_positions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

namespace glyfor {

bool operator==(const CharPosition& a, const CharPosition& b) {
    return std::tie(a.code, a.gives_cell, a.line, a.col) ==
           std::tie(b.code, b.gives_cell, b.line, b.col);
}

void PrintTo(const CharPosition& c, std::ostream* out) {
    *out << std::hex << c.code << std::dec << (c.gives_cell ? "" : " dropped") << " at " << c.line
         << ":" << c.col;
}

namespace {

#define KAN "\x8A\xBF"   // 漢
#define JI "\x8E\x9A"    // 字
#define HYOU "\x95\x5C"  // 表

std::vector<CharPosition> walk(WalkMode mode, const std::string& input,
                               std::vector<std::size_t> cuts) {
    std::vector<CharPosition> seen;
    CharWalker walker(
        mode, CharVisitor{&seen, [](void* context, const CharPosition& c) {
                              static_cast<std::vector<CharPosition>*>(context)->push_back(c);
                          }});
    const auto* bytes = reinterpret_cast<const unsigned char*>(input.data());
    std::size_t at = 0;
    cuts.push_back(input.size());
    for (const std::size_t cut : cuts) {
        walker.feed(bytes + at, cut - at);
        at = cut;
    }
    return seen;
}

struct WalkCase {
    const char* name;
    WalkMode mode;
    std::string input;
    std::vector<CharPosition> expected;
};

constexpr WalkMode kPlain = WalkMode::kPlain;
constexpr WalkMode kLiterals = WalkMode::kLiterals;

const WalkCase kWalkCases[] = {
    {"first column", kPlain, KAN, {{0x8ABF, true, 1, 1}}},
    {"columns count bytes", kPlain, "ab" KAN JI, {{0x8ABF, true, 1, 3}, {0x8E9A, true, 1, 5}}},
    {"a tab is one column", kPlain, "\t\tx" KAN, {{0x8ABF, true, 1, 4}}},
    {"LF lines", kPlain, "a\n\n  " KAN "\n" JI, {{0x8ABF, true, 3, 3}, {0x8E9A, true, 4, 1}}},
    {"CR LF lines",
     kPlain,
     "a\r\n" KAN "\r\nxy" JI "\r\n",
     {{0x8ABF, true, 2, 1}, {0x8E9A, true, 3, 3}}},
    {"a lone CR is a column", kPlain, "a\r" KAN, {{0x8ABF, true, 1, 3}}},
    {"rejected trails give nothing", kPlain, "\x88\x7F\x88\n" KAN, {{0x8ABF, true, 2, 1}}},
    {"user-defined pair dropped",
     kPlain,
     "x\xF0\x40\xFC\xFC",
     {{0xF040, false, 1, 2}, {0xFCFC, false, 1, 4}}},
    // The plain scan reads the byte after a user-defined lead afresh.
    {"user-defined lead before an accepted lead",
     kPlain,
     "\xF0\x88\x9F",
     {{0xF088, false, 1, 1}, {0x889F, true, 1, 2}}},
    {"accepted lead takes any byte", kPlain, "\x88\xF0\x40", {{0x88F0, true, 1, 1}}},
    {"literals only",
     kLiterals,
     "// " KAN "\n  x = \"a" JI "\"; /* " HYOU " */ '" HYOU "'",
     {{0x8E9A, true, 2, 9}, {0x955C, true, 2, 24}}},
    {"literal over an escaped line break",
     kLiterals,
     "\"" KAN "\\\r\n" JI "\"",
     {{0x8ABF, true, 1, 2}, {0x8E9A, true, 2, 1}}},
    {"user-defined pair in a literal",
     kLiterals,
     "\"\xF0\x88\x9F\x41\" \xF0\x40",
     {{0xF088, false, 1, 2}, {0x9F41, true, 1, 4}}},
    {"include name left out",
     kLiterals,
     "#include \"" KAN ".h\"\r\n\t\"" JI "\"",
     {{0x8E9A, true, 2, 3}}},
};

// Each case is fed whole, cut in two at every point, and one byte at a time.
TEST(CharWalkerTest, ReportsEachCharacterWithItsLineAndColumn) {
    for (const WalkCase& k : kWalkCases) {
        SCOPED_TRACE(k.name);
        EXPECT_EQ(walk(k.mode, k.input, {}), k.expected);
        for (std::size_t split = 0; split <= k.input.size(); ++split)
            EXPECT_EQ(walk(k.mode, k.input, {split}), k.expected) << "split at " << split;
        std::vector<std::size_t> every;
        for (std::size_t at = 1; at < k.input.size(); ++at) every.push_back(at);
        EXPECT_EQ(walk(k.mode, k.input, every), k.expected) << "one byte at a time";
    }
}

TEST(CharWalkerTest, EndOfTextEndsTheWalk) {
    const std::vector<CharPosition> expected{{0x8ABF, true, 1, 2}};
    const std::string input = "\"" KAN "\x1A" JI "\"";
    for (const WalkMode mode : {kPlain, kLiterals}) {
        EXPECT_EQ(walk(mode, input, {}), expected);
        EXPECT_EQ(walk(mode, input, {2, 4}), expected);
    }
}

}  // namespace
}  // namespace glyfor
