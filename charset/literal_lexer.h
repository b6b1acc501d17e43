// The lexer that finds the string and character literals of Shift-JIS C and C++ source. It is
// fed block by block and hands its consumer the bytes that lie inside literals; the literal
// scanner and the positioned character walk are its two consumers, so both see the same rules.
//
// A consumer has two members:
//   void literal(const unsigned char* begin, const unsigned char* end);
//     Bytes of the current block inside one literal. A run never holds a pair with a
//     user-defined lead byte (those come through user_defined instead), and the last run of a
//     literal ends with the byte that ended it (closing quote or line break). That byte is
//     never a trail byte, so a lead byte right before it is dropped alone and no pairing of
//     the runs can join two literals. A run that ends with the block may end in a lead byte
//     whose trail starts the next run.
//   void user_defined(unsigned char lead, const unsigned char* trail);
//     A pair inside a literal whose lead byte is 0xF0..0xFC: one character that gives no cell.
//     The trail byte is in the current block; the lead byte comes right before it, possibly as
//     the last byte of the previous block.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "charset/charset.h"

namespace glyfor {

// Byte classes of the lexer, one entry per byte value.
enum LexClass : std::uint16_t {
    kLexLead = 1 << 0,          // 0x81..0x9F, 0xE0..0xFC: takes a trail byte, even if not accepted
    kLexTrail = 1 << 1,         // 0x40..0x7E, 0x80..0xFC
    kLexNewline = 1 << 2,       // LF
    kLexQuote = 1 << 3,         // " and '
    kLexSlash = 1 << 4,         // /
    kLexBackslash = 1 << 5,     // the backslash, 0x5C, which is also a trail byte
    kLexCloseParen = 1 << 6,    // )
    kLexBlank = 1 << 7,         // space and tab, which may surround the # of a directive
    kLexIdentifier = 1 << 8,    // letters, digits, _ and every byte from 0x80 up
    kLexNotDelimiter = 1 << 9,  // cannot be part of a raw string's delimiter
};

constexpr std::array<std::uint16_t, 256> make_lex_classes() {
    std::array<std::uint16_t, 256> classes{};
    for (int b = 0; b < 256; ++b) {
        std::uint16_t bits = 0;
        if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) bits |= kLexLead;
        if ((b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC)) bits |= kLexTrail;
        if (b == '\n') bits |= kLexNewline;
        if (b == '"' || b == '\'') bits |= kLexQuote;
        if (b == '/') bits |= kLexSlash;
        if (b == '\\') bits |= kLexBackslash;
        if (b == ')') bits |= kLexCloseParen;
        if (b == ' ' || b == '\t') bits |= kLexBlank;
        if ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') ||
            b == '_' || b >= 0x80)
            bits |= kLexIdentifier;
        if (b <= ' ' || b >= 0x7F || b == '(' || b == ')' || b == '\\' || b == '"')
            bits |= kLexNotDelimiter;
        classes[static_cast<std::size_t>(b)] = bits;
    }
    return classes;
}
inline constexpr std::array<std::uint16_t, 256> kLexClass = make_lex_classes();

class LiteralLexer {
  public:
    // Lexes the next block, which holds no end-of-text byte.
    template <class Consumer>
    void lex(const unsigned char* begin, const unsigned char* end, Consumer& out);

  private:
    enum class Mode : std::uint8_t {
        kLineStart,      // only blanks so far on this line: a # starts a directive
        kDirective,      // after the #
        kDirectiveName,  // matching the directive's name against "include"
        kAfterInclude,   // blanks after "include": a " opens the header name
        kHeaderName,     // "..." of an #include, not a literal
        kCode,
        kSlash,  // a / that may open a comment
        kLineComment,
        kLineBackslash,    // a backslash in a // comment, which continues it over a line break
        kLineBackslashCr,  // ... followed by CR
        kBlockComment,
        kBlockStar,     // a * that may close the comment
        kLiteral,       // "..." or '...'; quote_ closes it
        kEscape,        // after a backslash in a literal
        kEscapeCr,      // an escaped CR, whose LF is escaped with it
        kRawDelimiter,  // between R" and (
        kRawBody,
        kRawClose,  // after a ) that may start )delimiter"
    };

    static constexpr int kNoLead = -1;
    static constexpr std::size_t kMaxDelimiter = 16;
    static constexpr const char kInclude[] = "include";

    static bool in_literal(Mode mode) { return mode >= Mode::kLiteral; }

