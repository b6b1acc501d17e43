# shellcheck shell=sh
# Shell functions of the simulated micro-controller's tests, sourced by their scripts.

# avr_run ELF OUT_DIR NAME: runs the program in simavr, at most 30 s, leaves what it sent
# through the UART in OUT_DIR/uart.txt and prints how many milliseconds the run took; a failed
# or endless run fails.
avr_run() {
    start_=$(date +%s%N)
    timeout 30 simavr -m atmega2560 -f 16000000 "$1" > "$2/simavr.out" 2> "$2/simavr.err" || {
        echo "avr: $3: simavr failed, or ran over 30 s" >&2
        return 1
    }
    end_=$(date +%s%N)
    # simavr prints the UART's bytes a line at a time in colour, its line break as a dot.
    sed -e 's/\x1b\[[0-9;]*m//g' -e '/^$/d' -e 's/\.$//' "$2/simavr.err" > "$2/uart.txt"
    echo $(((end_ - start_) / 1000000))
}

# avr_address ELF SYMBOL: the address of the symbol, in hexadecimal, or nothing.
avr_address() {
    avr-nm "$1" | awk -v symbol="$2" '$3 == symbol { print $1 }'
}

# avr_above_64k ADDRESS: whether the address lies in flash above the first 64 KB.
avr_above_64k() {
    [ -n "$1" ] && [ $((0x$1)) -ge $((0x10000)) ] && [ $((0x$1)) -lt $((0x800000)) ]
}
