// The font file reader on any bytes: it never crashes, and whatever it accepts is a font the
// firmware can search: the parameters agree with the set, and glyphs sit only in its cells.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "charset/charset.h"
#include "font/font_reader.h"
#include "font/glyph_table.h"

namespace {

using namespace glyfor;

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto font = std::make_unique<FontFile>();
    const FontReadResult result =
        read_font_source(reinterpret_cast<const char*>(data), size, *font);
    check(result.message[result.message.size() - 1] == '\0');
    if (!result.ok) {
        check(result.line >= 1 && result.message[0] != '\0');
        return 0;
    }
    const FontParameters& parameters = font->parameters;
    check(parameters.count == count_set(font->set));
    check(parameters.size == kGlyphSize);
    check(parameters.unit >= 1 && parameters.unit <= kGlyphsPerPage);
    check(parameters.pages == (parameters.count - 1) / parameters.unit + 1 ||
          (parameters.count == 0 && parameters.pages == 1));
    int differing = 0;
    cell first = -1;
    cell last = -1;
    for (cell c = 0; c < kCellCount; ++c) {
        const Glyph& glyph = font->glyphs[static_cast<std::size_t>(c)];
        if (font->set.flags[static_cast<std::size_t>(c)] == 0) {
            check(glyph == Glyph{});
            continue;
        }
        if (first < 0) first = c;
        last = c;
        if (glyph != glyph_bytes(c)) ++differing;
    }
    check(differing == font->differing_glyphs);
    if (first >= 0) {
        check(parameters.min_code == sjis_from_cell(first));
        check(parameters.max_code == sjis_from_cell(last));
    }
    return 0;
}
