#!/bin/sh
# The shipped reader on a simulated 16-bit micro-controller with far constant memory: built
# with avr-gcc for an ATmega2560 around a one-page font of every ninth cell of the grid, placed
# above the first 64 KB of flash, and run in simavr. Its walk over the font must print exactly
# what the host predicts from the built-in glyphs.
# Usage: avr_test.sh GLYFOR_CLI GLYPH_DUMP CC WORK_DIR
set -eu

cli=$1
glyph_dump=$2
cc=$3
work=$4
here=$(cd "$(dirname "$0")/../readback" && pwd)
tests=$(cd "$here/.." && pwd)
firmware=$(cd "$tests/../firmware" && pwd)

. "$here/check_font.sh"
# shellcheck source=tests/firmware/avr_support.sh
. "$tests/firmware/avr_support.sh"

rm -rf "$work"
mkdir -p "$work"
"$glyph_dump" "$work/pixels.txt" "$work/all_cells.txt"
# Every ninth cell: 982 glyphs, 27496 bytes, one array below avr-gcc's limit of 32767 bytes
# per object, with gaps on both sides of every code for the search to miss. awk writes the
# bytes as octal escapes for printf, which any awk and shell turn into the same bytes.
# shellcheck disable=SC2059
printf "$(od -An -v -tu1 "$work/all_cells.txt" | tr -s ' ' '\n' |
    awk '$1 != "" && $1 != 13 && $1 != 10 {
             if (n % 2 == 0) lead = $1;
             else if (int(n / 2) % 9 == 0) printf "\\%03o\\%03o", lead, $1;
             n++
         }')" > "$work/ninth.txt"
"$cli" generate -o "$work/ninth.inc" "$work/ninth.txt"
"$cli" generate --signed -o "$work/ninth_signed.inc" "$work/ninth.txt"
"$cli" generate -o "$work/all_cells.inc" "$work/all_cells.txt"

# The prediction comes from the built-in glyphs alone; the host's reading of the same font is
# checked on the way, and a fault there still lets the simulated runs show theirs.
failed=0
compile_font "$cc" "$work/ninth.inc" unsigned "$work/host"
"$work/host/reader" --walk "$work/expected.txt" "$work/pixels.txt" "$work/ninth.txt" ||
    failed=1

# avr_build NAME FONT_FILE AVR_GCC_OPTION...: builds NAME/walk.elf, the filler first so that
# it takes the low flash.
avr_build() {
    dir_=$work/$1
    font_=$2
    shift 2
    mkdir -p "$dir_"
    cp "$font_" "$dir_/font.inc"
    avr-gcc -mmcu=atmega2560 -Os -std=gnu89 -Wall -Wextra -Wconversion -Werror -Wfatal-errors -Wno-unknown-pragmas \
        -D__far=__memx -DFONT_KANJI_FILE='"font.inc"' -I "$dir_" -I "$firmware" \
        -I "$tests/firmware" "$@" -o "$dir_/walk.elf" "$tests/firmware/avr_filler.c" \
        "$tests/firmware/avr_main.c" "$tests/firmware/walk.c" "$firmware/font_kanji.c" \
        2> "$dir_/errors.txt"
}

# expect_refused NAME FONT_FILE MESSAGE AVR_GCC_OPTION...: the build must fail with MESSAGE.
expect_refused() {
    name_=$1
    font_=$2
    message_=$3
    shift 3
    if avr_build "$name_" "$font_" "$@"; then
        echo "avr: $name_ built, but must not" >&2
        exit 1
    fi
    if ! grep -q "$message_" "$work/$name_/errors.txt"; then
        echo "avr: $name_ failed without '$message_':" >&2
        cat "$work/$name_/errors.txt" >&2
        exit 1
    fi
    echo "avr: $name_ refused: $message_"
}

# run_walk NAME: the font must lie above 64 KB, and the walk print what the host predicts.
run_walk() {
    elf_=$work/$1/walk.elf
    address_=$(avr_address "$elf_" font_kanji1)
    if ! avr_above_64k "$address_"; then
        echo "avr: $1: font_kanji1 at '$address_', not in flash above 0x10000" >&2
        exit 1
    fi
    ms_=$(avr_run "$elf_" "$work/$1" "$1")
    echo "avr: $1: font_kanji1 at 0x$address_, simulated in $ms_ ms"
    if ! cmp -s "$work/expected.txt" "$work/$1/uart.txt"; then
        echo "avr: $1: the walk differs from the host's" >&2
        diff "$work/expected.txt" "$work/$1/uart.txt" >&2 || true
        failed=1
        return
    fi
    echo "avr: $1: the walk is the host's"
}

avr_build unsigned "$work/ninth.inc" -funsigned-char || { cat "$work/unsigned/errors.txt" >&2; exit 1; }
run_walk unsigned
avr_build signed "$work/ninth_signed.inc" || { cat "$work/signed/errors.txt" >&2; exit 1; }
run_walk signed
# avr-gcc's plain char is signed: the unsigned form needs -funsigned-char, or else the signed
# form. And a page of 2304 glyphs is more than one object may hold.
expect_refused unsigned_as_signed "$work/ninth.inc" "conversion to .char. alters"
expect_refused all_cells "$work/all_cells.inc" "too large" -funsigned-char
cat "$work/expected.txt"
exit "$failed"
