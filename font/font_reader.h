// Reads back a font source file this tool generated, or a hand-edited copy of one, and checks
// everything the firmware takes on trust when it compiles and searches it.
#pragma once

#include <array>
#include <cstddef>

#include "charset/charset.h"
#include "font/font_parameters.h"
#include "font/glyph_table.h"

namespace glyfor {

enum class SectionSyntax {
    kCnstl,  // #pragma section @@CNSTL KFONTn
    kCcRl,   // #pragma section const KFONTn
};

// Glyph values 0..127 read the same either way; only a value outside that range tells.
enum class ByteForm {
    kEither,
    kUnsigned,  // 0..255
    kSigned,    // -128..127
};

// Large (about 250 KB): keep one static or on the heap, not on a small stack.
struct FontFile {
    FontParameters parameters;
    SectionSyntax syntax = SectionSyntax::kCnstl;
    ByteForm byte_form = ByteForm::kEither;
    KanjiSet set;
    // Indexed by cell, in the glyph table's byte order; all zero for cells not in the set.
    std::array<Glyph, kCellCount> glyphs{};
    // Glyphs of the set that are not the built-in font's: hand edits, or another font.
    int differing_glyphs = 0;
};

struct FontReadResult {
    bool ok = false;
    int line = 0;                     // 1-based line of the fault; 0 when ok
    std::array<char, 160> message{};  // NUL-terminated; empty when ok
};

// Reads the whole file from memory. Lines end in CR LF as the writer writes them, or in LF.
// On a fault `out` holds whatever was read up to it and must not be used.
FontReadResult read_font_source(const char* data, std::size_t size, FontFile& out);

}  // namespace glyfor
