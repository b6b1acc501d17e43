/* The output of the programs run on an ATmega2560 in simavr: USART0, which simavr prints a
 * line at a time, and the end of the run, which is sleeping with interrupts off. */
#ifndef GLYFOR_AVR_UART_H
#define GLYFOR_AVR_UART_H

#include <avr/interrupt.h>
#include <avr/io.h>
#include <avr/sleep.h>

/* The fastest rate the clock allows, 2 Mbit/s: simavr times the bytes as sent. */
static void avr_uart_start(void) {
    UBRR0 = 0;
    UCSR0A = 1 << U2X0;
    UCSR0B = 1 << TXEN0;
}

static void avr_uart_put(char c) {
    while ((UCSR0A & 1 << UDRE0) == 0) {
    }
    UDR0 = (unsigned char)c;
}

/* Waits for the last byte to leave, then ends the simulation. */
static void avr_uart_stop(void) {
    while ((UCSR0A & 1 << TXC0) == 0) {
    }
    cli();
    sleep_enable();
    sleep_cpu();
}

#endif
