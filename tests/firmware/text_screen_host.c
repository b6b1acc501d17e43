/* The host's side of the simulated text drawer: the same screens, on standard output. */
#include <stdio.h>

#include "text_screen.h"

static void put(char c) {
    putchar(c);
}

int main(void) {
    text_screen_print(put);
    return fflush(stdout) == 0 ? 0 : 1;
}
