#!/bin/sh
# The frame-buffer example of the README's "Using the font in firmware", built as C89 with the
# shipped reader around a generated font and run: the string must land in the frame glyph for
# glyph, its single-byte characters handed to the firmware's own font.
# Usage: readme_example.sh README GLYFOR_CLI CC WORK_DIR
set -eu

readme=$1
cli=$2
cc=$3
work=$4
tests=$(cd "$(dirname "$0")/.." && pwd)
firmware=$(cd "$tests/../firmware" && pwd)

rm -rf "$work"
mkdir -p "$work"
awk '/^## Using the font in firmware/ { section = 1; next }
     /^## / { section = 0 }
     section && /^```c$/ { code = 1; next }
     code && /^```$/ { code = 0; exit }
     code' "$readme" > "$work/example.c"
if [ ! -s "$work/example.c" ]; then
    echo "readme_example: no C example in $readme" >&2
    exit 1
fi
# 亜 and 漢 in the font; the ideographic space of the test string is not.
printf '\210\237\212\277' > "$work/kanji.txt"
"$cli" generate -o "$work/Glyfor.inc" "$work/kanji.txt"
strict="-std=c89 -pedantic -Wall -Wextra -Wconversion -Werror -Wno-unknown-pragmas -D__far="
# shellcheck disable=SC2086
"$cc" $strict -funsigned-char -I "$firmware" -I "$work" -c -o "$work/font_kanji.o" \
    "$firmware/font_kanji.c"
# shellcheck disable=SC2086
"$cc" $strict -I "$firmware" -c -o "$work/example.o" "$work/example.c"
"$cc" -std=gnu11 -Wall -Wextra -Werror -D__far= -I "$firmware" -o "$work/example" \
    "$tests/firmware/readme_example_main.c" "$work/example.o" "$work/font_kanji.o"
"$work/example"
