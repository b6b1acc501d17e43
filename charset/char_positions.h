// The double-byte characters of a text with their places in it, for messages that point at a
// character as compilers do (FILE:LINE:COL:). Fed block by block like the scanners, it reports
// every character in the order of the text, the dropped ones with a user-defined lead byte too.
#pragma once

#include <cstddef>
#include <cstdint>

#include "charset/charset.h"
#include "charset/literal_lexer.h"
#include "charset/sjis_scanner.h"

namespace glyfor {

struct CharPosition {
    SjisCode code;
    bool gives_cell;     // false for a lead byte 0xF0..0xFC, whose character is dropped
    std::uint64_t line;  // 1-based, counting LF line breaks
    std::uint64_t col;   // 1-based, in bytes, of the lead byte
};

struct CharVisitor {
    void* context;
    void (*visit)(void* context, const CharPosition& character);
};

enum class WalkMode : std::uint8_t {
    // Every character the plain scan reads. A user-defined lead byte followed by a trail byte
    // is reported as a dropped character; the plain scan reads the byte after such a lead
    // afresh, so when that byte is an accepted lead byte, the character it starts is
    // reported too, exactly as the plain scan collects it.
    kPlain,
    // Only the characters inside literals, by the rules of the literal scan.
    kLiterals,
};

class CharWalker {
  public:
    CharWalker(WalkMode mode, CharVisitor visitor) : mode_(mode), visitor_(visitor) {}

    // Walks the next block. An end-of-text byte ends the text as in the scanners.
    void feed(const unsigned char* data, std::size_t size);
    bool ended() const { return ended_; }

    // Runs of literal bytes and user-defined pairs from the lexer.
    void literal(const unsigned char* begin, const unsigned char* end);
    void user_defined(unsigned char lead, const unsigned char* trail);

  private:
    static constexpr int kNoLead = -1;

    // Counts the line breaks up to p, which never goes back within a block.
    void advance_to(const unsigned char* p);
    std::uint64_t col_of(const unsigned char* p) const;
    void report(unsigned char lead, unsigned char trail, std::uint64_t line, std::uint64_t col);
    void walk_plain(const unsigned char* p, const unsigned char* end);

    WalkMode mode_;
    CharVisitor visitor_;
    LiteralLexer lexer_;
    bool ended_ = false;

    const unsigned char* block_ = nullptr;    // the block being walked
    const unsigned char* counted_ = nullptr;  // line breaks before it are counted
    std::uint64_t block_offset_ = 0;          // of block_ in the text
    std::uint64_t line_ = 1;                  // at counted_
    std::uint64_t line_offset_ = 0;           // where that line starts in the text

    int pending_lead_ = kNoLead;  // a lead byte that ended the previous block, and its place
    std::uint64_t pending_line_ = 0;
    std::uint64_t pending_col_ = 0;
};

// Feeds the walker every block the reader gives, up to the end of the text.
inline void walk_reader(ByteReader reader, CharWalker& walker) {
    scan_reader(reader, walker);
}

}  // namespace glyfor
