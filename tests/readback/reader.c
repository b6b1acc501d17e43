/* Reads a generated font source file the way the firmware does, after compiling it with the
 * host C compiler: each expected code is looked up in font_kanji_index by binary search, its
 * glyph taken from font_kanji1..font_kanjiN by position (FONT_KANJI_UNIT to an array), and the
 * 28 bytes drawn into the 14 x 16 pixel box, which must match the built-in glyph pixel for
 * pixel.
 *
 * Build: cc -D__far= -Wno-unknown-pragmas -I DIR_OF_font.inc reader.c
 * Run:   reader PIXELS_FILE INPUT_FILE...
 * PIXELS_FILE comes from glyph_dump; the INPUT_FILEs are the texts the font was generated
 * from, and every accepted double-byte character in them is expected in the font. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "font.inc"

#define COLUMNS 14
#define ROWS 16
#define MAX_PAGES 4

typedef const char Glyph[FONT_KANJI_SIZE];

static const Glyph* const pages[] = {
    font_kanji1,
#if FONT_KANJI_PAGE >= 2
    font_kanji2,
#endif
#if FONT_KANJI_PAGE >= 3
    font_kanji3,
#endif
#if FONT_KANJI_PAGE >= 4
    font_kanji4,
#endif
};

static const size_t page_sizes[] = {
    sizeof font_kanji1 / FONT_KANJI_SIZE,
#if FONT_KANJI_PAGE >= 2
    sizeof font_kanji2 / FONT_KANJI_SIZE,
#endif
#if FONT_KANJI_PAGE >= 3
    sizeof font_kanji3 / FONT_KANJI_SIZE,
#endif
#if FONT_KANJI_PAGE >= 4
    sizeof font_kanji4 / FONT_KANJI_SIZE,
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

/* The firmware's search: the position of the code in the index table, or -1. */
static long find_code(unsigned code, size_t count) {
    size_t low = 0;
    size_t high = count;
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        if (font_kanji_index[middle] == code) return (long)middle;
        if (font_kanji_index[middle] < code) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return -1;
}

/* Bytes 0..6 are the upper rows of columns 0..6, 7..13 their lower rows, 14..20 and 21..27 the
 * same for columns 7..13. */
static int pixel(const char* glyph, int x, int y) {
    const int half = x < 7 ? 0 : 14;
    const int column = x % 7;
    const unsigned byte = (unsigned char)glyph[half + (y < 8 ? 0 : 7) + column];
    return (int)(byte >> (y % 8) & 1u);
}

static void check_glyph(unsigned code, const char* glyph) {
    for (int y = 0; y < ROWS; ++y) {
        for (int x = 0; x < COLUMNS; ++x) {
            if (pixel(glyph, x, y) != expected_pixels[code][y][x]) {
                fail("glyph of %04x differs from the built-in font", code);
                return;
            }
        }
    }
}

static void check_parameters(size_t count) {
    size_t total = 0;
    const size_t page_count = sizeof pages / sizeof pages[0];
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
        if (font_kanji_index[i - 1] >= font_kanji_index[i])
            fail("index table not ascending at %u", (unsigned)i);
    }
    if (count > 0) {
        if (font_kanji_index[0] != FONT_KANJI_MIN)
            fail("FONT_KANJI_MIN %x is not the first code", (unsigned)FONT_KANJI_MIN);
        if (font_kanji_index[count - 1] != FONT_KANJI_MAX)
            fail("FONT_KANJI_MAX %x is not the last code", (unsigned)FONT_KANJI_MAX);
    }
}

int main(int argc, char** argv) {
    const size_t count = sizeof font_kanji_index / sizeof font_kanji_index[0];
    size_t expected_count = 0;
    if (argc < 3) {
        fputs("usage: reader PIXELS_FILE INPUT_FILE...\n", stderr);
        return 2;
    }
    if (!load_pixels(argv[1])) return 1;
    for (int i = 2; i < argc; ++i) {
        if (!load_input(argv[i])) return 1;
    }
    check_parameters(count);
    for (unsigned code = 0; code < 65536; ++code) {
        long position;
        if (!expected_code[code]) continue;
        ++expected_count;
        if (!has_pixels[code]) {
            fail("%04x has no glyph in the dump", code);
            continue;
        }
        position = find_code(code, count);
        if (position < 0) {
            fail("%04x is missing from the index table", code);
            continue;
        }
        {
            const size_t page = (size_t)position / FONT_KANJI_UNIT;
            const size_t slot = (size_t)position % FONT_KANJI_UNIT;
            if (page >= sizeof pages / sizeof pages[0] || slot >= page_sizes[page]) {
                fail("%04x points past the glyph arrays", code);
                continue;
            }
            check_glyph(code, pages[page][slot]);
        }
    }
    if (expected_count != count)
        fail("the inputs hold %u characters, not FONT_KANJI_NUM", (unsigned)expected_count);
    if (failures > 0) {
        fprintf(stderr, "readback: %d faults\n", failures);
        return 1;
    }
    printf("readback: %u characters in %u glyph arrays read back intact\n", (unsigned)count,
           (unsigned)(sizeof pages / sizeof pages[0]));
    return 0;
}
