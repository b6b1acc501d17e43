/* The walk over the font on an ATmega2560 in simavr: the shipped reader built with avr-gcc,
 * whose int is 16 bits wide and whose __memx pointers reach the font above the first 64 KB of
 * flash, as far pointers do on the 78K0R. The result goes out through USART0. */
#include "avr_uart.h"
#include "font_kanji.h"
#include "walk.h"

static const char __far* selected;

static int select_glyph(unsigned short code) {
    selected = font_kanji_glyph(code);
    return selected != 0;
}

static int ink(int x, int y) {
    return font_kanji_pixel(selected, x, y);
}

int main(void) {
    static const struct walk_source source = {select_glyph, ink, avr_uart_put};
    avr_uart_start();
    walk_font(&source);
    avr_uart_stop();
    return 0;
}
