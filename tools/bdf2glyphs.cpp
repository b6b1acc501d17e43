// Converts the 14-dot JIS X 0213 plane 1 BDF font into the C++ source of the built-in glyph
// table. Usage: bdf2glyphs <font.bdf> <glyph_table.cpp>
//
// The glyph of a cell is the BDF character whose ENCODING is the JIS code of that cell,
// (row + 0x21) * 256 + col + 0x21. The 14 pixel rows of the font box become glyph rows 1..14,
// leaving row 0 blank, and its 14 pixel columns become glyph columns 0..13. Cells without a
// character in the font stay blank. The output depends only on the BDF, so regenerating it from
// the committed font must reproduce the committed table byte for byte.
//
// With --half-width it converts the two 7 x 14 fonts of the single-byte characters into the
// firmware's C source of the half-width font:
//   bdf2glyphs --half-width <7x14-ISO8859-1.bdf> <7x14-JISX0201.1976-0.bdf> <font_ank.c>
// The first gives 0x20..0x7E, the second the katakana 0xA1..0xDF, each glyph the left 7 columns
// of a Kanji glyph, rows placed alike. Every one of the 158 characters must be in its font: a
// firmware draws whatever byte a run-time string holds, so none may come out blank unnoticed.
#include <array>
#include <charconv>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "app/replace_file.h"
#include "charset/charset.h"
#include "font/glyph_table.h"

namespace {

using glyfor::Glyph;
using glyfor::kGlyphColumns;
using GlyphArray = std::array<Glyph, glyfor::kCellCount>;

// The single-byte characters of the half-width font, in the order of its table.
constexpr int kAsciiFirst = 0x20;
constexpr int kAsciiLast = 0x7E;
constexpr int kKanaFirst = 0xA1;
constexpr int kKanaLast = 0xDF;
constexpr int kHalfWidthColumns = 7;
// The table is indexed by the byte itself.
using ByteGlyphArray = std::array<Glyph, 256>;

// Which glyph of the table a BDF character fills: its index, or -1 for a character left out.
using SlotOfEncoding = int (*)(int encoding);

// Font row 0 lands on glyph row 1; glyph rows 0 and 15 stay blank.
constexpr int kFirstFontRow = 1;
constexpr int kLastFontRow = 14;
constexpr int kJisOffset = 0x21;

struct Box {
    int width = 0;
    int height = 0;
    int x_offset = 0;
    int y_offset = 0;
};

// Splits off the next whitespace-separated word of the line.
std::string_view next_word(std::string_view& line) {
    std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        line = {};
        return {};
    }
    std::size_t end = line.find_first_of(" \t", start);
    if (end == std::string_view::npos) end = line.size();
    std::string_view word = line.substr(start, end - start);
    line.remove_prefix(end);
    return word;
}

bool parse_int(std::string_view word, int& value) {
    if (word.empty()) return false;
    auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    return error == std::errc{} && end == word.data() + word.size();
}

bool parse_box(std::string_view rest, Box& box) {
    return parse_int(next_word(rest), box.width) && parse_int(next_word(rest), box.height) &&
           parse_int(next_word(rest), box.x_offset) && parse_int(next_word(rest), box.y_offset) &&
           box.width >= 0 && box.height >= 0 && next_word(rest).empty();
}

int hex_value(char digit) {
    if (digit >= '0' && digit <= '9') return digit - '0';
    if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
    if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
    return -1;
}

// The cell of a JIS code, or -1 when the code lies outside the 94 x 94 grid.
int cell_of_encoding(int encoding) {
    int row = (encoding >> 8) - kJisOffset;
    int col = (encoding & 0xFF) - kJisOffset;
    if (encoding < 0 || row < 0 || row >= glyfor::kGridRows || col < 0 || col >= glyfor::kGridCols)
        return -1;
    return row * glyfor::kGridCols + col;
}

int ascii_slot(int encoding) {
    return encoding >= kAsciiFirst && encoding <= kAsciiLast ? encoding : -1;
}

int kana_slot(int encoding) {
    return encoding >= kKanaFirst && encoding <= kKanaLast ? encoding : -1;
}

void set_pixel(Glyph& glyph, int x, int y) {
    glyph[static_cast<std::size_t>(2 * x + y / 8)] |= static_cast<std::uint8_t>(1u << (y % 8));
}

// Hands out the lines of the text one by one, CR LF read as LF, counting them for messages.
class Reader {
  public:
    explicit Reader(std::string_view text) : text_(text) {}

