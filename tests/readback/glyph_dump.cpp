// Writes what the read-back check compares against: the pixels of every glyph of the built-in
// table, decoded from its column words, and a Shift-JIS text holding every cell of the grid.
// Usage: glyph_dump PIXELS_FILE ALL_CELLS_FILE
#include <cstdio>

#include "charset/charset.h"
#include "font/glyph_table.h"

namespace glyfor {
namespace {

// Per cell: its code as four hexadecimal digits, then 16 lines of 14 pixels, '#' for a set one.
bool write_pixels(std::FILE* out) {
    for (cell c = 0; c < kCellCount; ++c) {
        const Glyph& glyph = glyph_bytes(c);
        std::fprintf(out, "%04x\n", sjis_from_cell(c));
        for (int y = 0; y < kGlyphRows; ++y) {
            for (int x = 0; x < kGlyphColumns; ++x)
                std::fputc(glyph_pixel(glyph, x, y) ? '#' : '.', out);
            std::fputc('\n', out);
        }
    }
    return std::ferror(out) == 0;
}

bool write_all_cells(std::FILE* out) {
    for (cell c = 0; c < kCellCount; ++c) {
        const SjisCode code = sjis_from_cell(c);
        std::fputc(code >> 8, out);
        std::fputc(code & 0xFF, out);
        if (c % kGridCols == kGridCols - 1) std::fputs("\r\n", out);
    }
    return std::ferror(out) == 0;
}

bool write_file(const char* path, bool (*write)(std::FILE*)) {
    std::FILE* out = std::fopen(path, "wb");
    if (out == nullptr) {
        std::perror(path);
        return false;
    }
    const bool ok = write(out);
    if (std::fclose(out) != 0 || !ok) {
        std::fprintf(stderr, "%s: write failed\n", path);
        return false;
    }
    return true;
}

}  // namespace
}  // namespace glyfor

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: glyph_dump PIXELS_FILE ALL_CELLS_FILE\n", stderr);
        return 2;
    }
    const bool ok = glyfor::write_file(argv[1], glyfor::write_pixels) &&
                    glyfor::write_file(argv[2], glyfor::write_all_cells);
    return ok ? 0 : 1;
}
