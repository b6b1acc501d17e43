/* The reader of the Kanji font file that Glyfor generates: finds the glyph of a Shift-JIS
 * code in font_kanji_index and font_kanji1..font_kanjiN, and decodes its pixels.
 *
 * Plain C89 for the 78K0R's compilers, which know __far. Any other compiler is given __far by
 * the build: -D__far= on a host with a flat address space, or a named address space where
 * constants live apart from data, e.g. -D__far=__memx with avr-gcc. */
#ifndef FONT_KANJI_H
#define FONT_KANJI_H

/* The box a glyph is drawn in: 14 columns of ink, 16 rows of which the last stays blank. */
#define FONT_KANJI_WIDTH 14
#define FONT_KANJI_HEIGHT 16

/* The 28 bytes of the glyph of a Shift-JIS double-byte code, or a null pointer when the font
 * lacks the character. */
const char __far* font_kanji_glyph(unsigned short code);

/* 1 for ink at column x (0..13, left to right) and row y (0..15, top down) of the glyph, 0 for
 * blank, for a point outside the box and for a null glyph. */
int font_kanji_pixel(const char __far* glyph, int x, int y);

#endif
