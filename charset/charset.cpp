#include "charset/charset.h"

#include "charset/state.h"

namespace glyfor {

namespace {

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

}  // namespace

const std::array<std::uint8_t, 256> kByteClass = make_byte_classes();

cell cell_from_sjis(unsigned char lead, unsigned char trail) {
    const int folded_lead = lead <= 0x9F ? lead : lead - 0x40;
    const int base_row = 2 * (folded_lead - 0x81);
    int t = trail - 0x40;
    if (trail >= 0x80) --t;
    if (t >= kGridCols) return (base_row + 1) * kGridCols + (t - kGridCols);
    return base_row * kGridCols + t;
}

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
        if (is_trail_byte(trail)) set.flags[static_cast<std::size_t>(cell_from_sjis(lead, trail))] = 1;
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

void normalise_registered() {
    auto& text = text_slots[kSlotRegistered];
    parse_set_text(text.data(), registered_set);
    build_set_text(registered_set, text.data());
    settings[kRegisteredCount] = count_set(registered_set);
    show_text(kRegisteredEditRow, text.data());
}

void show_detected() {
    auto& text = text_slots[kSlotDetected];
    build_set_text(detected_set, text.data());
    show_text(kDetectedEditRow, text.data());
}

}  // namespace glyfor
