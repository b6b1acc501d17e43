/* What the text drawer makes of one string on a 128 x 32 screen, printed by the simulated
 * micro-controller and by the host from the same code, so that the two outputs agree byte for
 * byte exactly when the drawer drew the same pixels and laid out the same widths. C89, no
 * library.
 *
 * The string is TEXT_SCREEN_STRING of text_screen_string.h, which the test script writes from
 * the string's file. */
#ifndef GLYFOR_TEXT_SCREEN_H
#define GLYFOR_TEXT_SCREEN_H

/* Draws the string at a few places, clipped at every edge, and prints each screen as 32 lines
 * of 32 hexadecimal digits after a line "screen X Y end E"; then the string's width, the ends
 * of draws far outside the screen, and "end". All numbers are the low 16 bits of an int in
 * four hexadecimal digits. A line "... ok" or "... bad" checks what a 16-bit int holds back
 * (the x of a run-away line stops at INT_MAX) against what a wider one gives. */
void text_screen_print(void (*put)(char c));

#endif
