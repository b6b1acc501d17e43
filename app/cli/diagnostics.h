// Where characters are lost or missing, told as compilers tell their findings
// (FILE:LINE:COL: error: ...), so that editors and CI logs link to the place. The positioned
// walk of a FILE reports each character to `diagnose`, which decides what is worth a message.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "charset/char_positions.h"
#include "charset/charset.h"
#include "font/glyph_table.h"

namespace glyfor::cli {

// Missing characters are told once over all FILEs, at their first use; warnings once per code
// and FILE.
struct Diagnostics {
    // Cells whose glyph is blank, other than the ideographic space, and where that glyph is.
    KanjiSet blank;
    std::string blank_source;
    // check only: the cells FONT holds, and FONT's name.
    const KanjiSet* font = nullptr;
    std::string font_path;
    KanjiSet reported_missing;
    int missing = 0;
    // Per FILE.
    const char* path = nullptr;
    bool warnings = true;
    KanjiSet warned_blank;
    std::array<std::uint8_t, (0xFC - 0xF0 + 1) * 256> warned_dropped{};
};

// The members of `members` whose glyph is blank; the ideographic space is blank by design and
// left out.
KanjiSet blank_cells(const std::array<Glyph, kCellCount>& glyphs, const KanjiSet& members);
// The diagnostics of scan and generate: blank glyphs are those of the built-in font.
std::unique_ptr<Diagnostics> builtin_diagnostics();

// A CharVisitor's function; the context is the Diagnostics.
void diagnose(void* context, const CharPosition& at);

// Whether the FILE whose cells are `cells` holds something worth a message: a character FONT
// lacks that no earlier FILE used. The warnings are judged by the caller.
bool has_new_missing(const KanjiSet& cells, const Diagnostics& d);
bool intersects(const KanjiSet& a, const KanjiSet& b);

}  // namespace glyfor::cli
