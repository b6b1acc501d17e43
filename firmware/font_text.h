/* Shift-JIS text into a 1-bit frame buffer, through the Kanji font Glyfor generates
 * (font_kanji.c) and the half-width font (font_ank.c).
 *
 * A byte 0x81..0x9F or 0xE0..0xFC leads a double-byte character with the byte after it, drawn
 * 14 dots wide; a code the Kanji font lacks is a blank 14-dot cell. Any other byte is a
 * single-byte character 7 dots wide; one without a glyph (a control byte, 0x80, 0xA0,
 * 0xFD..0xFF) is a blank 7-dot cell. A lead byte before the final NUL ends the string. LF
 * starts a new line FONT_TEXT_LINE rows down at the first x; CR is skipped. Every cell is
 * FONT_TEXT_LINE rows high, its first and last rows blank.
 *
 * Plain C89 like font_kanji.h, with __far given by the build on other compilers. Correct for a
 * 16-bit int: any x and y an int holds, negative ones too, are clipped without overflow. */
#ifndef FONT_TEXT_H
#define FONT_TEXT_H

/* The rows from one line of text to the next. */
#define FONT_TEXT_LINE 16

/* Draws the NUL-terminated text with the top left corner of its first cell at (x, y) into
 * the frame: width x height pixels, rows top to bottom, (width + 7) / 8 bytes a row, the
 * leftmost pixel of a byte in its high bit, 1 for ink. Ink is ORed in, so text can be drawn
 * over a picture; whatever falls outside the frame is left out. Returns the x after the last
 * character, on the last line; INT_MAX when that line runs past it. */
int font_text_draw(unsigned char* frame, int width, int height, int x, int y, const char* text);

/* The width in pixels of the widest line of the text, as font_text_draw lays it out: to centre
 * a line in a frame of width w, draw it at x = (w - font_text_width(text)) / 2. INT_MAX for a
 * line wider than an int holds. */
int font_text_width(const char* text);

#endif
