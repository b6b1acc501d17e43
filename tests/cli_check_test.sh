#!/bin/sh
# glyfor-cli's literal-only collection, check, preview and the warnings where characters are
# lost, as a firmware build and its CI see them: exit codes and the exact lines on stderr.
# Usage: cli_check_test.sh GLYFOR_CLI FIXTURE_DIR WORK_DIR
set -eu

cli=$1
fixtures=$2
work=$3

. "$(dirname "$0")/cli_support.sh"

# stderr_is PRINTF_FORMAT: stderr is exactly these bytes.
stderr_is() {
    # shellcheck disable=SC2059
    printf "$1" > "$work/expected_stderr"
    cmp -s "$work/expected_stderr" "$work/stderr" ||
        fail "stderr: $(cat "$work/stderr"); expected: $(cat "$work/expected_stderr")"
}

# A Glyfor.ini as the window saves it, entry 5 (string literals only) as given.
# write_ini FILE LITERALS
write_ini() {
    {
        printf '20\r\n0\r\n0\r\n0\r\n0\r\n0\r\n%s\r\n' "$2"
        for entry in 6 7 8 9 10 11 12 13 14 15 16 17 18 19; do printf '0\r\n'; done
        printf '5\r\n\r\n\r\n\r\n\r\n\r\n'
    } > "$1"
}

# The same bytes from every run.
export SOURCE_DATE_EPOCH=1765321500
rm -rf "$work"
mkdir -p "$work"
cp "$fixtures/literals.c" "$work/literals.c"
# The characters of the fixture's strings and character literals, worked out by hand (as in
# its unit test): 温度 時計 設定 開始 停止 エラー 表示 ソフト 応用機能 予約 十分 電池残量 ％℃
# 警告 異常.
printf '\211\267\223\170\216\236\214\166\220\335\222\350\212\112\216\156\222\342\216\176' \
    > "$work/literal_chars.txt"
printf '\203\107\203\211\201\133\225\134\216\246\203\134\203\164\203\147\211\236\227\160' \
    >> "$work/literal_chars.txt"
printf '\213\100\224\134\227\134\226\361\217\134\225\252\223\144\222\162\216\143\227\312' \
    >> "$work/literal_chars.txt"
printf '\201\223\201\216\214\170\215\220\210\331\217\355' >> "$work/literal_chars.txt"
write_ini "$work/literals.ini" 1
write_ini "$work/plain.ini" 0

# --literals, or entry 5 of the settings: the literal set, and how many characters it leaves
# out; without either, every character as before.
(cd "$work" && "$cli" scan literal_chars.txt > literal_set.txt 2> /dev/null)
(cd "$work" && "$cli" generate -o literal_ref.inc literal_chars.txt)
while IFS='|' read -r name args; do
    before=$failed
    # shellcheck disable=SC2086
    if run 0 scan $args literals.c; then
        current="scan: $name"
        cmp -s "$work/stdout" "$work/literal_set.txt" || fail "not the literal set"
        stderr_is '36 characters detected\n72 characters skipped: only outside string literals\n'
    fi
    # shellcheck disable=SC2086
    if run 0 generate $args -o literal.inc literals.c; then
        current="generate: $name"
        cmp -s "$work/literal.inc" "$work/literal_ref.inc" || fail "not the font of the literal set"
    fi
    done_case "$before"
done <<EOF
--literals|--literals
entry 5 of the settings|--settings literals.ini
both|--literals --settings literals.ini
EOF
for args in "" "--settings plain.ini"; do
    before=$failed
    # shellcheck disable=SC2086
    if run 0 scan $args literals.c; then
        stderr_is '108 characters detected\n'
        [ "$(wc -c < "$work/stdout")" -eq $((108 * 2 + 3 * 2)) ] || fail "not all 108 characters"
    fi
    done_case "$before"
done

# A small firmware project: its font, generated from its sources, and check as a CI step.
mkdir -p "$work/proj"
# 表示 in a comment only; 温度 in a string after a tab.
printf '/* \225\134\216\246 */\n#include "menu.h"\n\tconst char *t = "\211\267\223\170";\n' \
    > "$work/proj/main.c"