    unsigned char byte_before(const unsigned char* begin, const unsigned char* p,
                              std::size_t back) const;
    bool opens_raw_string(const unsigned char* begin, const unsigned char* quote) const;
    static bool is_backslash(const unsigned char* from, const unsigned char* p);
    void end_line_comment_block(const unsigned char* from, const unsigned char* end);
    void keep_tail(const unsigned char* begin, const unsigned char* end);

    Mode mode_ = Mode::kLineStart;
    unsigned char quote_ = 0;
    int pending_lead_ = kNoLead;  // a lead byte that ended the previous block
    std::size_t matched_ = 0;     // of "include", or of the delimiter in kRawClose
    std::array<unsigned char, kMaxDelimiter> delimiter_{};
    std::size_t delimiter_size_ = 0;
    // The last bytes of the text before this block, for the prefix of a raw string.
    std::array<unsigned char, 4> tail_{};
};

namespace lexer_detail {

// The first byte at or after p in any class of the mask, or end.
inline const unsigned char* skip(const unsigned char* p, const unsigned char* end,
                                 std::uint16_t mask) {
    while (p < end && (kLexClass[*p] & mask) == 0) ++p;
    return p;
}

constexpr std::uint64_t kOnes = 0x0101010101010101u;
constexpr std::uint64_t kHighs = 0x8080808080808080u;

// High bit set in each byte of the word equal to the byte; only the lowest one is reliable.
constexpr std::uint64_t bytes_equal(std::uint64_t word, unsigned char byte) {
    const std::uint64_t x = word ^ (kOnes * byte);
    return (x - kOnes) & ~x & kHighs;
}

// Code is mostly plain ASCII without a quote, a slash or a line break, so it goes eight bytes
// at a time up to the first of those.
inline const unsigned char* skip_code(const unsigned char* p, const unsigned char* end) {
    while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        const std::uint64_t hits = bytes_equal(word, '"') | bytes_equal(word, '\'') |
                                   bytes_equal(word, '/') | bytes_equal(word, '\n');
        if (hits == 0) {
            p += 8;
            continue;
        }
        return p + (std::endian::native == std::endian::little ? std::countr_zero(hits)
                                                               : std::countl_zero(hits)) /
                       8;
    }
    return skip(p, end, kLexQuote | kLexSlash | kLexNewline);
}

}  // namespace lexer_detail

inline unsigned char LiteralLexer::byte_before(const unsigned char* begin, const unsigned char* p,
                                               std::size_t back) const {
    const auto in_block = static_cast<std::size_t>(p - begin);
    if (back <= in_block) return p[-static_cast<std::ptrdiff_t>(back)];
    const std::size_t from_tail = back - in_block;
    return from_tail <= tail_.size() ? tail_[tail_.size() - from_tail] : 0;
}

// R" opens a raw string after nothing that belongs to an identifier, or after the prefix L, u,
// U or u8; FOOR" is an identifier followed by an ordinary string.
inline bool LiteralLexer::opens_raw_string(const unsigned char* begin,
                                           const unsigned char* quote) const {
    const auto ident = [](unsigned char b) { return (kLexClass[b] & kLexIdentifier) != 0; };
    if (byte_before(begin, quote, 1) != 'R') return false;
    const unsigned char b2 = byte_before(begin, quote, 2);
    if (!ident(b2)) return true;
    const unsigned char b3 = byte_before(begin, quote, 3);
    if ((b2 == 'L' || b2 == 'u' || b2 == 'U') && !ident(b3)) return true;
    return b2 == '8' && b3 == 'u' && !ident(byte_before(begin, quote, 4));
}

// A byte 0x5C is a backslash when it starts a character. Bytes that cannot be lead bytes
// end a character, so from the last of them before p (or from, which starts one) the lead
// bytes pair up: an odd number of them leaves the last one to take p as its trail.
inline bool LiteralLexer::is_backslash(const unsigned char* from, const unsigned char* p) {
    if (*p != '\\') return false;
    const unsigned char* q = p;
    while (q > from && (kLexClass[q[-1]] & kLexLead) != 0) --q;
    return (p - q) % 2 == 0;
}

// Carries over what the next block needs of a // comment that goes on past this one: a lead
// byte waiting for its trail, or a backslash (and CR) that may yet stand before the LF.
inline void LiteralLexer::end_line_comment_block(const unsigned char* from,
                                                 const unsigned char* end) {
    if (from == end) return;
    const unsigned char* q = end;
    while (q > from && (kLexClass[q[-1]] & kLexLead) != 0) --q;
    if ((end - q) % 2 != 0) {
        pending_lead_ = end[-1];
    } else if (is_backslash(from, end - 1)) {
        mode_ = Mode::kLineBackslash;
    } else if (end[-1] == '\r' && end - 1 > from && is_backslash(from, end - 2)) {
        mode_ = Mode::kLineBackslashCr;
    }
}

