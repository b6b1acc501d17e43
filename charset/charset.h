// The 94 x 94 JIS grid, Shift-JIS codes and the set texts built on them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace glyfor {

inline constexpr int kGridRows = 94;
inline constexpr int kGridCols = 94;
inline constexpr int kCellCount = kGridRows * kGridCols;

// row x 94 + col; JIS row (ku) is row + 1, JIS cell (ten) is col + 1.
using cell = int;
// Lead byte in the high 8 bits, trail byte in the low 8 bits.
using SjisCode = std::uint16_t;

// One flag per cell: 1 member, 0 not.
struct KanjiSet {
    std::array<std::uint8_t, kCellCount> flags{};
};

// Byte classes of Shift-JIS text, one entry per byte value.
enum ByteClass : std::uint8_t {
    kLeadByte = 1 << 0,   // 0x81..0x9F, 0xE0..0xEF; the user-defined 0xF0..0xFC are not accepted
    kTrailByte = 1 << 1,  // 0x40..0x7E, 0x80..0xFC
};

constexpr std::array<std::uint8_t, 256> make_byte_classes() {
    std::array<std::uint8_t, 256> classes{};
    for (int b = 0; b < 256; ++b) {
        std::uint8_t bits = 0;
        if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEF)) bits |= kLeadByte;
        if ((b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC)) bits |= kTrailByte;
        classes[static_cast<std::size_t>(b)] = bits;
    }
    return classes;
}
inline constexpr std::array<std::uint8_t, 256> kByteClass = make_byte_classes();

constexpr bool is_lead_byte(unsigned char byte) {
    return (kByteClass[byte] & kLeadByte) != 0;
}
constexpr bool is_trail_byte(unsigned char byte) {
    return (kByteClass[byte] & kTrailByte) != 0;
}

// Defined only for an accepted lead and trail byte. Each lead byte covers two grid rows, and
// its 188 trail bytes (0x7F skipped) run along both.
constexpr cell cell_from_sjis(unsigned char lead, unsigned char trail) {
    const int folded_lead = lead <= 0x9F ? lead : lead - 0x40;
    const int t = trail - 0x40 - (trail >= 0x80 ? 1 : 0);
    return 2 * (folded_lead - 0x81) * kGridCols + t;
}
SjisCode sjis_from_cell(cell c);

// Characters per line of a set text, each line ended by CR LF.
inline constexpr int kSetTextLineChars = 30;
// The longest set text, all 8836 cells, with its NUL.
inline constexpr std::size_t kMaxSetTextSize =
    kCellCount * 2 + (kCellCount / kSetTextLineChars) * 2 + 1;

// Clears the set, then adds every accepted double-byte character of the NUL-terminated text.
void parse_set_text(const char* text, KanjiSet& set);
// Writes the canonical text of the set: members in JIS order, CR LF after every 30th,
// NUL-terminated. The buffer holds at least kMaxSetTextSize bytes. Returns the length.
std::size_t build_set_text(const KanjiSet& set, char* text);
int count_set(const KanjiSet& set);

}  // namespace glyfor
