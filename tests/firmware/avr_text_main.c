/* The text drawer on an ATmega2560 in simavr: the shipped drawer, half-width font and reader
 * built with avr-gcc, whose int is 16 bits wide and whose __memx pointers reach both fonts
 * above the first 64 KB of flash, as far pointers do on the 78K0R. The screens go out through
 * USART0. */
#include "avr_uart.h"
#include "text_screen.h"

int main(void) {
    avr_uart_start();
    text_screen_print(avr_uart_put);
    avr_uart_stop();
    return 0;
}
