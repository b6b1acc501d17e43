/* Reads a generated font source file through the shipped firmware reader (firmware/font_kanji.c
 * built around it): every code must give the built-in glyph, pixel for pixel, when the inputs
 * hold it and a null pointer when they do not. The file's parameters and array sizes are
 * checked on a second copy of it, included here under other names.
 *
 * Build: see compile_font in check_font.sh; firmware/font_kanji.c is built around the same
 *        font.inc with -DFONT_KANJI_FILE='"font.inc"' and linked in, with tests/firmware/walk.c.
 * Run:   reader [--walk OUT] PIXELS_FILE INPUT_FILE...
 * PIXELS_FILE comes from glyph_dump; the INPUT_FILEs are the texts the font was generated
 * from, and every accepted double-byte character in them is expected in the font. --walk
 * writes what the walk over the font must print, computed from PIXELS_FILE alone. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "font_kanji.h"
#include "walk.h"

#define font_kanji_index checked_index
#define font_kanji1 checked_kanji1
#define font_kanji2 checked_kanji2
#define font_kanji3 checked_kanji3
#define font_kanji4 checked_kanji4
#include "font.inc"

#define COLUMNS 14
#define ROWS 16
#define MAX_PAGES 4

static const size_t page_sizes[] = {
    sizeof checked_kanji1 / FONT_KANJI_SIZE,
#if FONT_KANJI_PAGE >= 2
    sizeof checked_kanji2 / FONT_KANJI_SIZE,
#endif
#if FONT_KANJI_PAGE >= 3
    sizeof checked_kanji3 / FONT_KANJI_SIZE,
#endif
#if FONT_KANJI_PAGE >= 4
    sizeof checked_kanji4 / FONT_KANJI_SIZE,
#endif
};

/* Expected pixels by Shift-JIS code, from glyph_dump. */
static unsigned char (*expected_pixels)[ROWS][COLUMNS];
static unsigned char has_pixels[65536];
/* Codes found in the input texts. */
static unsigned char expected_code[65536];

static int failures;

static void fail(const char* format, unsigned value) {
    if (++failures <= 20) {
        fputs("readback: ", stderr);
        fprintf(stderr, format, value);
        fputc('\n', stderr);
    }
}

static int load_pixels(const char* path) {
    FILE* in = fopen(path, "rb");
    unsigned code;
    char line[64];
    if (in == NULL) {
        perror(path);
        return 0;
    }
    expected_pixels = calloc(65536, sizeof *expected_pixels);
    if (expected_pixels == NULL) return 0;
    while (fscanf(in, "%4x\n", &code) == 1) {
        for (int y = 0; y < ROWS; ++y) {
            if (fgets(line, sizeof line, in) == NULL || strlen(line) < COLUMNS) {
                fprintf(stderr, "%s: short glyph for %04x\n", path, code);
                fclose(in);
                return 0;
            }
            for (int x = 0; x < COLUMNS; ++x) expected_pixels[code][y][x] = line[x] == '#';
        }
        has_pixels[code] = 1;
    }
    fclose(in);
    return 1;
}

