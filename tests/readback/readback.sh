#!/bin/sh
# Generates font source files with glyfor-cli, compiles each with the host C compiler as the
# firmware's compiler would see it, and reads every glyph back through the index table.
# Usage: readback.sh GLYFOR_CLI GLYPH_DUMP CC WORK_DIR
set -eu

cli=$1
glyph_dump=$2
cc=$3
work=$4
here=$(cd "$(dirname "$0")" && pwd)

. "$here/check_font.sh"

rm -rf "$work"
mkdir -p "$work"
"$glyph_dump" "$work/pixels.txt" "$work/all_cells.txt"
printf 'no kanji at all\r\n' > "$work/ascii.txt"

# name | generate options | char signedness the file is meant for | inputs
while IFS='|' read -r name options signedness inputs; do
    # shellcheck disable=SC2086
    "$cli" generate $options -o "$work/$name.inc" $inputs
    check_font "$cc" "$work/pixels.txt" "$work/$name.inc" "$signedness" $inputs
done <<EOF
all_cells||unsigned|$work/all_cells.txt
all_cells_signed|--signed|signed|$work/all_cells.txt
all_cells_ccrl|--cc-rl|unsigned|$work/all_cells.txt
all_cells_ccrl_signed|--cc-rl --signed|signed|$work/all_cells.txt
sample||unsigned|$here/sample.txt
sample_signed|--signed|signed|$here/sample.txt
sample_and_empty|--cc-rl|unsigned|$here/sample.txt $work/ascii.txt
empty||unsigned|$work/ascii.txt
EOF

# The check must have teeth: glyph bytes printed for the other signedness overflow a char.
if compile_font "$cc" "$work/all_cells.inc" signed "$work/wrong" 2>/dev/null; then
    echo "readback: an unsigned file compiled as signed char without complaint" >&2
    exit 1
fi
echo "readback: all files passed"
