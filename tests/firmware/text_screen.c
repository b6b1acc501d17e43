#include "text_screen.h"

#include <limits.h>

#include "font_text.h"
#include "text_screen_string.h"

#define SCREEN_WIDTH 128
#define SCREEN_HEIGHT 32
#define SCREEN_BYTES (SCREEN_HEIGHT * SCREEN_WIDTH / 8)
/* Past 32767 dots at 7 a character: 4700 x 7 = 32900. */
#define LONG_LINE 4700

static unsigned char screen[SCREEN_BYTES];
static char long_line[LONG_LINE + 1];

static void put_text(void (*put)(char c), const char* text) {
    while (*text != '\0') put(*text++);
}

static void put_hex(void (*put)(char c), int value) {
    static const char digits[] = "0123456789abcdef";
    const unsigned int bits = (unsigned int)value & 0xFFFFu;
    int shift;
    put(' ');
    for (shift = 12; shift >= 0; shift -= 4) put(digits[bits >> shift & 0xFu]);
}

/* Prints the screen and clears it for the next draw. */
static void put_screen(void (*put)(char c)) {
    static const char digits[] = "0123456789abcdef";
    unsigned int i;
    for (i = 0; i < SCREEN_BYTES; ++i) {
        put(digits[screen[i] >> 4]);
        put(digits[screen[i] & 0xF]);
        if (i % (SCREEN_WIDTH / 8) == SCREEN_WIDTH / 8 - 1) put('\n');
        screen[i] = 0;
    }
}

static int ink(void) {
    unsigned int i;
    for (i = 0; i < SCREEN_BYTES; ++i) {
        if (screen[i] != 0) return 1;
    }
    return 0;
}

static void put_check(void (*put)(char c), const char* name, int ok) {
    put_text(put, name);
    put_text(put, ok ? " ok\n" : " bad\n");
}

/* a + b as a 16-bit int gives it, held at INT_MAX, or as a wider int does. */
static int held_sum(long a, long b) {
    return a + b > INT_MAX ? INT_MAX : (int)(a + b);
}

void text_screen_print(void (*put)(char c)) {
    /* At the screen's corner, past its top and right edges, past its left and bottom ones. */
    static const int places[][2] = {{3, 0}, {100, -6}, {-9, 20}};
    static const char text[] = TEXT_SCREEN_STRING;
    unsigned int i;
    int end;
    for (i = 0; i < sizeof places / sizeof places[0]; ++i) {
        end = font_text_draw(screen, SCREEN_WIDTH, SCREEN_HEIGHT, places[i][0], places[i][1], text);
        put_text(put, "screen");
        put_hex(put, places[i][0]);
        put_hex(put, places[i][1]);
        put_text(put, " end");
        put_hex(put, end);
        put('\n');
        put_screen(put);
    }
    put_text(put, "width");
    put_hex(put, font_text_width(text));
    put('\n');

    /* The corners of a 16-bit int's range: nothing drawn, and no sum overflows. */
    end = font_text_draw(screen, SCREEN_WIDTH, SCREEN_HEIGHT, -32767 - 1, -32767 - 1, text);
    put_text(put, "far_left_top end");
    put_hex(put, end);
    put('\n');
    /* The string's last line is its widest. */
    end = font_text_draw(screen, SCREEN_WIDTH, SCREEN_HEIGHT, 32767 - 20, 32767 - 10, text);
    put_check(put, "far_right_bottom",
              end == held_sum(32767 - 20, font_text_width(text)) && !ink());

    for (i = 0; i < LONG_LINE; ++i) long_line[i] = 'A';
    put_check(put, "long_line_width", font_text_width(long_line) == held_sum(0, 7L * LONG_LINE));
    end = font_text_draw(screen, SCREEN_WIDTH, SCREEN_HEIGHT, 0, 8, long_line);
    put_check(put, "long_line_end", end == held_sum(0, 7L * LONG_LINE));
    put_text(put, "screen long_line\n");
    put_screen(put);
    put_text(put, "end\n");
}
