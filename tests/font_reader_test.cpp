#include "font/font_reader.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "charset/charset.h"
#include "font/font_writer.h"
#include "font/glyph_table.h"
#include "tests/text_support.h"

namespace glyfor {
namespace {

const LocalTime kWhen{2026, 3, 5, 7, 8, 9};

KanjiSet cells(cell first, cell end) {
    KanjiSet set;
    for (cell c = first; c < end; ++c) set.flags[static_cast<std::size_t>(c)] = 1;
    return set;
}

std::string generate(const KanjiSet& set, const FontOptions& options, CodeRange previous = {}) {
    std::string file;
    EXPECT_TRUE(write_font_source(testing::string_sink(file), set, options, kWhen, previous).ok);
    return file;
}

struct Read {
    FontReadResult result;
    std::unique_ptr<FontFile> font = std::make_unique<FontFile>();
};

Read read(const std::string& file) {
    Read r;
    r.result = read_font_source(file.data(), file.size(), *r.font);
    return r;
}

std::string where(const FontReadResult& result) {
    return "line " + std::to_string(result.line) + ": " + result.message.data();
}

std::vector<std::string> split_lines(const std::string& file) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = file.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(file.substr(start, end - start));
    return lines;
}

std::string join_lines(const std::vector<std::string>& lines) {
    std::string file;
    for (const std::string& line : lines) file += line + "\r\n";
    return file;
}

// The page boundary as the writer's own tests place it: rows 0..23, row 24 from column 46 and
// row 25 column 0, 2305 characters whose 2304th ends a grid row.
KanjiSet page_boundary_set() {
    KanjiSet set = cells(0, 24 * kGridCols);
    for (cell c = 24 * kGridCols + 46; c <= 25 * kGridCols; ++c)
        set.flags[static_cast<std::size_t>(c)] = 1;
    return set;
}

TEST(FontReader, ReadsBackWhatTheWriterWrites) {
    KanjiSet sparse;
    for (const SjisCode code : {0x8140, 0x8260, 0x82a0, 0x889f, 0x88a0, 0x9872, 0xeaa4, 0xeffc})
        sparse.flags[static_cast<std::size_t>(cell_from_sjis(code >> 8, code & 0xFF))] = 1;
    const struct {
        const char* name;
        KanjiSet set;
    } sets[] = {
        {"empty", KanjiSet{}},
        {"sparse", sparse},
        {"page boundary", page_boundary_set()},
        {"all cells", cells(0, kCellCount)},
    };
    // An empty set keeps the MIN and MAX of the generation before it.
    const CodeRange previous{0x889f, 0x88a0};
    for (const auto& s : sets) {
        for (const bool cc_rl : {false, true}) {
            for (const bool as_signed : {false, true}) {
                SCOPED_TRACE(std::string(s.name) + (cc_rl ? " CC-RL" : " @@CNSTL") +
                             (as_signed ? " signed" : " unsigned"));
                const std::string file = generate(s.set, {cc_rl, as_signed}, previous);
                const Read r = read(file);
                ASSERT_TRUE(r.result.ok) << where(r.result);
                EXPECT_EQ(r.result.line, 0);
                const FontFile& font = *r.font;
                EXPECT_EQ(font.set.flags, s.set.flags);
                const FontParameters expected = font_parameters(s.set, previous);
                EXPECT_EQ(font.parameters.count, expected.count);
                EXPECT_EQ(font.parameters.min_code, expected.min_code);
                EXPECT_EQ(font.parameters.max_code, expected.max_code);
                EXPECT_EQ(font.parameters.pages, expected.pages);
                EXPECT_EQ(font.parameters.size, kGlyphSize);
                EXPECT_EQ(font.parameters.unit, kGlyphsPerPage);
                EXPECT_EQ(font.syntax, cc_rl ? SectionSyntax::kCcRl : SectionSyntax::kCnstl);
                const ByteForm form = as_signed ? ByteForm::kSigned : ByteForm::kUnsigned;
                EXPECT_EQ(font.byte_form, count_set(s.set) == 0 ? ByteForm::kEither : form);
                EXPECT_EQ(font.differing_glyphs, 0);
                int wrong = 0;
                for (cell c = 0; c < kCellCount; ++c) {
                    const bool member = s.set.flags[static_cast<std::size_t>(c)] != 0;
                    if (font.glyphs[static_cast<std::size_t>(c)] !=
                        (member ? glyph_bytes(c) : Glyph{}))
                        ++wrong;
                }
                EXPECT_EQ(wrong, 0);

                // Lines that end in LF alone read the same.
                std::string lf_only;
                for (const char ch : file) {
                    if (ch != '\r') lf_only += ch;
                }
                const Read lf = read(lf_only);
                ASSERT_TRUE(lf.result.ok) << where(lf.result);
                EXPECT_EQ(lf.font->set.flags, s.set.flags);
                EXPECT_EQ(lf.font->glyphs, font.glyphs);
            }
        }
    }
}

// A reformatted file, as a C compiler sees it, is the same font.
TEST(FontReader, ReadsAHandFormattedFile) {
    const std::string file =
        "// edited by hand\n"
        "#define FONT_KANJI_INDEX 0\n#define FONT_KANJI_NUM 2\n#define FONT_KANJI_MIN 0x889F\n"
        "#define FONT_KANJI_MAX 0x88a0 /* last */\n#define FONT_KANJI_PAGE 1\n"
        "#define FONT_KANJI_SIZE 28\n#define FONT_KANJI_UNIT 2304\n"
        "const unsigned short font_kanji_index[] = { 0x889f, 0x88a0, };\n"
        "#pragma section @@CNSTL KFONT1\n"
        "__far const char font_kanji1[][FONT_KANJI_SIZE] = {\n"
        " {0,0,0,0,0,0,0, 0,0,0,0,0,0,0, 0,0,0,0,0,0,0, 0,0,0,0,0,0,0},\n"
        " {1,2,3,4,5,6,7, 8,9,10,11,12,13,14,\n"
        "  15,16,17,18,19,20,21, 22,23,24,25,26,27,28},\n"
        "};\n"
        "#pragma section @@CNSTL @@CNSTL\n";
    const Read r = read(file);
    ASSERT_TRUE(r.result.ok) << where(r.result);
    EXPECT_EQ(count_set(r.font->set), 2);
    EXPECT_EQ(r.font->byte_form, ByteForm::kEither);
    EXPECT_EQ(r.font->differing_glyphs, 2);
    // Line order back to table order: the upper rows of column 0 are value 1, its lower rows
    // value 8, those of column 7 values 15 and 22.
    const Glyph& glyph = r.font->glyphs[static_cast<std::size_t>(cell_from_sjis(0x88, 0xa0))];
    EXPECT_EQ(glyph[0], 1);
    EXPECT_EQ(glyph[1], 8);
    EXPECT_EQ(glyph[12], 7);
    EXPECT_EQ(glyph[13], 14);
    EXPECT_EQ(glyph[14], 15);
    EXPECT_EQ(glyph[15], 22);
    EXPECT_EQ(glyph[27], 28);
}

// Twenty characters from 亜 (0x889f..0x88b2): the index on lines 18 and 19, the glyph array
// header on lines 22 and 23, the glyphs on lines 24..43, the array's end on line 44 and the
// closing section on line 46.
using Edit = std::function<void(std::vector<std::string>&)>;

Edit replace(int line, const std::string& from, const std::string& to) {
    return [=](std::vector<std::string>& lines) {
        std::string& text = lines[static_cast<std::size_t>(line - 1)];
        const std::size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << "line " << line << " has no " << from;
        text.replace(at, from.size(), to);
    };
}

Edit remove(int line) {
    return [=](std::vector<std::string>& lines) { lines.erase(lines.begin() + (line - 1)); };
}

TEST(FontReader, NamesTheLineAndTheFaultOfADamagedFile) {
    const KanjiSet twenty = cells(1410, 1430);
    const std::string plain = generate(twenty, {});
    const std::string signed_cc_rl = generate(twenty, {true, true});
    ASSERT_EQ(split_lines(plain)[17].substr(0, 7), "\t0x889f");
    ASSERT_EQ(split_lines(plain)[23].substr(0, 9), "\t{0,4,228");
    ASSERT_EQ(split_lines(plain).size(), 46u);
    const struct {
        const char* name;
        const std::string& file;
        Edit edit;
        const char* error;
    } cases[] = {
        {"a glyph line removed", plain, remove(30),
         "line 43: glyph array font_kanji1 holds 19 glyphs, not the 20 the index needs"},
        {"two index values swapped", plain,
         [](std::vector<std::string>& lines) {
             replace(18, "0x88ad", "0x88ae")(lines);
             replace(19, "0x88ae", "0x88ad")(lines);
         },
         "line 19: index 0x88ad is not above 0x88ae before it"},
        {"a code twice", plain, replace(18, "0x88a0", "0x889f"),
         "line 18: index 0x889f is not above 0x889f before it"},
        {"a code off the grid", plain, replace(19, "0x88b0", "0x88ff"),
         "line 19: index value '0x88ff' is not a Shift-JIS code of the grid"},
        {"256 in an unsigned file", plain, replace(25, "{", "{256,"),
         "line 25: glyph value 256 is not in 0..255"},
        {"a negative value after unsigned ones", plain, replace(24, "228,36", "228,-1"),
         "line 24: glyph value -1 is not in 0..255"},
        {"200 in a signed file", signed_cc_rl, replace(24, ",36,-4,", ",36,200,"),
         "line 24: glyph value 200 is not in -128..127"},
        {"a glyph one value short", plain, replace(24, ",32,0}", ",32}"),
         "line 24: glyph of 0x889f has 27 values, not 28"},
        {"a glyph one value long", plain, replace(24, ",32,0}", ",32,0,0}"),
         "line 24: glyph of 0x889f has more than 28 values"},
        {"NUM one too high", plain, replace(10, "20", "21"),
         "line 10: FONT_KANJI_NUM is 21, but the index holds 20 codes"},
        {"NUM one too low", plain, replace(10, "20", "19"),
         "line 10: FONT_KANJI_NUM is 19, but the index holds 20 codes"},
        {"MIN not the first code", plain, replace(11, "0x889f", "0x88a0"),
         "line 11: FONT_KANJI_MIN 0x88a0 is not the first code 0x889f"},
        {"MAX not the last code", plain, replace(12, "0x88b2", "0x88b3"),
         "line 12: FONT_KANJI_MAX 0x88b3 is not the last code 0x88b2"},
        {"PAGE not the number of arrays", plain, replace(13, "1", "2"),
         "line 13: FONT_KANJI_PAGE is 2, but the file has 1 glyph arrays"},
        {"another glyph size", plain, replace(14, "28", "32"),
         "line 14: FONT_KANJI_SIZE is 32, not 28"},
        {"a parameter missing", plain, remove(15),
         "line 16: FONT_KANJI_UNIT is not defined before the index table"},
        {"a parameter twice", plain, replace(15, "UNIT", "NUM"),
         "line 15: FONT_KANJI_NUM is defined again, first on line 10"},
        {"an index value more than glyphs", plain, replace(19, "0x88b2", "0x88b2,0x88b3"),
         "line 10: FONT_KANJI_NUM is 20, but the index holds 21 codes"},
        {"a glyph more than codes", plain,
         replace(43, "}", "},{0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0}"),
         "line 43: glyph 21 is one more than the index's 20 codes"},
        {"the second array misnumbered", plain, replace(22, "KFONT1", "KFONT2"),
         "line 22: section KFONT2 where KFONT1 belongs"},
        {"the sections mixed", plain, replace(46, "@@CNSTL\t\t@@CNSTL", ""),
         "line 46: the section syntax differs from the sections before it"},
        {"the closing section missing", plain, remove(46),
         "line 45: expected #pragma section, found the end of the file"},
        {"a comma missing", plain, replace(27, "\t,{", "\t{"),
         "line 27: expected ',' or '}', found '{'"},
        {"a stray byte", plain, replace(23, "__far", "\x81\x40__far"),
         "line 23: expected '__far', found byte 0x81"},
        {"a comment left open", plain, replace(44, "};", "};/*"),
         "line 44: comment is not closed before the end of the file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> lines = split_lines(c.file);
        c.edit(lines);
        const Read r = read(join_lines(lines));
        EXPECT_FALSE(r.result.ok);
        EXPECT_EQ(where(r.result), c.error);
    }
}

// A glyph line as the first of its array ("\t{...}") or after another ("\t,{...}").
std::string glyph_line(const std::string& line, bool first) {
    std::string out = first ? "\t" : "\t,";
    out.append(line, line.find('{'));
    return out;
}

TEST(FontReader, RejectsAPageOfMoreThan2304Glyphs) {
    std::vector<std::string> lines = split_lines(generate(page_boundary_set(), {}));
    // Joins font_kanji2's only glyph onto font_kanji1: drops "};", the blank line, the section
    // and the declaration between them.
    std::size_t second = 0;
    while (lines[second] != "#pragma section @@CNSTL\t\tKFONT2") ++second;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(second - 2),
                lines.begin() + static_cast<std::ptrdiff_t>(second + 2));
    lines[second - 2] = glyph_line(lines[second - 2], false);
    const Read r = read(join_lines(lines));
    EXPECT_EQ(where(r.result),
              "line 2537: glyph array font_kanji1 holds more than FONT_KANJI_UNIT 2304 glyphs");
}

TEST(FontReader, RejectsAFirstArrayShortOfUnit) {
    std::vector<std::string> lines = split_lines(generate(page_boundary_set(), {}));
    // One glyph of font_kanji1 moved to font_kanji2: the total is right, the split is not.
    std::size_t second = 0;
    while (lines[second] != "#pragma section @@CNSTL\t\tKFONT2") ++second;
    const std::string moved = glyph_line(lines[second - 3], true);
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(second - 3));
    lines[second + 1] = glyph_line(lines[second + 1], false);
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(second + 1), moved);
    const Read r = read(join_lines(lines));
    EXPECT_EQ(where(r.result),
              "line 2536: glyph array font_kanji1 holds 2303 glyphs, not the 2304 the index needs");
}

