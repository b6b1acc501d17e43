/* The walk over the font on an ATmega2560 in simavr: the shipped reader built with avr-gcc,
 * whose int is 16 bits wide and whose __memx pointers reach the font above the first 64 KB of
 * flash, as far pointers do on the 78K0R. The result goes out through USART0, which simavr
 * prints; sleeping with interrupts off then ends the simulation. */
#include <avr/interrupt.h>
#include <avr/io.h>
#include <avr/sleep.h>

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

static void put(char c) {
    while ((UCSR0A & 1 << UDRE0) == 0) {
    }
    UDR0 = (unsigned char)c;
}

int main(void) {
    static const struct walk_source source = {select_glyph, ink, put};
    /* The fastest rate the clock allows, 2 Mbit/s: simavr times the bytes as sent. */
    UBRR0 = 0;
    UCSR0A = 1 << U2X0;
    UCSR0B = 1 << TXEN0;
    walk_font(&source);
    while ((UCSR0A & 1 << TXC0) == 0) {
    }
    cli();
    sleep_enable();
    sleep_cpu();
    return 0;
}
