/* The half-width font of the single-byte Shift-JIS characters: ASCII 0x20..0x7E and the
 * half-width katakana 0xA1..0xDF, 158 glyphs of 7 x 14 dots. It is not collected as the Kanji
 * are: digits and letters are often made at run time (sprintf), so every one may be needed.
 *
 * Plain C89 like font_kanji.h, with __far given by the build on other compilers. Build
 * font_ank.c with FONT_ANK_SIGNED defined when the compiler's plain char is signed, and with
 * FONT_ANK_CC_RL for CC-RL's section syntax. */
#ifndef FONT_ANK_H
#define FONT_ANK_H

/* The box a glyph is drawn in: 7 columns of ink, 16 rows of which the first and last stay
 * blank, as in a Kanji glyph, so that both stand on the same base line. */
#define FONT_ANK_WIDTH 7
#define FONT_ANK_HEIGHT 16

/* The 14 bytes of the glyph of a single-byte character, or a null pointer for a byte outside
 * 0x20..0x7E and 0xA1..0xDF. */
const char __far* font_ank_glyph(unsigned char c);

/* 1 for ink at column x (0..6, left to right) and row y (0..15, top down) of the glyph, 0 for
 * blank, for a point outside the box and for a null glyph. */
int font_ank_pixel(const char __far* glyph, int x, int y);

#endif