    bool next_line(std::string_view& line) {
        if (pos_ >= text_.size()) return false;
        std::size_t end = text_.find('\n', pos_);
        if (end == std::string_view::npos) end = text_.size();
        line = text_.substr(pos_, end - pos_);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        pos_ = end + 1;
        ++line_number_;
        return true;
    }
    int line_number() const { return line_number_; }

  private:
    std::string_view text_;
    std::size_t pos_ = 0;
    int line_number_ = 0;
};

std::string at_line(const Reader& reader, const std::string& message) {
    return "line " + std::to_string(reader.line_number()) + ": " + message;
}

// Reads the BITMAP rows of one character into the glyph, placed by the character's box
// relative to the font box, whose ink must lie within `columns` columns.
std::string read_bitmap(Reader& reader, const Box& font, const Box& box, int columns,
                        Glyph& glyph) {
    const std::size_t digits = static_cast<std::size_t>((box.width + 7) / 8 * 2);
    const int font_top = font.y_offset + font.height - 1;
    for (int i = 0; i < box.height; ++i) {
        std::string_view line;
        if (!reader.next_line(line)) return at_line(reader, "bitmap ends early");
        std::string_view row = next_word(line);
        if (row.size() < digits || row.size() % 2 != 0 || !next_word(line).empty())
            return at_line(reader, "bitmap row is not " + std::to_string(digits) + " hex digits");
        const int y = kFirstFontRow + font_top - (box.y_offset + box.height - 1 - i);
        for (int bit = 0; bit < box.width; ++bit) {
            int nibble = hex_value(row[static_cast<std::size_t>(bit / 4)]);
            if (nibble < 0) return at_line(reader, "bitmap row is not hex");
            if ((nibble & (8 >> (bit % 4))) == 0) continue;
            const int x = box.x_offset - font.x_offset + bit;
            if (x < 0 || x >= columns || y < kFirstFontRow || y > kLastFontRow)
                return at_line(reader,
                               "pixel outside the " + std::to_string(columns) + " x 14 font box");
            set_pixel(glyph, x, y);
        }
        for (std::size_t d = static_cast<std::size_t>(box.width + 3) / 4; d < row.size(); ++d)
            if (hex_value(row[d]) < 0) return at_line(reader, "bitmap row is not hex");
    }
    return {};
}

// Fills the glyphs of the table that slot_of gives from BDF text, marking each in `seen`;
// the others are left as they are. Returns an empty string on success, else a message naming
// the offending line.
std::string parse_bdf(std::string_view text, SlotOfEncoding slot_of, int columns,
                      std::span<Glyph> table, std::span<bool> seen) {
    Reader reader(text);
    Box font;
    bool have_font_box = false;
    bool in_char = false;
    int encoding = -1;
    Box box;
    bool have_box = false;
    std::string_view line;
    while (reader.next_line(line)) {
        std::string_view rest = line;
        std::string_view keyword = next_word(rest);
        if (keyword == "FONTBOUNDINGBOX") {
            if (!parse_box(rest, font)) return at_line(reader, "bad FONTBOUNDINGBOX");
            have_font_box = true;
        } else if (keyword == "STARTCHAR") {
            if (!have_font_box) return at_line(reader, "STARTCHAR before FONTBOUNDINGBOX");
            in_char = true;
            encoding = -1;
            have_box = false;
        } else if (keyword == "ENCODING" && in_char) {
            if (!parse_int(next_word(rest), encoding)) return at_line(reader, "bad ENCODING");
        } else if (keyword == "BBX" && in_char) {
            if (!parse_box(rest, box)) return at_line(reader, "bad BBX");
            have_box = true;
        } else if (keyword == "BITMAP" && in_char) {
            if (!have_box) return at_line(reader, "BITMAP before BBX");
            const int c = slot_of(encoding);
            Glyph scratch{};
            Glyph& glyph = c < 0 ? scratch : table[static_cast<std::size_t>(c)];
            if (c >= 0 && seen[static_cast<std::size_t>(c)])
                return at_line(reader, "ENCODING " + std::to_string(encoding) + " twice");
            if (c >= 0) seen[static_cast<std::size_t>(c)] = true;
            std::string error = read_bitmap(reader, font, box, columns, glyph);
            if (!error.empty()) return error;
        } else if (keyword == "ENDCHAR") {
            in_char = false;
        }
    }
    if (in_char) return at_line(reader, "missing ENDCHAR");
    return {};
}

