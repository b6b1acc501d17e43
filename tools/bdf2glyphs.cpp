// Converts the 14-dot JIS X 0213 plane 1 BDF font into the C++ source of the built-in glyph
// table. Usage: bdf2glyphs <font.bdf> <glyph_table.cpp>
//
// The glyph of a cell is the BDF character whose ENCODING is the JIS code of that cell,
// (row + 0x21) * 256 + col + 0x21. The 14 pixel rows of the font box become glyph rows 1..14,
// leaving row 0 blank, and its 14 pixel columns become glyph columns 0..13. Cells without a
// character in the font stay blank. The output depends only on the BDF, so regenerating it from
// the committed font must reproduce the committed table byte for byte.
#include <array>
#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

#include "app/replace_file.h"
#include "charset/charset.h"
#include "font/glyph_table.h"

namespace {

using glyfor::Glyph;
using glyfor::kGlyphColumns;
using GlyphArray = std::array<Glyph, glyfor::kCellCount>;

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
// relative to the font box.
std::string read_bitmap(Reader& reader, const Box& font, const Box& box, Glyph& glyph) {
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
            if (x < 0 || x >= kGlyphColumns || y < kFirstFontRow || y > kLastFontRow)
                return at_line(reader, "pixel outside the 14 x 14 font box");
            set_pixel(glyph, x, y);
        }
        for (std::size_t d = static_cast<std::size_t>(box.width + 3) / 4; d < row.size(); ++d)
            if (hex_value(row[d]) < 0) return at_line(reader, "bitmap row is not hex");
    }
    return {};
}

// Fills the table from BDF text; cells without a character stay blank. Returns an empty
// string on success, else a message naming the offending line.
std::string parse_bdf(std::string_view text, GlyphArray& table) {
    table = {};
    std::array<bool, glyfor::kCellCount> seen{};
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
            const int c = cell_of_encoding(encoding);
            Glyph scratch{};
            Glyph& glyph = c < 0 ? scratch : table[static_cast<std::size_t>(c)];
            if (c >= 0 && seen[static_cast<std::size_t>(c)])
                return at_line(reader, "ENCODING " + std::to_string(encoding) + " twice");
            if (c >= 0) seen[static_cast<std::size_t>(c)] = true;
            std::string error = read_bitmap(reader, font, box, glyph);
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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: bdf2glyphs <font.bdf> <glyph_table.cpp>\n");
        return 2;
    }
    std::string text;
    if (!read_file(argv[1], text)) {
        std::fprintf(stderr, "bdf2glyphs: cannot read %s\n", argv[1]);
        return 1;
    }
    static GlyphArray table;
    std::string error = parse_bdf(text, table);
    if (!error.empty()) {
        std::fprintf(stderr, "bdf2glyphs: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    std::string source = glyph_table_source(table);
    glyfor::FileReplacement out;
    if (!glyfor::replace_file_open(out, argv[2])) {
        std::fprintf(stderr, "bdf2glyphs: cannot create %s\n", argv[2]);
        return 1;
    }
    bool written = std::fwrite(source.data(), 1, source.size(), out.stream) == source.size();
    if (!glyfor::replace_file_commit(out, written)) {
        std::fprintf(stderr, "bdf2glyphs: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