# 開始 and 停止, the second a line further down.
printf 'const char *a = "\212\112\216\156";\r\nconst char *b = "\222\342\216\176";\r\n' \
    > "$work/proj/menu.c"
(cd "$work/proj" && "$cli" generate -q -o all.inc main.c menu.c &&
    "$cli" generate -q --literals -o literal.inc main.c menu.c)

while IFS='|' read -r name args status message; do
    before=$failed
    # shellcheck disable=SC2086
    if run "$status" check $args; then
        current="check: $name"
        # shellcheck disable=SC2059
        stderr_is "$message"
        [ ! -s "$work/stdout" ] || fail "output on stdout"
    fi
    done_case "$before"
done <<EOF
complete sources|--font proj/all.inc proj/main.c proj/menu.c|0|0 characters missing from proj/all.inc; 0 characters of it used by no FILE (0 x 28 = 0 bytes of flash)\n
unused characters|--font proj/all.inc proj/menu.c|0|0 characters missing from proj/all.inc; 4 characters of it used by no FILE (4 x 28 = 112 bytes of flash)\n
comment characters count without --literals|--font proj/literal.inc proj/main.c proj/menu.c|1|proj/main.c:1:4: error: 0x955c is not in proj/literal.inc (\225\134)\nproj/main.c:1:6: error: 0x8ea6 is not in proj/literal.inc (\216\246)\n2 characters missing from proj/literal.inc; 0 characters of it used by no FILE (0 x 28 = 0 bytes of flash)\n
--literals ignores comments|--literals --font proj/literal.inc proj/main.c proj/menu.c|0|0 characters missing from proj/literal.inc; 0 characters of it used by no FILE (0 x 28 = 0 bytes of flash)\n
EOF

# One added character, after a tab and two double-byte characters, at line 3 and byte column
# 11; used again later and in the next file, it is reported once, at its first use.
before=$failed
printf 'int x;\n\n\tp = "\211\267\223\170\212\277";\n\212\277\n' > "$work/proj/added.c"
printf '"\212\277"\n' > "$work/proj/again.c"
if run 1 check -q --font proj/all.inc proj/main.c proj/added.c proj/again.c; then
    stderr_is 'proj/added.c:3:11: error: 0x8abf is not in proj/all.inc (\212\277)\n1 characters missing from proj/all.inc; 4 characters of it used by no FILE (4 x 28 = 112 bytes of flash)\n'
fi
done_case "$before"

# Only the first "--" ends the options, so a FILE after a second one is checked too.
before=$failed
cp "$work/proj/main.c" "$work/--"
if run 1 check -q --font proj/all.inc -- proj/main.c -- proj/added.c; then
    stderr_is 'proj/added.c:3:11: error: 0x8abf is not in proj/all.inc (\212\277)\n1 characters missing from proj/all.inc; 4 characters of it used by no FILE (4 x 28 = 112 bytes of flash)\n'
fi
rm -f "$work/--"
done_case "$before"

# A glyph drawn by hand is no fault, but check and preview say how many differ.
before=$failed
current="a hand-drawn glyph"
awk 'done || !/^\t[,]?\{/ {print; next} {sub(/\{[0-9]+/, "{255"); print; done=1}' \
    "$work/proj/all.inc" > "$work/proj/drawn.inc"
cmp -s "$work/proj/all.inc" "$work/proj/drawn.inc" && fail "drawn.inc has no glyph drawn"
if run 0 check -q --font proj/drawn.inc proj/main.c proj/menu.c; then
    stderr_has 'proj/drawn.inc: note: 1 glyphs differ from the built-in font'
fi
if run 0 preview -o drawn.png proj/drawn.inc; then
    stderr_has 'proj/drawn.inc: note: 1 glyphs differ from the built-in font'
fi
if run 0 check -q --font proj/all.inc proj/main.c proj/menu.c; then
    grep -q 'note:' "$work/stderr" && fail "a note for an unchanged font"
fi
done_case "$before"

