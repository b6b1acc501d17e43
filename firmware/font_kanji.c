/* The one translation unit that holds the generated font: build it with FONT_KANJI_FILE naming
 * the file glyfor-cli or the window wrote, and link the firmware against it. */
#include "font_kanji.h"

#ifndef FONT_KANJI_FILE
#define FONT_KANJI_FILE "Glyfor.inc"
#endif
#include FONT_KANJI_FILE

/* The decoding below knows one layout only; a file that announces another must not compile
 * into a reader that draws garbage. */
#if FONT_KANJI_INDEX != 0 || FONT_KANJI_SIZE != 28 || FONT_KANJI_UNIT != 2304
#error "the font file is not in the layout this reader decodes"
#endif
#if FONT_KANJI_PAGE < 1 || FONT_KANJI_PAGE > 4
#error "the font file has a page count the 94 x 94 grid cannot give"
#endif

/* One glyph array holds FONT_KANJI_UNIT glyphs, at most 64512 bytes, so that on the 78K0R it
 * fits one 64 KB far segment and the offset within it stays a 16-bit unsigned int. */
static const char __far* const font_kanji_pages[FONT_KANJI_PAGE] = {
    font_kanji1[0],
#if FONT_KANJI_PAGE >= 2
    font_kanji2[0],
#endif
#if FONT_KANJI_PAGE >= 3
    font_kanji3[0],
#endif
#if FONT_KANJI_PAGE >= 4
    font_kanji4[0],
#endif
};

const char __far* font_kanji_glyph(unsigned short code) {
    /* At most 8836 codes: the bounds and their sum fit a 16-bit unsigned int. */
    unsigned int low = 0;
    unsigned int high = FONT_KANJI_NUM;
    while (low < high) {
        const unsigned int middle = low + ((high - low) >> 1);
        const unsigned short found = font_kanji_index[middle];
        if (found == code) {
            const unsigned int entry = middle % FONT_KANJI_UNIT;
            return font_kanji_pages[middle / FONT_KANJI_UNIT] + entry * FONT_KANJI_SIZE;
        }
        if (found < code) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return 0;
}

/* Column x is a 16-bit word split in two bytes, rows 0..7 in the low one and 8..15 in the high
 * one. The file groups them by halves of the glyph: bytes 0..6 hold the low bytes of columns
 * 0..6, 7..13 their high bytes, and 14..27 the same for columns 7..13. */
int font_kanji_pixel(const char __far* glyph, int x, int y) {
    int byte;
    if (glyph == 0 || x < 0 || x >= FONT_KANJI_WIDTH || y < 0 || y >= FONT_KANJI_HEIGHT) {
        return 0;
    }
    byte = x < 7 ? x : x + 7;
    if (y >= 8) {
        byte += 7;
        y -= 8;
    }
    /* Through unsigned char, so that a byte of the signed form, -4, is the ink of 0xFC. */
    return (unsigned char)glyph[byte] >> y & 1;
}