std::string hex_byte(unsigned value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {'0', 'x', kDigits[(value >> 4) & 0xF], kDigits[value & 0xF]};
}

std::string glyph_table_source(const GlyphArray& table) {
    std::string out =
        "// The built-in 14-dot font, generated by tools/bdf2glyphs from font/K14-2004-1.bdf;\n"
        "// regenerate it with the regenerate-glyphs target rather than editing it.\n"
        "//\n"
        "// Pixel data: the 14-dot JIS X 0213:2004 plane 1 font K14-2004-1 by Toshiyuki Imamura\n"
        "// and HANATAKA Shinya, placed in the public domain (see font/K14-2004-1.NOTICE).\n"
        "// One glyph per line, in cell order, each followed by its Shift-JIS code.\n"
        "#include \"font/glyph_table.h\"\n"
        "\n"
        "namespace glyfor {\n"
        "\n"
        "// clang-format off\n"
        "const std::array<Glyph, kCellCount> kGlyphTable = {{\n";
    for (int c = 0; c < glyfor::kCellCount; ++c) {
        out += "    {";
        const Glyph& glyph = table[static_cast<std::size_t>(c)];
        for (std::size_t i = 0; i < glyph.size(); ++i) {
            if (i != 0) out += ',';
            out += hex_byte(glyph[i]);
        }
        std::string code = hex_byte(glyfor::sjis_from_cell(c) >> 8) +
                           hex_byte(glyfor::sjis_from_cell(c) & 0xFF).substr(2);
        out += "},  // " + code + "\n";
    }
    out +=
        "}};\n"
        "// clang-format on\n"
        "\n"
        "}  // namespace glyfor\n";
    return out;
}

// The C89 source of the firmware's half-width font: its table in both section syntaxes and
// both byte forms, chosen by macros, and the two functions that read it.
std::string half_width_source(const ByteGlyphArray& table) {
    std::string out =
        "/* The half-width font of the text drawer, generated by tools/bdf2glyphs from\n"
        " * font/7x14-ISO8859-1.bdf and font/7x14-JISX0201.1976-0.bdf; regenerate it with the\n"
        " * regenerate-glyphs target rather than editing it.\n"
        " *\n"
        " * Pixel data: the X11 misc-fixed fonts 7x14 and 7x14-JISX0201.1976-0, placed in\n"
        " * the public domain (see font/7x14.NOTICE).\n"
        " *\n"
        " * Define FONT_ANK_CC_RL for CC-RL's section syntax instead of CA78K0R's @@CNSTL, and\n"
        " * FONT_ANK_SIGNED when the compiler's plain char is signed: the glyph bytes are then\n"
        " * written as -128..127 instead of 0..255. Either form reads the same through\n"
        " * font_ank_pixel. */\n"
        "#include \"font_ank.h\"\n"
        "\n"
        "#ifdef FONT_ANK_CC_RL\n"
        "#pragma section const AFONT\n"
        "#else\n"
        "#pragma section @@CNSTL AFONT\n"
        "#endif\n"
        "/* 0x20..0x7E, then 0xA1..0xDF: 14 bytes a glyph, the rows 0..7 of columns 0..6, then\n"
        " * their rows 8..15, as the left half of a glyph of the Kanji font. */\n"
        "/* clang-format off */\n"
        "static __far const char font_ank_glyphs[158][14] = {\n";
    for (bool as_signed : {true, false}) {
        out += as_signed ? "#ifdef FONT_ANK_SIGNED\n" : "#else\n";
        for (int c = kAsciiFirst; c <= kKanaLast; c = c == kAsciiLast ? kKanaFirst : c + 1) {
            const Glyph& glyph = table[static_cast<std::size_t>(c)];
            out += "    {";
            // The left 7 columns of the Kanji line order: upper halves, then lower halves.
            for (std::size_t i = 0; i < 2 * kHalfWidthColumns; ++i) {
                if (i != 0) out += ',';
                const int byte = glyph[glyfor::kGlyphLineOrder[i]];
                out += std::to_string(as_signed && byte >= 128 ? byte - 256 : byte);
            }
            out += c == kKanaLast ? "}  " : "}, ";
            out += "/* " + hex_byte(static_cast<unsigned>(c));
            if (c <= kAsciiLast) out += std::string(" ") + static_cast<char>(c);
            out += " */\n";
        }
    }
    out +=
        "#endif\n"
        "};\n"
        "/* clang-format on */\n"
        "#ifdef FONT_ANK_CC_RL\n"
        "#pragma section\n"
        "#else\n"
        "#pragma section @@CNSTL @@CNSTL\n"
        "#endif\n"
        "\n"
        "const char __far* font_ank_glyph(unsigned char c) {\n"
        "    if (c >= 0x20 && c <= 0x7E) {\n"
        "        return font_ank_glyphs[c - 0x20];\n"
        "    }\n"
        "    if (c >= 0xA1 && c <= 0xDF) {\n"
        "        return font_ank_glyphs[c - 0xA1 + (0x7E - 0x20 + 1)];\n"
        "    }\n"
        "    return 0;\n"
        "}\n"
        "\n"
        "int font_ank_pixel(const char __far* glyph, int x, int y) {\n"
        "    if (glyph == 0 || x < 0 || x >= FONT_ANK_WIDTH || y < 0 || y >= FONT_ANK_HEIGHT) {\n"
        "        return 0;\n"
        "    }\n"
        "    if (y >= 8) {\n"
        "        x += 7;\n"
        "        y -= 8;\n"
        "    }\n"
        "    /* Through unsigned char: a byte of the signed form, -4, is the ink of 0xFC. */\n"
        "    return (unsigned char)glyph[x] >> y & 1;\n"
        "}\n";
    return out;
}

