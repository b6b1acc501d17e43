#include "app/cli/diagnostics.h"

#include <cstdio>

namespace glyfor::cli {

KanjiSet blank_cells(const std::array<Glyph, kCellCount>& glyphs, const KanjiSet& members) {
    KanjiSet blank;
    for (cell c = 1; c < kCellCount; ++c) {
        const auto i = static_cast<std::size_t>(c);
        if (members.flags[i] == 0) continue;
        bool zero = true;
        for (const std::uint8_t byte : glyphs[i]) zero = zero && byte == 0;
        blank.flags[i] = zero ? 1 : 0;
    }
    return blank;
}

namespace {

void print_place(const Diagnostics& d, const CharPosition& at, const char* kind) {
    std::fprintf(stderr, "%s:%llu:%llu: %s: 0x%04x", d.path,
                 static_cast<unsigned long long>(at.line), static_cast<unsigned long long>(at.col),
                 kind, static_cast<unsigned>(at.code));
}

// The character's own bytes after the message, for a reader whose terminal shows Shift-JIS.
void print_character(const CharPosition& at) {
    std::fprintf(stderr, " (%c%c)\n", static_cast<char>(at.code >> 8),
                 static_cast<char>(at.code & 0xFF));
}

}  // namespace

void diagnose(void* context, const CharPosition& at) {
    auto& d = *static_cast<Diagnostics*>(context);
    const auto lead = static_cast<unsigned char>(at.code >> 8);
    const auto trail = static_cast<unsigned char>(at.code & 0xFF);
    if (!at.gives_cell) {
        if (!d.warnings) return;
        std::uint8_t& warned =
            d.warned_dropped[static_cast<std::size_t>((lead - 0xF0) * 256 + trail)];
        if (warned != 0) return;
        warned = 1;
        print_place(d, at, "warning");
        std::fprintf(stderr,
                     " is a user-defined or vendor code the font lacks; the character is dropped");
        print_character(at);
        return;
    }
    const auto c = static_cast<std::size_t>(cell_from_sjis(lead, trail));
    if (d.font != nullptr && d.font->flags[c] == 0) {
        if (d.reported_missing.flags[c] != 0) return;
        d.reported_missing.flags[c] = 1;
        ++d.missing;
        print_place(d, at, "error");
        std::fprintf(stderr, " is not in %s", d.font_path.c_str());
        print_character(at);
        return;
    }
    if (!d.warnings || d.blank.flags[c] == 0 || d.warned_blank.flags[c] != 0) return;
    d.warned_blank.flags[c] = 1;
    print_place(d, at, "warning");
    std::fprintf(stderr, " has a blank glyph in %s", d.blank_source.c_str());
    print_character(at);
}

bool intersects(const KanjiSet& a, const KanjiSet& b) {
    for (std::size_t c = 0; c < a.flags.size(); ++c) {
        if (a.flags[c] != 0 && b.flags[c] != 0) return true;
    }
    return false;
}

// A character of the FILE that FONT lacks and that no earlier FILE used.
bool has_new_missing(const KanjiSet& cells, const Diagnostics& d) {
    if (d.font == nullptr) return false;
    for (std::size_t c = 0; c < cells.flags.size(); ++c) {
        if (cells.flags[c] != 0 && d.font->flags[c] == 0 && d.reported_missing.flags[c] == 0) {
            return true;
        }
    }
    return false;
}

std::unique_ptr<Diagnostics> builtin_diagnostics() {
    auto d = std::make_unique<Diagnostics>();
    KanjiSet all;
    all.flags.fill(1);
    d->blank = blank_cells(kGlyphTable, all);
    d->blank_source = "the built-in font";
    return d;
}

}  // namespace glyfor::cli