TEST(FontReader, RejectsWhatIsNotAWholeFontFile) {
    const std::string file = generate(cells(1410, 1430), {});
    // Cut inside the third glyph line, after "\t,{0,".
    const std::vector<std::string> lines = split_lines(file);
    const std::string cut =
        join_lines({lines.begin(), lines.begin() + 25}) + lines[25].substr(0, 5);
    const struct {
        const char* name;
        std::string bytes;
        const char* error;
    } cases[] = {
        {"empty", "", "line 1: the file is empty"},
        {"truncated in a glyph", cut, "line 26: expected a number, found the end of the file"},
        {"truncated after the index", file.substr(0, file.find("#pragma")),
         "line 21: expected #pragma section, found the end of the file"},
        {"a PNG", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16),
         "line 1: expected #define FONT_KANJI_... or the index table, found byte 0x89"},
        {"a settings file", "[Glyfor]\r\nlanguage=0\r\n",
         "line 1: expected #define FONT_KANJI_... or the index table, found '['"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Read r = read(c.bytes);
        EXPECT_FALSE(r.result.ok);
        EXPECT_EQ(where(r.result), c.error);
    }
}

TEST(FontReader, RejectsRandomBytesWithALineInTheFile) {
    std::minstd_rand random(20260305);
    for (int round = 0; round < 50; ++round) {
        std::string bytes(1 + random() % 4096, '\0');
        int lines = 1;
        for (char& b : bytes) {
            b = static_cast<char>(random() & 0xFF);
            if (b == '\n') ++lines;
        }
        const Read r = read(bytes);
        EXPECT_FALSE(r.result.ok);
        EXPECT_GE(r.result.line, 1);
        EXPECT_LE(r.result.line, lines);
        EXPECT_NE(r.result.message[0], '\0');
    }
}

TEST(FontReader, CountsAHandEditedGlyphWithoutRejectingIt) {
    std::vector<std::string> lines = split_lines(generate(cells(1410, 1430), {}));
    replace(24, "{0,4,228", "{255,4,228")(lines);
    replace(25, ",{0,", ",{1,")(lines);
    const Read r = read(join_lines(lines));
    ASSERT_TRUE(r.result.ok) << where(r.result);
    EXPECT_EQ(r.font->differing_glyphs, 2);
    EXPECT_EQ(r.font->glyphs[1410][0], 255);
    EXPECT_EQ(count_set(r.font->set), 20);
}

}  // namespace
}  // namespace glyfor