bool read_file(const char* path, std::string& text) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
    bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

// Reads the BDF font at `path` into the table; on failure says why on stderr.
bool read_font(const char* path, SlotOfEncoding slot_of, int columns, std::span<Glyph> table,
               std::span<bool> seen) {
    std::string text;
    if (!read_file(path, text)) {
        std::fprintf(stderr, "bdf2glyphs: cannot read %s\n", path);
        return false;
    }
    std::string error = parse_bdf(text, slot_of, columns, table, seen);
    if (!error.empty()) {
        std::fprintf(stderr, "bdf2glyphs: %s: %s\n", path, error.c_str());
        return false;
    }
    return true;
}

// The first of the characters from `first` to `last` that the font lacks, or -1.
int first_missing(std::span<const bool> seen, int first, int last) {
    for (int c = first; c <= last; ++c)
        if (!seen[static_cast<std::size_t>(c)]) return c;
    return -1;
}

bool write_source(const char* path, const std::string& source) {
    glyfor::FileReplacement out;
    if (!glyfor::replace_file_open(out, path)) {
        std::fprintf(stderr, "bdf2glyphs: cannot create %s\n", path);
        return false;
    }
    bool written = std::fwrite(source.data(), 1, source.size(), out.stream) == source.size();
    if (!glyfor::replace_file_commit(out, written)) {
        std::fprintf(stderr, "bdf2glyphs: cannot write %s\n", path);
        return false;
    }
    return true;
}

int convert_half_width(const char* ascii_path, const char* kana_path, const char* out_path) {
    static ByteGlyphArray table;
    std::array<bool, 256> seen{};
    if (!read_font(ascii_path, ascii_slot, kHalfWidthColumns, table, seen) ||
        !read_font(kana_path, kana_slot, kHalfWidthColumns, table, seen))
        return 1;
    const char* paths[] = {ascii_path, kana_path};
    const int ranges[][2] = {{kAsciiFirst, kAsciiLast}, {kKanaFirst, kKanaLast}};
    for (std::size_t i = 0; i < 2; ++i) {
        const int missing = first_missing(seen, ranges[i][0], ranges[i][1]);
        if (missing < 0) continue;
        std::fprintf(stderr, "bdf2glyphs: %s: no character of ENCODING %d (0x%02X)\n", paths[i],
                     missing, static_cast<unsigned>(missing));
        return 1;
    }
    return write_source(out_path, half_width_source(table)) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string_view(argv[1]) == "--half-width")
        return convert_half_width(argv[2], argv[3], argv[4]);
    if (argc != 3) {
        std::fprintf(stderr,
                     "usage: bdf2glyphs <font.bdf> <glyph_table.cpp>\n"
                     "       bdf2glyphs --half-width <7x14-ISO8859-1.bdf> "
                     "<7x14-JISX0201.1976-0.bdf> <font_ank.c>\n");
        return 2;
    }
    static GlyphArray table;
    static std::array<bool, glyfor::kCellCount> seen;
    if (!read_font(argv[1], cell_of_encoding, kGlyphColumns, table, seen)) return 1;
    return write_source(argv[2], glyph_table_source(table)) ? 0 : 1;
}
