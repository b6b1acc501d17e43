// The streaming scan of Shift-JIS text: fed block by block, it collects the cells of every
// accepted double-byte character. Filters that pick which bytes count (string literals only,
// positions for diagnostics) feed it the bytes they keep.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "charset/charset.h"

namespace glyfor {

// Bytes a reader is asked for at a time.
inline constexpr std::size_t kScanBlockSize = 64 * 1024;
// Ends an input text file wherever it occurs, as a text-mode stream on Windows would.
inline constexpr unsigned char kEndOfText = 0x1A;

// Hands out the bytes of an input text file block by block.
struct ByteReader {
    void* context;
    // Fills up to `size` bytes; 0 means the end of the input (or a read error).
    std::size_t (*read)(void* context, unsigned char* buffer, std::size_t size);
};

class SjisScanner {
  public:
    // Scans the next block. A lead byte that ends it pairs with the first byte of the next
    // block. An end-of-text byte ends the text: it and everything after it, in this block and
    // in later ones, is ignored.
    void feed(const unsigned char* data, std::size_t size);
    // True once an end-of-text byte was fed.
    bool ended() const { return ended_; }
    // The cells of the characters fed so far.
    KanjiSet cells() const;
    // True once a byte 0xF0..0xFC stood where a character starts: the text may hold a
    // user-defined or vendor character, which gives no cell and is dropped. Telling where
    // takes a positioned walk; this only says whether one is worth it.
    bool saw_user_defined() const { return user_defined_; }

  private:
    // A pair's cell is found by one addition of two table entries, and a rejected trail byte
    // lands the sum beyond the grid, in a scratch area after the cells, so the hot loop has no
    // branch for it.
    static constexpr std::size_t kSeenSize =
        static_cast<std::size_t>(cell_from_sjis(0xEF, 0x40) + kCellCount + 1);

    void scan_block(const unsigned char* p, std::size_t size);

    int pending_lead_ = -1;  // the lead offset of a byte that ended the previous block
    bool ended_ = false;
    bool user_defined_ = false;
    std::array<std::uint8_t, kSeenSize> seen_{};
};

// Feeds every block the reader gives to the scanner, or to a filter of it (anything with
// `feed` and `ended`), up to the end of the text.
template <class Scanner>
void scan_reader(ByteReader reader, Scanner& scanner) {
    std::array<unsigned char, kScanBlockSize> block;
    while (!scanner.ended()) {
        const std::size_t size = reader.read(reader.context, block.data(), block.size());
        if (size == 0) return;
        scanner.feed(block.data(), size);
    }
}

}  // namespace glyfor
