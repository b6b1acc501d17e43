#include "font/font_reader.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "charset/charset.h"
#include "font/glyph_table.h"

namespace glyfor {

namespace {

using namespace std::string_view_literals;

// The file is read as the C compiler reads it, token by token, so that a hand-edited file with
// other spacing, line breaks or comments reads the same; preprocessor lines end at their line
// break, which the lexer reports as a token of its own.
enum class TokenKind {
    kEnd,
    kWord,
    kNumber,
    kPunct,
    kHash,
    kEndOfDirective,
    kStray,        // a byte C has no use for here
    kOpenComment,  // a comment that runs to the end of the file; `line` is where it opens
};

struct Token {
    TokenKind kind = TokenKind::kEnd;
    std::string_view text;
    int line = 1;
};

struct Lexer {
    const char* data;
    std::size_t size;
    std::size_t at = 0;
    int line = 1;
    bool in_directive = false;
    int end_line = 1;  // the last line that holds anything, where the end of the file is reported
};

constexpr bool is_digit(unsigned char b) {
    return b >= '0' && b <= '9';
}
constexpr bool is_word_start(unsigned char b) {
    return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '_' || b == '@';
}
constexpr bool is_word_byte(unsigned char b) {
    return is_word_start(b) || is_digit(b);
}

Lexer make_lexer(const char* data, std::size_t size) {
    Lexer lex{data, size};
    const auto breaks = static_cast<int>(std::count(data, data + size, '\n'));
    lex.end_line = size > 0 && data[size - 1] == '\n' ? breaks : breaks + 1;
    return lex;
}

// Skips a comment that opens at `at`; false when it is not closed before the end of the file.
bool skip_block_comment(Lexer& lex) {
    for (std::size_t i = lex.at + 2; i + 1 < lex.size; ++i) {
        if (lex.data[i] == '\n') ++lex.line;
        if (lex.data[i] == '*' && lex.data[i + 1] == '/') {
            lex.at = i + 2;
            return true;
        }
    }
    lex.at = lex.size;
    return false;
}

Token next_token(Lexer& lex) {
    while (lex.at < lex.size) {
        const auto b = static_cast<unsigned char>(lex.data[lex.at]);
        const auto after =
            lex.at + 1 < lex.size ? static_cast<unsigned char>(lex.data[lex.at + 1]) : 0;
        if (b == '\n') {
            ++lex.at;
            const Token end{TokenKind::kEndOfDirective, {}, lex.line++};
            if (!lex.in_directive) continue;
            lex.in_directive = false;
            return end;
        }
        if (b == ' ' || b == '\t' || b == '\r' || b == '\f' || b == '\v') {
            ++lex.at;
            continue;
        }
        if (b == '/' && after == '*') {
            const int opened = lex.line;
            if (!skip_block_comment(lex)) return Token{TokenKind::kOpenComment, {}, opened};
            continue;
        }
        if (b == '/' && after == '/') {
            while (lex.at < lex.size && lex.data[lex.at] != '\n') ++lex.at;
            continue;
        }
        Token token{TokenKind::kPunct, {}, lex.line};
        const std::size_t start = lex.at++;
        if (is_word_start(b) || is_digit(b)) {
            token.kind = is_digit(b) ? TokenKind::kNumber : TokenKind::kWord;
            while (lex.at < lex.size && is_word_byte(static_cast<unsigned char>(lex.data[lex.at])))
                ++lex.at;
        } else if (b == '#') {
            token.kind = TokenKind::kHash;
            lex.in_directive = true;
        } else if ("{}[](),;=-"sv.find(static_cast<char>(b)) == std::string_view::npos) {
            token.kind = TokenKind::kStray;
        }
        token.text = std::string_view(lex.data + start, lex.at - start);
        return token;
    }
    if (lex.in_directive) {
        lex.in_directive = false;
        return Token{TokenKind::kEndOfDirective, {}, lex.end_line};
    }
    return Token{TokenKind::kEnd, {}, lex.end_line};
}

// A C integer literal, decimal or hexadecimal; large values saturate so that they still fail
// every range check.
bool parse_number(std::string_view text, std::int64_t& value) {
    constexpr std::int64_t kSaturated = std::int64_t{1} << 40;
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    value = 0;
    for (const char ch : text) {
        int digit = 0;
        if (ch >= '0' && ch <= '9') {
            digit = ch - '0';
        } else if (base == 16 && ch >= 'a' && ch <= 'f') {
            digit = ch - 'a' + 10;
        } else if (base == 16 && ch >= 'A' && ch <= 'F') {
            digit = ch - 'A' + 10;
        } else {
            return false;
        }
        value = std::min(value * base + digit, kSaturated);
    }
    return true;
}

// The trailing decimal number of `word` after `prefix`, as in KFONT3 or font_kanji3.
bool numbered_name(std::string_view word, std::string_view prefix, int& number) {
    if (word.size() <= prefix.size() || word.size() > prefix.size() + 3) return false;
    if (word.substr(0, prefix.size()) != prefix) return false;
    number = 0;
    for (const char ch : word.substr(prefix.size())) {
        if (!is_digit(static_cast<unsigned char>(ch))) return false;
        number = number * 10 + (ch - '0');
    }
    return true;
}

enum Define { kIndex, kNum, kMin, kMax, kPage, kSize, kUnit, kDefineCount };
constexpr std::array<std::string_view, kDefineCount> kDefineNames = {
    "INDEX", "NUM", "MIN", "MAX", "PAGE", "SIZE", "UNIT",
};

struct DefineLine {
    std::int64_t value = 0;
    int line = 0;  // 0 until defined
};

struct Parser {
    Lexer lex;
    FontFile& out;
    FontReadResult result{};
    Token token{};
    std::array<DefineLine, kDefineCount> defines{};
    int count = 0;         // codes in the index
    int glyphs = 0;        // glyphs read across all arrays
    int pages = 0;         // glyph arrays read
    cell next_member = 0;  // where the search for the cell of the next glyph starts
    bool have_syntax = false;
};

#if defined(__GNUC__)
__attribute__((format(printf, 3, 4)))
#endif
bool fail(Parser& p, int line, const char* format, ...) {
    p.result.line = line;
    std::va_list args;
    va_start(args, format);
    std::vsnprintf(p.result.message.data(), p.result.message.size(), format, args);
    va_end(args);
    return false;
}

// How an error message quotes a token.
using Quoted = std::array<char, 48>;
Quoted quote(const Token& token) {
    Quoted text{};
    switch (token.kind) {
        case TokenKind::kEnd:
            std::snprintf(text.data(), text.size(), "the end of the file");
            break;
        case TokenKind::kEndOfDirective:
            std::snprintf(text.data(), text.size(), "the end of the line");
            break;
        case TokenKind::kStray:
            std::snprintf(text.data(), text.size(), "byte 0x%02x",
                          static_cast<unsigned char>(token.text[0]));
            break;
        default: {
            const int shown = static_cast<int>(std::min<std::size_t>(token.text.size(), 32));
            std::snprintf(text.data(), text.size(), "'%.*s%s'", shown, token.text.data(),
                          token.text.size() > 32 ? "..." : "");
        }
    }
    return text;
}

bool advance(Parser& p) {
    p.token = next_token(p.lex);
    if (p.token.kind == TokenKind::kOpenComment)
        return fail(p, p.token.line, "comment is not closed before the end of the file");
    return true;
}

bool is(const Parser& p, std::string_view text) {
    return (p.token.kind == TokenKind::kWord || p.token.kind == TokenKind::kPunct) &&
           p.token.text == text;
}

bool expect(Parser& p, std::string_view text) {
    if (!is(p, text)) {
        return fail(p, p.token.line, "expected '%.*s', found %s", static_cast<int>(text.size()),
                    text.data(), quote(p.token).data());
    }
    return advance(p);
}

bool expect_end_of_directive(Parser& p) {
    if (p.token.kind != TokenKind::kEndOfDirective)
        return fail(p, p.token.line, "expected the end of the line, found %s",
                    quote(p.token).data());
    return advance(p);
}

// After an element of a brace list: the comma before the next one, or the closing brace, which
// is left for the caller. A comma before the brace is C's optional trailing comma.
bool list_separator(Parser& p) {
    if (is(p, "}")) return true;
    if (!is(p, ","))
        return fail(p, p.token.line, "expected ',' or '}', found %s", quote(p.token).data());
    return advance(p);
}

// An integer with an optional minus sign.
bool read_value(Parser& p, std::int64_t& value) {
    const bool negative = is(p, "-");
    if (negative && !advance(p)) return false;
    if (p.token.kind != TokenKind::kNumber)
        return fail(p, p.token.line, "expected a number, found %s", quote(p.token).data());
    if (!parse_number(p.token.text, value))
        return fail(p, p.token.line, "%s is not a number", quote(p.token).data());
    if (negative) value = -value;
    return advance(p);
}

// At '#': one "#define FONT_KANJI_NAME value" line.
bool read_define(Parser& p) {
    const int line = p.token.line;
    if (!advance(p)) return false;
    if (!is(p, "define"))
        return fail(p, line, "expected #define FONT_KANJI_... before the index table, found %s",
                    quote(p.token).data());
    if (!advance(p)) return false;
    constexpr std::string_view kPrefix = "FONT_KANJI_";
    const std::string_view name = p.token.text;
    const auto* const known = std::find(kDefineNames.begin(), kDefineNames.end(),
                                        name.substr(std::min(name.size(), kPrefix.size())));
    if (p.token.kind != TokenKind::kWord || name.substr(0, kPrefix.size()) != kPrefix ||
        known == kDefineNames.end()) {
        return fail(p, line, "%s is not one of the FONT_KANJI_ parameters", quote(p.token).data());
    }
    DefineLine& define = p.defines[static_cast<std::size_t>(known - kDefineNames.begin())];
    if (define.line != 0)
        return fail(p, line, "FONT_KANJI_%.*s is defined again, first on line %d",
                    static_cast<int>(known->size()), known->data(), define.line);
    if (!advance(p) || !read_value(p, define.value)) return false;
    if (define.value < INT32_MIN || define.value > INT32_MAX)
        return fail(p, line, "FONT_KANJI_%.*s is out of range", static_cast<int>(known->size()),
                    known->data());
    define.line = line;
    return expect_end_of_directive(p);
}

// The parameters the glyph arrays depend on, checked before the index table is read.
bool check_defines(Parser& p, int table_line) {
    for (std::size_t i = 0; i < kDefineCount; ++i) {
        if (p.defines[i].line == 0)
            return fail(p, table_line, "FONT_KANJI_%.*s is not defined before the index table",
                        static_cast<int>(kDefineNames[i].size()), kDefineNames[i].data());
    }
    const auto value = [&](Define d) { return static_cast<std::int32_t>(p.defines[d].value); };
    const auto line = [&](Define d) { return p.defines[d].line; };
    if (value(kIndex) != 0)
        return fail(p, line(kIndex), "FONT_KANJI_INDEX is %d, not 0 (search the index)",
                    value(kIndex));
    if (value(kSize) != kGlyphSize)
        return fail(p, line(kSize), "FONT_KANJI_SIZE is %d, not %d", value(kSize), kGlyphSize);
    if (value(kUnit) < 1 || value(kUnit) > kGlyphsPerPage)
        return fail(p, line(kUnit), "FONT_KANJI_UNIT is %d, not 1..%d", value(kUnit),
                    kGlyphsPerPage);
    FontParameters& parameters = p.out.parameters;
    parameters.index_method = value(kIndex);
    parameters.count = value(kNum);
    parameters.min_code = value(kMin);
    parameters.max_code = value(kMax);
    parameters.pages = value(kPage);
    parameters.size = value(kSize);
    parameters.unit = value(kUnit);
    return true;
}

// After the opening brace of font_kanji_index: the codes up to and including "};".
bool read_index(Parser& p) {
    cell previous = -1;
    while (!is(p, "}")) {
        const Token code_token = p.token;
        std::int64_t code = 0;
        if (!read_value(p, code)) return false;
        const auto lead = static_cast<unsigned char>(code >> 8);
        const auto trail = static_cast<unsigned char>(code & 0xFF);
        if (code < 0 || code > 0xFFFF || !is_lead_byte(lead) || !is_trail_byte(trail))
            return fail(p, code_token.line, "index value %s is not a Shift-JIS code of the grid",
                        quote(code_token).data());
        const cell c = cell_from_sjis(lead, trail);
        if (c <= previous)
            return fail(p, code_token.line, "index 0x%04x is not above 0x%04x before it",
                        static_cast<unsigned>(code), sjis_from_cell(previous));
        p.out.set.flags[static_cast<std::size_t>(c)] = 1;
        previous = c;
        ++p.count;
        if (!list_separator(p)) return false;
    }
    if (!advance(p) || !expect(p, ";")) return false;

    const DefineLine& num = p.defines[kNum];
    if (num.value != p.count)
        return fail(p, num.line, "FONT_KANJI_NUM is %d, but the index holds %d codes",
                    static_cast<int>(num.value), p.count);
    if (p.count == 0) return true;
    const auto first = static_cast<std::int64_t>(sjis_from_cell(static_cast<cell>(
        std::find(p.out.set.flags.begin(), p.out.set.flags.end(), 1) - p.out.set.flags.begin())));
    const auto last = static_cast<std::int64_t>(sjis_from_cell(previous));
    if (p.defines[kMin].value != first)
        return fail(p, p.defines[kMin].line, "FONT_KANJI_MIN %#x is not the first code %#x",
                    static_cast<unsigned>(p.defines[kMin].value), static_cast<unsigned>(first));
    if (p.defines[kMax].value != last)
        return fail(p, p.defines[kMax].line, "FONT_KANJI_MAX %#x is not the last code %#x",
                    static_cast<unsigned>(p.defines[kMax].value), static_cast<unsigned>(last));
    return true;
}

bool check_byte_form(Parser& p, std::int64_t value, int line) {
    ByteForm& form = p.out.byte_form;
    if (value < -128 || value > 255 || (value < 0 && form == ByteForm::kUnsigned) ||
        (value > 127 && form == ByteForm::kSigned)) {
        const bool as_signed = value < 0 ? form != ByteForm::kUnsigned : form == ByteForm::kSigned;
        return fail(p, line, "glyph value %lld is not in %s", static_cast<long long>(value),
                    as_signed ? "-128..127" : "0..255");
    }
    if (value < 0) form = ByteForm::kSigned;
    if (value > 127) form = ByteForm::kUnsigned;
    return true;
}

// At the opening brace of one glyph: its 28 values and the closing brace.
bool read_glyph(Parser& p, cell c) {
    Glyph& glyph = p.out.glyphs[static_cast<std::size_t>(c)];
    const SjisCode code = sjis_from_cell(c);
    if (!advance(p)) return false;
    int values = 0;
    while (!is(p, "}")) {
        const int line = p.token.line;
        std::int64_t value = 0;
        if (!read_value(p, value)) return false;
        if (values == kGlyphSize)
            return fail(p, line, "glyph of 0x%04x has more than %d values", code, kGlyphSize);
        if (!check_byte_form(p, value, line)) return false;
        glyph[kGlyphLineOrder[static_cast<std::size_t>(values++)]] =
            static_cast<std::uint8_t>(value);
        if (!list_separator(p)) return false;
    }
    if (values < kGlyphSize)
        return fail(p, p.token.line, "glyph of 0x%04x has %d values, not %d", code, values,
                    kGlyphSize);
    if (glyph != glyph_bytes(c)) ++p.out.differing_glyphs;
    return advance(p);
}

// After the opening brace of glyph array `page`: its glyphs up to and including "};".
bool read_glyph_array(Parser& p, int page) {
    const int unit = p.out.parameters.unit;
    const int needed = std::min(unit, p.count - p.glyphs);
    int held = 0;
    while (!is(p, "}")) {
        if (!is(p, "{"))
            return fail(p, p.token.line, "expected '{' of a glyph, found %s",
                        quote(p.token).data());
        if (p.glyphs == p.count)
            return fail(p, p.token.line, "glyph %d is one more than the index's %d codes",
                        p.glyphs + 1, p.count);
        if (held == unit)
            return fail(p, p.token.line,
                        "glyph array font_kanji%d holds more than FONT_KANJI_UNIT %d glyphs", page,
                        unit);
        while (p.out.set.flags[static_cast<std::size_t>(p.next_member)] == 0) ++p.next_member;
        if (!read_glyph(p, p.next_member++)) return false;
        ++held;
        ++p.glyphs;
        if (!list_separator(p)) return false;
    }
    if (held < needed)
        return fail(p, p.token.line,
                    "glyph array font_kanji%d holds %d glyphs, not the %d the index needs", page,
                    held, needed);
    if (!advance(p)) return false;
    return expect(p, ";");
}

struct Section {
    int line = 0;
    SectionSyntax syntax = SectionSyntax::kCnstl;
    int page = 0;  // the KFONTn it opens; 0 for the line that returns to the default sections
};

// At '#': one "#pragma section" line.
bool read_section(Parser& p, Section& section) {
    section = Section{p.token.line};
    if (!advance(p)) return false;
    if (!expect(p, "pragma")) return false;
    if (!is(p, "section"))
        return fail(p, section.line, "expected #pragma section, found %s", quote(p.token).data());
    if (!advance(p)) return false;
    if (p.token.kind == TokenKind::kEndOfDirective) {
        section.syntax = SectionSyntax::kCcRl;
    } else if (is(p, "@@CNSTL") || is(p, "const")) {
        section.syntax = is(p, "const") ? SectionSyntax::kCcRl : SectionSyntax::kCnstl;
        if (!advance(p)) return false;
        const bool closes = section.syntax == SectionSyntax::kCnstl && is(p, "@@CNSTL");
        if (!closes && (p.token.kind != TokenKind::kWord ||
                        !numbered_name(p.token.text, "KFONT", section.page))) {
            return fail(p, p.token.line, "expected a section KFONTn, found %s",
                        quote(p.token).data());
        }
        if (!advance(p)) return false;
    } else {
        return fail(p, p.token.line, "expected @@CNSTL or const, found %s", quote(p.token).data());
    }
    if (!p.have_syntax) {
        p.out.syntax = section.syntax;
        p.have_syntax = true;
    } else if (p.out.syntax != section.syntax) {
        return fail(p, section.line, "the section syntax differs from the sections before it");
    }
    return expect_end_of_directive(p);
}

// After the index table: every glyph array in its section, then the return to the default
// sections and the end of the file.
bool read_glyph_arrays(Parser& p) {
    for (;;) {
        if (p.token.kind != TokenKind::kHash)
            return fail(p, p.token.line, "expected #pragma section, found %s",
                        quote(p.token).data());
        Section section;
        if (!read_section(p, section)) return false;
        if (section.page == 0) {
            if (p.pages == 0)
                return fail(p, section.line, "the sections close before glyph array font_kanji1");
            if (p.glyphs < p.count)
                return fail(p, section.line,
                            "the glyph arrays end after %d glyphs, but the index holds %d codes",
                            p.glyphs, p.count);
            break;
        }
        const int page = p.pages + 1;
        if (section.page != page)
            return fail(p, section.line, "section KFONT%d where KFONT%d belongs", section.page,
                        page);
        if (page > 1 && p.glyphs == p.count)
            return fail(p, section.line,
                        "glyph array font_kanji%d is one too many: all %d codes "
                        "of the index have their glyphs",
                        page, p.count);
        std::array<char, 24> name{};
        std::snprintf(name.data(), name.size(), "font_kanji%d", page);
        for (const std::string_view text :
             {"__far"sv, "const"sv, "char"sv, std::string_view(name.data()), "["sv, "]"sv, "["sv,
              "FONT_KANJI_SIZE"sv, "]"sv, "="sv, "{"sv}) {
            if (!expect(p, text)) return false;
        }
        if (!read_glyph_array(p, page)) return false;
        p.pages = page;
    }
    if (p.token.kind != TokenKind::kEnd)
        return fail(p, p.token.line, "expected the end of the file, found %s",
                    quote(p.token).data());
    if (p.defines[kPage].value != p.pages)
        return fail(p, p.defines[kPage].line,
                    "FONT_KANJI_PAGE is %d, but the file has %d glyph "
                    "arrays",
                    static_cast<int>(p.defines[kPage].value), p.pages);
    return true;
}

bool read_file(Parser& p) {
    if (p.lex.size == 0) return fail(p, 1, "the file is empty");
    if (!advance(p)) return false;
    while (p.token.kind == TokenKind::kHash) {
        if (!read_define(p)) return false;
    }
    const int table_line = p.token.line;
    if (!is(p, "const"))
        return fail(p, p.token.line, "expected #define FONT_KANJI_... or the index table, found %s",
                    quote(p.token).data());
    for (const std::string_view text :
         {"const"sv, "unsigned"sv, "short"sv, "font_kanji_index"sv, "["sv, "]"sv, "="sv, "{"sv}) {
        if (!expect(p, text)) return false;
    }
    return check_defines(p, table_line) && read_index(p) && read_glyph_arrays(p);
}

}  // namespace

FontReadResult read_font_source(const char* data, std::size_t size, FontFile& out) {
    out.parameters = FontParameters{};
    out.syntax = SectionSyntax::kCnstl;
    out.byte_form = ByteForm::kEither;
    out.set.flags.fill(0);
    std::fill(out.glyphs.begin(), out.glyphs.end(), Glyph{});
    out.differing_glyphs = 0;

    Parser p{make_lexer(data, size), out};
    p.result.ok = read_file(p);
    if (p.result.ok) p.result.line = 0;
    return p.result;
}

}  // namespace glyfor