static int is_lead(int byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xEF);
}
static int is_trail(int byte) {
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

/* Every accepted lead byte with an accepted trail byte after it, up to the end of the file or
 * an end-of-text byte (0x1A), whichever comes first. */
static int load_input(const char* path) {
    FILE* in = fopen(path, "rb");
    int byte;
    int lead = -1;
    if (in == NULL) {
        perror(path);
        return 0;
    }
    while ((byte = getc(in)) != EOF && byte != 0x1A) {
        if (lead >= 0) {
            if (is_trail(byte)) expected_code[lead << 8 | byte] = 1;
            lead = -1;
        } else if (is_lead(byte)) {
            lead = byte;
        }
    }
    fclose(in);
    return 1;
}

static void check_glyph(unsigned code, const char* glyph) {
    for (int y = 0; y < ROWS; ++y) {
        for (int x = 0; x < COLUMNS; ++x) {
            if (font_kanji_pixel(glyph, x, y) != expected_pixels[code][y][x]) {
                fail("glyph of %04x differs from the built-in font", code);
                return;
            }
        }
    }
}

/* Points just outside the 14 x 16 box, which must read as blank: their naive byte offsets fall
 * on other pixels of the glyph or outside it. */
static void check_outside(const char* glyph) {
    static const int points[][2] = {{-1, 0}, {0, -1},  {14, 0}, {13, 16},   {7, -1},
                                    {-1, 8}, {14, 15}, {6, 16}, {32767, 0}, {0, -32768}};
    for (size_t i = 0; i < sizeof points / sizeof points[0]; ++i) {
        if (font_kanji_pixel(glyph, points[i][0], points[i][1]) != 0)
            fail("font_kanji_pixel inks point %u outside the box", (unsigned)i);
    }
}

static void check_parameters(size_t count) {
    size_t total = 0;
    const size_t page_count = sizeof page_sizes / sizeof page_sizes[0];
    if (FONT_KANJI_INDEX != 0) fail("FONT_KANJI_INDEX is %u, not 0", (unsigned)FONT_KANJI_INDEX);
    if (FONT_KANJI_SIZE != 28) fail("FONT_KANJI_SIZE is %u, not 28", (unsigned)FONT_KANJI_SIZE);
    if (FONT_KANJI_UNIT != 2304) fail("FONT_KANJI_UNIT is %u, not 2304", (unsigned)FONT_KANJI_UNIT);
    if (count != (size_t)FONT_KANJI_NUM)
        fail("index table holds %u codes, not FONT_KANJI_NUM", (unsigned)count);
    if (FONT_KANJI_PAGE != (FONT_KANJI_NUM - 1) / FONT_KANJI_UNIT + 1) {
        fail("FONT_KANJI_PAGE %u does not fit FONT_KANJI_NUM", (unsigned)FONT_KANJI_PAGE);
    }
    if (FONT_KANJI_PAGE > MAX_PAGES)
        fail("FONT_KANJI_PAGE %u is more than the grid needs", (unsigned)FONT_KANJI_PAGE);
    for (size_t p = 0; p < page_count; ++p) {
        const size_t expected = p + 1 < page_count ? FONT_KANJI_UNIT : count - total;
        if (page_sizes[p] != expected) fail("glyph array %u has the wrong size", (unsigned)(p + 1));
        total += page_sizes[p];
    }
    if (total != count) fail("the glyph arrays hold %u glyphs, not one per code", (unsigned)total);
    for (size_t i = 1; i < count; ++i) {
        if (checked_index[i - 1] >= checked_index[i])
            fail("index table not ascending at %u", (unsigned)i);
    }
    if (count > 0) {
        if (checked_index[0] != FONT_KANJI_MIN)
            fail("FONT_KANJI_MIN %x is not the first code", (unsigned)FONT_KANJI_MIN);
        if (checked_index[count - 1] != FONT_KANJI_MAX)
            fail("FONT_KANJI_MAX %x is not the last code", (unsigned)FONT_KANJI_MAX);
    }
}

/* The walk as the built-in glyphs of the inputs' characters make it, without the reader. */
static unsigned walk_code;
static FILE* walk_out;

static int walk_select(unsigned short code) {
    walk_code = code;
    return expected_code[code];
}
static int walk_ink(int x, int y) {
    return expected_pixels[walk_code][y][x];
}
static void walk_put(char c) {
    putc(c, walk_out);
}

static int write_walk(const char* path) {
    const struct walk_source source = {walk_select, walk_ink, walk_put};
    walk_out = fopen(path, "wb");
    if (walk_out == NULL) {
        perror(path);
        return 0;
    }
    walk_font(&source);
    if (fclose(walk_out) != 0) {
        perror(path);
        return 0;
    }
    return 1;
}

int main(int argc, char** argv) {
    const size_t count = sizeof checked_index / sizeof checked_index[0];
    const char* walk_path = NULL;
    size_t expected_count = 0;
    if (argc >= 3 && strcmp(argv[1], "--walk") == 0) {
        walk_path = argv[2];
        argv += 2;
        argc -= 2;
    }
    if (argc < 3) {
        fputs("usage: reader [--walk OUT] PIXELS_FILE INPUT_FILE...\n", stderr);
        return 2;
    }
    if (!load_pixels(argv[1])) return 1;
    for (int i = 2; i < argc; ++i) {
        if (!load_input(argv[i])) return 1;
    }
    check_parameters(count);
    if (font_kanji_pixel(NULL, 0, 0) != 0) fail("font_kanji_pixel inks a null glyph", 0);
    for (unsigned code = 0; code < 65536; ++code) {
        const char* glyph = font_kanji_glyph((unsigned short)code);
        if (!expected_code[code]) {
            if (glyph != NULL) fail("%04x is not in the inputs but has a glyph", code);
            continue;
        }
        ++expected_count;
        if (!has_pixels[code]) {
            fail("%04x has no glyph in the dump", code);
            continue;
        }
        if (glyph == NULL) {
            fail("%04x has no glyph in the font", code);
            continue;
        }
        check_glyph(code, glyph);
        check_outside(glyph);
    }
    if (expected_count != count)
        fail("the inputs hold %u characters, not FONT_KANJI_NUM", (unsigned)expected_count);
    if (walk_path != NULL && !write_walk(walk_path)) return 1;
    if (failures > 0) {
        fprintf(stderr, "readback: %d faults\n", failures);
        return 1;
    }
    printf("readback: %u characters in %u glyph arrays read back intact\n", (unsigned)count,
           (unsigned)(sizeof page_sizes / sizeof page_sizes[0]));
    return 0;
}
