#include "charset/charset.h"

namespace glyfor {

SjisCode sjis_from_cell(cell c) {
    const int row = c / kGridCols;
    const int col = c % kGridCols;
    const int lead = (row >> 1) + (row < 62 ? 0x81 : 0xC1);
    int trail = col + ((row & 1) == 0 ? 0x40 : 0x9E);
    if (trail >= 0x7F) ++trail;
    return static_cast<SjisCode>(lead * 256 + trail);
}

void parse_set_text(const char* text, KanjiSet& set) {
    set.flags.fill(0);
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p != 0) {
        const unsigned char lead = *p++;
        if (!is_lead_byte(lead)) continue;
        const unsigned char trail = *p;
        if (trail == 0) break;
        ++p;
        if (is_trail_byte(trail))
            set.flags[static_cast<std::size_t>(cell_from_sjis(lead, trail))] = 1;
    }
}

std::size_t build_set_text(const KanjiSet& set, char* text) {
    char* out = text;
    int on_line = 0;
    for (cell c = 0; c < kCellCount; ++c) {
        if (set.flags[static_cast<std::size_t>(c)] == 0) continue;
        const SjisCode code = sjis_from_cell(c);
        *out++ = static_cast<char>(code >> 8);
        *out++ = static_cast<char>(code & 0xFF);
        if (++on_line == kSetTextLineChars) {
            *out++ = '\r';
            *out++ = '\n';
            on_line = 0;
        }
    }
    *out = '\0';
    return static_cast<std::size_t>(out - text);
}

int count_set(const KanjiSet& set) {
    int count = 0;
    for (const std::uint8_t flag : set.flags) count += flag != 0 ? 1 : 0;
    return count;
}

}  // namespace glyfor
