/* Runs the README's draw_text on a string of single-byte characters, two kanji of the font and
 * one it lacks, at an offset that is not a multiple of 8, and checks every pixel of the frame
 * against the glyphs as the reader gives them. */
#include <stdio.h>
#include <string.h>

#include "font_kanji.h"

#define FRAME_WIDTH 128
#define FRAME_HEIGHT 64
#define ASCII_WIDTH 6

unsigned char frame[FRAME_HEIGHT][FRAME_WIDTH / 8];
int draw_text(int x, int y, const char* text);

static char ascii_seen[16];
static size_t ascii_count;

int draw_ascii(int x, int y, unsigned char c) {
    (void)y;
    if (ascii_count + 1 < sizeof ascii_seen) ascii_seen[ascii_count++] = (char)c;
    return x + ASCII_WIDTH;
}

static int frame_pixel(int x, int y) {
    return frame[y][x >> 3] >> (7 - (x & 7)) & 1;
}

int main(void) {
    /* A, 亜, ideographic space, B, 漢, and a lone lead byte at the end. */
    static const char text[] =
        "A\x88\x9f\x81\x40"
        "B\x8a\xbf\x88";
    /* Where each kanji box starts, and its code; 0 for the one the font lacks. */
    static const struct {
        int x;
        unsigned short code;
    } boxes[] = {
        {3 + ASCII_WIDTH, 0x889f}, {3 + ASCII_WIDTH + 14, 0}, {3 + 2 * ASCII_WIDTH + 28, 0x8abf}};
    const int left = 3;
    const int top = 5;
    int failures = 0;
    const int end = draw_text(left, top, text);
    if (font_kanji_glyph(0x889f) == NULL || font_kanji_glyph(0x8abf) == NULL) {
        puts("readme_example: the font lacks its two kanji");
        return 1;
    }
    if (end != left + 3 * ASCII_WIDTH + 3 * FONT_KANJI_WIDTH) {
        printf("readme_example: draw_text ends at x %d\n", end);
        ++failures;
    }
    if (strcmp(ascii_seen, "AB\x88") != 0) {
        printf("readme_example: the firmware's font got \"%s\"\n", ascii_seen);
        ++failures;
    }
    for (int y = 0; y < FRAME_HEIGHT; ++y) {
        for (int x = 0; x < FRAME_WIDTH; ++x) {
            int expected = 0;
            for (size_t b = 0; b < sizeof boxes / sizeof boxes[0]; ++b) {
                const int gx = x - boxes[b].x;
                if (boxes[b].code != 0 && gx >= 0 && gx < FONT_KANJI_WIDTH)
                    expected |= font_kanji_pixel(font_kanji_glyph(boxes[b].code), gx, y - top);
            }
            if (frame_pixel(x, y) != expected && failures++ < 10)
                printf("readme_example: pixel %d,%d is %d\n", x, y, frame_pixel(x, y));
        }
    }
    if (failures > 0) return 1;
    puts("readme_example: the string is drawn glyph for glyph");
    return 0;
}