inline void LiteralLexer::keep_tail(const unsigned char* begin, const unsigned char* end) {
    std::array<unsigned char, 4> tail;
    for (std::size_t back = tail.size(); back > 0; --back)
        tail[tail.size() - back] = byte_before(begin, end, back);
    tail_ = tail;
}

template <class Consumer>
void LiteralLexer::lex(const unsigned char* const begin, const unsigned char* const end,
                       Consumer& out) {
    using lexer_detail::skip;
    const auto is = [](unsigned char b, std::uint16_t mask) { return (kLexClass[b] & mask) != 0; };
    const unsigned char* p = begin;
    const unsigned char* literal = begin;  // where this block's part of the literal starts
    if (begin == end) return;

    if (pending_lead_ != kNoLead) {
        const auto lead = static_cast<unsigned char>(pending_lead_);
        pending_lead_ = kNoLead;
        if (is(*p, kLexTrail)) {
            if (in_literal(mode_) && !is_lead_byte(lead)) {
                out.user_defined(lead, p);
                literal = p + 1;
            }
            ++p;
        }
    }

    // Literals stop at lead bytes too; this takes the character starting there, so a trail
    // byte 0x5C is never a backslash and a user-defined pair is kept out of the runs.
    const auto take_character = [&]() {
        const unsigned char lead = *p;
        if (p + 1 == end) {
            pending_lead_ = lead;
            ++p;
            return;
        }
        if (!is(p[1], kLexTrail)) {
            ++p;
            return;
        }
        if (!is_lead_byte(lead)) {
            if (literal < p) out.literal(literal, p);
            out.user_defined(lead, p + 1);
            literal = p + 2;
        }
        p += 2;
    };
    const auto end_literal = [&](Mode next) {
        out.literal(literal, p);
        mode_ = next;
    };

    while (p < end) {
        const unsigned char c = *p;
        switch (mode_) {
            case Mode::kLineStart:
                if (is(c, kLexBlank)) {
                    ++p;
                } else if (c == '#') {
                    mode_ = Mode::kDirective;
                    ++p;
                } else {
                    mode_ = Mode::kCode;
                }
                break;
            case Mode::kDirective:
                if (is(c, kLexBlank)) {
                    ++p;
                } else if (is(c, kLexIdentifier)) {
                    mode_ = Mode::kDirectiveName;
                    matched_ = 0;
                } else {
                    mode_ = Mode::kCode;
                }
                break;
            case Mode::kDirectiveName:
                if (matched_ < sizeof kInclude - 1 && c == kInclude[matched_]) {
                    ++matched_;
                    ++p;
                } else if (matched_ == sizeof kInclude - 1 && !is(c, kLexIdentifier)) {
                    mode_ = Mode::kAfterInclude;
                } else {
                    mode_ = Mode::kCode;
                }
                break;
            case Mode::kAfterInclude:
                if (is(c, kLexBlank)) {
                    ++p;
                } else if (c == '"') {
                    mode_ = Mode::kHeaderName;
                    ++p;
                } else {
                    mode_ = Mode::kCode;
                }
                break;
            case Mode::kHeaderName:
                // Neither " nor LF is ever a trail byte, and a backslash here separates
                // directories, so the name needs no pairing.
                p = skip(p, end, kLexQuote | kLexNewline);
                if (p == end) break;
                if (*p == '\n') {
                    mode_ = Mode::kLineStart;
                } else if (*p == '"') {
                    mode_ = Mode::kCode;
                }
                ++p;
                break;
            case Mode::kCode:
                // Code needs no pairing: none of the bytes it looks for is a trail byte.
                p = lexer_detail::skip_code(p, end);
                if (p == end) break;
                if (*p == '\n') {
                    mode_ = Mode::kLineStart;
                } else if (*p == '/') {
                    mode_ = Mode::kSlash;
                } else {
                    quote_ = *p;
                    mode_ = quote_ == '"' && opens_raw_string(begin, p) ? Mode::kRawDelimiter
                                                                        : Mode::kLiteral;
                    delimiter_size_ = 0;
                    literal = p + 1;
                }
                ++p;
                break;
            case Mode::kSlash:
                if (c == '/') {
                    mode_ = Mode::kLineComment;
                    ++p;
                } else if (c == '*') {
                    mode_ = Mode::kBlockComment;
                    ++p;
                } else {
                    mode_ = Mode::kCode;
                }
                break;
            case Mode::kLineComment: {
                // Only the end of the line matters, and whether a backslash comes right
                // before it; the lead bytes before that backslash tell whether it is one.
                const unsigned char* const from = p;
                const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
                if (lf == nullptr) {
                    p = end;
                    end_line_comment_block(from, end);
                    break;
                }
                const unsigned char* last = static_cast<const unsigned char*>(lf);
                p = last + 1;
                if (last > from && last[-1] == '\r') --last;
                if (!(last > from && is_backslash(from, last - 1))) mode_ = Mode::kLineStart;
                break;
            }
            case Mode::kLineBackslash:
                if (c == '\n') {
                    mode_ = Mode::kLineComment;
                    ++p;
                } else if (c == '\r') {
                    mode_ = Mode::kLineBackslashCr;
                    ++p;
                } else {
                    mode_ = Mode::kLineComment;
                }
                break;
            case Mode::kLineBackslashCr:
                mode_ = Mode::kLineComment;
                if (c == '\n') ++p;
                break;
            case Mode::kBlockComment: {
                // Neither * nor / is ever a trail byte, so the comment needs no pairing.
                const void* star = std::memchr(p, '*', static_cast<std::size_t>(end - p));
                if (star == nullptr) {
                    p = end;
                    break;
                }
                p = static_cast<const unsigned char*>(star) + 1;
                mode_ = Mode::kBlockStar;
                break;
            }
            case Mode::kBlockStar:
                if (c == '/') {
                    mode_ = Mode::kCode;
                } else if (c != '*') {
                    mode_ = Mode::kBlockComment;
                }
                ++p;
                break;
            case Mode::kLiteral:
                p = skip(p, end, kLexQuote | kLexBackslash | kLexNewline | kLexLead);
                if (p == end) break;
                if (is(*p, kLexLead)) {
                    take_character();
                } else if (*p == '\\') {
                    mode_ = Mode::kEscape;
                    ++p;
                } else if (*p == '\n' || *p == quote_) {
                    // An unescaped line break ends a literal that was never closed, so one
                    // stray quote cannot swallow the rest of the file.
                    const bool line_break = *p++ == '\n';
                    end_literal(line_break ? Mode::kLineStart : Mode::kCode);
                } else {
                    ++p;  // the other kind of quote
                }
                break;
            case Mode::kEscape:
                // A lead byte after a backslash starts a character like any other: the escape
                // covers it whole, and it still counts.
                if (c == '\r') {
                    mode_ = Mode::kEscapeCr;
                    ++p;
                } else {
                    mode_ = Mode::kLiteral;
                    if (!is(c, kLexLead)) ++p;
                }
                break;
            case Mode::kEscapeCr:
                mode_ = Mode::kLiteral;
                if (c == '\n') ++p;
                break;
            case Mode::kRawDelimiter:
                if (c == '(') {
                    mode_ = Mode::kRawBody;
                    ++p;
                } else if (is(c, kLexNotDelimiter) || delimiter_size_ == kMaxDelimiter) {
                    // Not a raw string after all: what was read so far holds no quote,
                    // backslash or line break, so lexing on as an ordinary string is the same
                    // as having done so from the quote.
                    mode_ = Mode::kLiteral;
                } else {
                    delimiter_[delimiter_size_++] = c;
                    ++p;
                }
                break;
            case Mode::kRawBody:
                p = skip(p, end, kLexCloseParen | kLexLead);
                if (p == end) break;
                if (is(*p, kLexLead)) {
                    take_character();
                } else {
                    mode_ = Mode::kRawClose;
                    matched_ = 0;
                    ++p;
                }
                break;
            case Mode::kRawClose:
                if (matched_ < delimiter_size_ && c == delimiter_[matched_]) {
                    ++matched_;
                    ++p;
                } else if (matched_ == delimiter_size_ && c == '"') {
                    ++p;
                    end_literal(Mode::kCode);
                } else {
                    mode_ = Mode::kRawBody;
                }
                break;
        }
    }

    if (in_literal(mode_)) {
        // A user-defined lead byte waiting for its trail is left out: it is either a
        // character of its own or dropped.
        const unsigned char* stop = end;
        if (pending_lead_ != kNoLead && !is_lead_byte(static_cast<unsigned char>(pending_lead_)))
            --stop;
        if (literal < stop) out.literal(literal, stop);
    }
    keep_tail(begin, end);
}

}  // namespace glyfor
