#!/bin/sh
# The shipped text drawer on a simulated 16-bit micro-controller with far constant memory:
# built with avr-gcc for an ATmega2560, with the half-width font and the Kanji reader around a
# font of the string's kanji but one, both fonts placed above the first 64 KB of flash, and run
# in simavr. The screens it sends must be, byte for byte, those of the same code on the host,
# built there in the other byte form, and those must be the golden pictures GOLDEN.
# Usage: avr_text_test.sh GLYFOR_CLI CC GOLDEN WORK_DIR
set -eu

cli=$1
cc=$2
golden=$3
work=$4
here=$(cd "$(dirname "$0")" && pwd)
firmware=$(cd "$here/../../firmware" && pwd)

# shellcheck source=tests/firmware/avr_support.sh
. "$here/avr_support.sh"

rm -rf "$work"
mkdir -p "$work/host" "$work/avr"
# The string: kanji, ASCII, half-width katakana, a line break, 亜 (0x889F), which the font is
# made without, and the user-defined code 0xF040, which no font holds.
text=$here/avr_text.txt
LC_ALL=C sed 's/\x88\x9f//g' "$text" > "$work/kanji.txt"
"$cli" generate -q -o "$work/host/font.inc" "$work/kanji.txt"
"$cli" generate -q --signed -o "$work/avr/font.inc" "$work/kanji.txt"
# The string as a C literal, every byte an octal escape.
{
    printf '#define TEXT_SCREEN_STRING "'
    od -An -v -to1 "$text" | tr -s ' ' '\n' | awk '$1 != "" { printf "\\%s", $1 }'
    printf '"\n'
} > "$work/text_screen_string.h"

sources="$here/text_screen.c $firmware/font_text.c $firmware/font_ank.c $firmware/font_kanji.c"
# shellcheck disable=SC2086
"$cc" -std=c89 -pedantic -Wall -Wextra -Wconversion -Werror -Wno-unknown-pragmas -D__far= \
    -funsigned-char -DFONT_KANJI_FILE='"font.inc"' -I "$work/host" -I "$work" -I "$here" \
    -I "$firmware" -o "$work/host/text_screen" "$here/text_screen_host.c" $sources
"$work/host/text_screen" > "$work/host/screens.txt"

# avr-gcc's plain char is signed: the signed form, as the README tells. The filler comes
# first, so that the fonts take the flash above it.
# shellcheck disable=SC2086
avr-gcc -mmcu=atmega2560 -Os -std=gnu89 -Wall -Wextra -Wconversion -Werror -Wfatal-errors \
    -Wno-unknown-pragmas -D__far=__memx -DFONT_ANK_SIGNED -DFONT_KANJI_FILE='"font.inc"' \
    -I "$work/avr" -I "$work" -I "$here" -I "$firmware" -o "$work/avr/text.elf" \
    "$here/avr_filler.c" "$here/avr_text_main.c" $sources
for symbol in font_kanji1 font_ank_glyphs; do
    address=$(avr_address "$work/avr/text.elf" "$symbol")
    if ! avr_above_64k "$address"; then
        echo "avr_text: $symbol at '$address', not in flash above 0x10000" >&2
        exit 1
    fi
    echo "avr_text: $symbol at 0x$address"
done
ms=$(avr_run "$work/avr/text.elf" "$work/avr" text)
echo "avr_text: simulated in $ms ms"

# The screens as pictures, for the log and for whoever reads a difference.
picture() {
    awk '/^[0-9a-f]+$/ {
             line = ""
             for (i = 1; i <= length($0); i++) {
                 d = index("0123456789abcdef", substr($0, i, 1)) - 1
                 for (b = 3; b >= 0; b--) line = line (int(d / 2 ^ b) % 2 ? "#" : ".")
             }
             print line
             next
         }
         { print }' "$1"
}
picture "$work/avr/uart.txt" > "$work/avr/screens.picture"
picture "$work/host/screens.txt" > "$work/host/screens.picture"
failed=0
# The host's screens against the golden pictures, which were checked by eye: a fault of the
# drawer shows here, on both sides alike.
if ! cmp -s "$golden" "$work/host/screens.picture"; then
    echo "avr_text: the host's screens differ from $golden" >&2
    diff "$golden" "$work/host/screens.picture" >&2 || true
    failed=1
fi
if ! cmp -s "$work/host/screens.txt" "$work/avr/uart.txt"; then
    echo "avr_text: the simulated screens differ from the host's" >&2
    diff "$work/host/screens.picture" "$work/avr/screens.picture" >&2 || true
    failed=1
fi
[ "$failed" -eq 0 ] || exit 1
# The first screen, for the log.
awk 'NR > 1 && /^screen/ { exit } { print }' "$work/avr/screens.picture"
echo "avr_text: the screens are the host's and the golden ones"
