/* The walk over a font that the simulated micro-controller prints and the host predicts from
 * the built-in glyphs: the same code on both sides, so the two outputs agree byte for byte
 * exactly when the reader found the same glyphs with the same pixels. C89, no library. */
#ifndef GLYFOR_WALK_H
#define GLYFOR_WALK_H

struct walk_source {
    /* 1 when the font holds the code, whose glyph the next ink calls then read. */
    int (*select)(unsigned short code);
    int (*ink)(int x, int y);
    void (*put)(char c);
};

/* Every code with a Shift-JIS lead byte and any second byte, then a few single codes:
 * "found N pixels CRC" over the codes and the pixels of every glyph found, then "CODE glyph" or
 * "CODE none" per single code, then "end". All numbers are four hexadecimal digits. */
void walk_font(const struct walk_source* source);

#endif
