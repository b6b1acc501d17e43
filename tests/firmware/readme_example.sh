#!/bin/sh
# The menu screen of the README's "Using the font in firmware", built as C89 with the shipped
# drawer, fonts and reader around a generated font, in the byte form the README prescribes for
# the host compiler's signed char, and run: the title must come out centred and the items
# where the example puts them.
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
# The example's kanji: 設定, 時計, 言語.
printf '\220\335\222\350\216\236\214\166\214\276\214\352' > "$work/kanji.txt"
"$cli" generate --signed -o "$work/Glyfor.inc" "$work/kanji.txt"
strict="-std=c89 -pedantic -Wall -Wextra -Wconversion -Werror -Wno-unknown-pragmas -D__far="
for source in font_kanji font_ank font_text; do
    # shellcheck disable=SC2086
    "$cc" $strict -fsigned-char -DFONT_ANK_SIGNED -I "$firmware" -I "$work" \
        -c -o "$work/$source.o" "$firmware/$source.c"
done
# shellcheck disable=SC2086
"$cc" $strict -I "$firmware" -c -o "$work/example.o" "$work/example.c"
"$cc" -std=gnu11 -Wall -Wextra -Werror -D__far= -I "$firmware" -o "$work/example" \
    "$tests/firmware/readme_example_main.c" "$work/example.o" "$work/font_kanji.o" \
    "$work/font_ank.o" "$work/font_text.o"
"$work/example"