# A damaged FONT names its line; a FILE or FONT that cannot be read is named with the reason.
sed 's/^\(#define FONT_KANJI_NUM[^0-9]*[0-9]*\)/\11/' "$work/proj/all.inc" > "$work/proj/damaged.inc"
num_line=$(grep -n 'FONT_KANJI_NUM' "$work/proj/damaged.inc" | cut -d: -f1)
current="damaging NUM"
cmp -s "$work/proj/all.inc" "$work/proj/damaged.inc" && fail "damaged.inc is not damaged"
printf '' > "$work/proj/empty.inc"
while IFS='|' read -r args message; do
    before=$failed
    # shellcheck disable=SC2086
    if run 1 check $args; then
        stderr_has "$message"
        grep -q 'characters missing' "$work/stderr" && fail "a summary despite the error"
    fi
    done_case "$before"
done <<EOF
--font proj/damaged.inc proj/main.c|proj/damaged.inc:$num_line: error:
--font proj/empty.inc proj/main.c|proj/empty.inc:1: error:
--font proj/all.inc proj/main.c proj/missing.c|glyfor-cli: proj/missing.c: No such file or directory
--font proj/nofont.inc proj/main.c|glyfor-cli: proj/nofont.inc: No such file or directory
EOF

# Usage errors of check and preview: exit 2.
while IFS='|' read -r args message; do
    before=$failed
    # shellcheck disable=SC2086
    if run 2 $args; then
        stderr_has "$message"
        stderr_has "Try 'glyfor-cli --help'."
    fi
    done_case "$before"
done <<EOF
check proj/main.c|check needs --font FONT
check --font proj/all.inc|check needs at least one input FILE
check proj/main.c --font|option --font needs a file name
check --settings x.ini --font proj/all.inc proj/main.c|unknown option --settings
preview|preview needs one FONT
preview proj/all.inc proj/literal.inc|preview needs one FONT
preview --scale 9 proj/all.inc|--scale must be a whole number from 1 to 8
preview --scale 0 proj/all.inc|--scale must be a whole number from 1 to 8
preview --scale 3x proj/all.inc|--scale must be a whole number from 1 to 8
preview --scale -3 proj/all.inc|--scale must be a whole number from 1 to 8
generate --preview g.png --scale 9 proj/main.c|--scale must be a whole number from 1 to 8
EOF
[ -e "$work/Glyfor.inc" ] && fail "generate wrote a font despite a wrong --scale"

# png_size FILE: "WIDTH HEIGHT" from the IHDR chunk, after checking the PNG signature.
png_size() {
    [ "$(head -c 16 "$1" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a0000000d49484452 ] ||
        { echo "not a PNG"; return; }
    head -c 24 "$1" | tail -c 8 | od -An -tu1 | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4, $5 * 16777216 + $6 * 65536 + $7 * 256 + $8 }'
}

# preview: a PNG of 16 cells to a row sharing one-pixel borders, each 14 x 16 dots at the
# scale and so 14 and 16 pixels wider and taller for each step of it; default OUT is FONT's
# name with .png.
mkdir -p "$work/many"
# 17 characters: two rows of cells.
printf '\210\237\210\240\210\241\210\242\210\243\210\244\210\245\210\246\210\247\210\250' > "$work/many/chars.txt"
printf '\210\251\210\252\210\253\210\254\210\255\210\256\210\257' >> "$work/many/chars.txt"
(cd "$work/many" && "$cli" generate -q -o many.inc chars.txt)
before=$failed
sizes=""
for scale in 7 8; do
    if run 0 preview --scale "$scale" -o "many/$scale.png" many/many.inc; then
        sizes="$sizes $(png_size "$work/many/$scale.png")"
    fi
done
current="preview sizes$sizes"
echo "$sizes" | awk '{ w7 = $1 - 1; h7 = $2 - 1; w8 = $3 - 1; h8 = $4 - 1
    exit !(w7 % 16 == 0 && h7 % 2 == 0 && w8 / 16 - w7 / 16 == 14 && h8 / 2 - h7 / 2 == 16) }' ||
    fail "not 16 x 2 cells growing by one glyph a scale step"
if run 0 preview many/many.inc && run 0 preview --scale 3 -o - many/many.inc; then
    cmp -s "$work/stdout" "$work/many/many.png" || fail "default is not scale 3 into many/many.png"
