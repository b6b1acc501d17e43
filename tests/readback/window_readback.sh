#!/bin/sh
# Compiles the font file the window generated in the command tests' session test (both options
# on, so signed data) with the host C compiler and reads every glyph of the scanned text back.
# The expected pixels come from the Windows build's glyph_dump, run by the given command, which
# sees the work directory through Wine's drive Z:.
# Usage: window_readback.sh CC WORK_DIR GLYPH_DUMP_COMMAND...
set -eu

cc=$1
work=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)

. "$here/check_font.sh"

for kept in menu.inc menu.txt; do
    if [ ! -f "$work/$kept" ]; then
        echo "readback: $work/$kept is missing: the command tests did not keep it" >&2
        exit 1
    fi
done
rm -rf "$work/pixels.txt" "$work/all_cells.txt" "$work/menu.reader"
"$@" "Z:$work/pixels.txt" "Z:$work/all_cells.txt"
check_font "$cc" "$work/pixels.txt" "$work/menu.inc" signed "$work/menu.txt"
