#include "font_text.h"

#include <limits.h>
#include <stddef.h>

#include "font_ank.h"
#include "font_kanji.h"

/* One character of the text as the layout sees it. */
struct font_text_char {
    unsigned short code; /* the byte, or lead byte and trail byte of a double-byte code */
    int length;          /* bytes taken: 1 or 2, 0 at the end of the text */
    int width;           /* 7 or 14, 0 for CR and LF */
};

/* The character at s; the one place that tells single bytes from double-byte codes, so that
 * font_text_width measures exactly what font_text_draw draws. */
static struct font_text_char font_text_next(const unsigned char* s) {
    struct font_text_char c;
    c.code = s[0];
    c.length = 1;
    c.width = FONT_ANK_WIDTH;
    if ((s[0] >= 0x81 && s[0] <= 0x9F) || (s[0] >= 0xE0 && s[0] <= 0xFC)) {
        /* Through unsigned int: 0xFC << 8 overflows a 16-bit int. */
        c.code = (unsigned short)((unsigned int)s[0] << 8 | s[1]);
        c.length = s[1] == 0 ? 0 : 2;
        c.width = FONT_KANJI_WIDTH;
    } else if (s[0] == 0) {
        c.length = 0;
    } else if (s[0] == '\r' || s[0] == '\n') {
        c.width = 0;
    }
    return c;
}

/* a + b for b >= 0, held at INT_MAX instead of overflowing. */
static int font_text_add(int a, int b) {
    return a > INT_MAX - b ? INT_MAX : a + b;
}

/* ORs the part of the glyph's cell that lies in the frame into it. The bounds are worked out
 * so that no sum leaves the range of int, for any x and y: only the cells that touch the frame
 * get past the first tests, and for them every sum lies between -16 and width or height. */
static void font_text_cell(unsigned char* frame, int width, int height, int x, int y,
                           const char __far* glyph, int (*pixel)(const char __far*, int, int),
                           int cell_width) {
    const size_t stride = ((size_t)width + 7u) / 8u;
    int left = 0;
    int right = cell_width;
    int top = 0;
    int bottom = FONT_TEXT_LINE;
    int gx;
    int gy;
    if (glyph == 0 || x >= width || y >= height || x <= -cell_width || y <= -FONT_TEXT_LINE) {
        return;
    }
    if (x < 0) {
        left = -x;
    }
    if (y < 0) {
        top = -y;
    }
    if (x > width - right) {
        right = width - x;
    }
    if (y > height - bottom) {
        bottom = height - y;
    }
    for (gy = top; gy < bottom; ++gy) {
        unsigned char* row = frame + (size_t)(y + gy) * stride;
        for (gx = left; gx < right; ++gx) {
            if (pixel(glyph, gx, gy)) {
                const unsigned int column = (unsigned int)(x + gx);
                /* Not |=, which older compilers warn of as a conversion from int. */
                row[column >> 3] = (unsigned char)(row[column >> 3] | 0x80u >> (column & 7u));
            }
        }
    }
}

int font_text_draw(unsigned char* frame, int width, int height, int x, int y, const char* text) {
    const unsigned char* s = (const unsigned char*)text;
    const int first_x = x;
    struct font_text_char c;
    for (c = font_text_next(s); c.length != 0; s += c.length, c = font_text_next(s)) {
        if (s[0] == '\n') {
            x = first_x;
            y = font_text_add(y, FONT_TEXT_LINE);
            continue;
        }
        /* An empty or negative frame has no pixel to draw, and its size must not take part
         * in the clipping sums. */
        if (width > 0 && height > 0) {
            if (c.length == 2) {
                font_text_cell(frame, width, height, x, y, font_kanji_glyph(c.code),
                               font_kanji_pixel, c.width);
            } else {
                font_text_cell(frame, width, height, x, y, font_ank_glyph((unsigned char)c.code),
                               font_ank_pixel, c.width);
            }
        }
        x = font_text_add(x, c.width);
    }
    return x;
}

int font_text_width(const char* text) {
    const unsigned char* s = (const unsigned char*)text;
    int widest = 0;
    int line = 0;
    struct font_text_char c;
    for (c = font_text_next(s); c.length != 0; s += c.length, c = font_text_next(s)) {
        line = s[0] == '\n' ? 0 : font_text_add(line, c.width);
        if (line > widest) {
            widest = line;
        }
    }
    return widest;
}