fi
done_case "$before"

before=$failed
if run 1 preview -o bad.png proj/damaged.inc; then
    stderr_has "proj/damaged.inc:$num_line: error:"
    [ -e "$work/bad.png" ] && fail "a picture of a damaged font"
fi
done_case "$before"

# generate --preview draws the file it wrote, also when that went to stdout.
before=$failed
if run 0 generate -q --preview gen.png --scale 2 -o gen.inc proj/main.c proj/menu.c &&
    run 0 preview --scale 2 -o read.png gen.inc; then
    cmp -s "$work/gen.png" "$work/read.png" || fail "not the picture of the written file"
fi
if run 0 generate -q --preview stdout.png --scale 2 -o - proj/main.c proj/menu.c; then
    cmp -s "$work/stdout" "$work/gen.inc" || fail "stdout is not the font"
    cmp -s "$work/stdout.png" "$work/gen.png" || fail "not the picture of the font on stdout"
fi
done_case "$before"

# Warnings: 髙 (0xfbfc) after 亜 at line 2, column 9; 0x82fa, blank in the built-in font,
# twice at line 3 from column 6; 﨑 (0xfab1) in a comment on line 5; 髙 again on line 4 and
# in the second file, which warns once more.
printf 'int x;\n\ts = "\210\237\373\374";\nx = "\202\372\202\372";\n\373\374\n/* \372\261 */\n' \
    > "$work/warn.c"
printf '"\373\374"\n' > "$work/warn2.c"
dropped='is a user-defined or vendor code the font lacks; the character is dropped'
warn_fbfc="warn.c:2:9: warning: 0xfbfc $dropped (\373\374)\n"
warn_82fa='warn.c:3:6: warning: 0x82fa has a blank glyph in the built-in font (\202\372)\n'
warn_fab1="warn.c:5:4: warning: 0xfab1 $dropped (\372\261)\n"
warn2_fbfc="warn2.c:1:2: warning: 0xfbfc $dropped (\373\374)\n"
while IFS='|' read -r args message; do
    before=$failed
    # shellcheck disable=SC2086
    if run 0 $args warn.c warn2.c; then
        stderr_is "$message"
    fi
    done_case "$before"
done <<EOF
scan|$warn_fbfc$warn_82fa$warn_fab1${warn2_fbfc}2 characters detected\n
scan --literals|$warn_fbfc$warn_82fa${warn2_fbfc}2 characters detected\n0 characters skipped: only outside string literals\n
scan -q|2 characters detected\n
generate -o warn.inc|$warn_fbfc$warn_82fa$warn_fab1$warn2_fbfc
generate -q -o warn.inc|
EOF

# check warns as well, of the blank glyphs of FONT, and its exit code is unchanged.
before=$failed
if run 0 check --font warn.inc warn.c; then
    stderr_is "$warn_fbfc$(printf '%s' "$warn_82fa" | sed 's/the built-in font/warn.inc/')${warn_fab1}0 characters missing from warn.inc; 0 characters of it used by no FILE (0 x 28 = 0 bytes of flash)\n"
fi
done_case "$before"

# The walk for the warnings also where the scan cannot reread its FILE (a FIFO), and when the
# user-defined lead byte comes right after a character's trail at the start of a block of the
# scan (﨑, 0xfab1, whose trail byte could not be taken for a lead byte either).
before=$failed
rm -f "$work/fifo.c"
mkfifo "$work/fifo.c"
timeout 60 cp "$work/warn.c" "$work/fifo.c" &
writer=$!
if run 0 scan fifo.c; then
    stderr_is "$(printf '%s' "$warn_fbfc$warn_82fa$warn_fab1" | sed 's/warn\.c/fifo.c/g')2 characters detected\n"
fi
wait "$writer" || fail "the FIFO got no reader"
{
    head -c 65535 /dev/zero | tr '\0' 'a'
    printf '\210\237\372\261'
} > "$work/boundary.c"
if run 0 scan boundary.c; then
    stderr_is "boundary.c:1:65538: warning: 0xfab1 $dropped (\372\261)\n1 characters detected\n"
fi
done_case "$before"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
