#!/bin/sh
# glyfor-cli as a build script uses it: exit codes, messages, and output files that are either
# complete or not there at all.
# Usage: cli_test.sh GLYFOR_CLI GLYPH_DUMP CC WORK_DIR
set -eu

cli=$1
glyph_dump=$2
cc=$3
work=$4
here=$(cd "$(dirname "$0")/readback" && pwd)
sample="$here/sample.txt"

. "$here/check_font.sh"

. "$(dirname "$0")/cli_support.sh"

no_file() {
    [ ! -e "$work/$1" ] || fail "$1 was left behind"
}

rm -rf "$work"
mkdir -p "$work"
"$glyph_dump" "$work/pixels.txt" "$work/all_cells.txt"
printf 'ASCII only\r\n' > "$work/ascii.txt"
# 亜 and Ａ and a lone lead byte at the end. The sample ends in a lead byte too, which must not
# pair with the first byte of the next file.
printf '\210\237\202\140\210' > "$work/extra.txt"
printf '\220\237' > "$work/-dash.txt"

# Generating: options may follow the files; the result reads back with every glyph intact.
# (The sample holds user-defined codes, whose warnings -q keeps out.)
before=$failed
if run 0 generate -q -o out.inc "$sample" --signed extra.txt; then
    [ ! -s "$work/stdout" ] || fail "unexpected output: $(cat "$work/stdout")"
    [ ! -s "$work/stderr" ] || fail "unexpected messages: $(cat "$work/stderr")"
    no_file out.inc.tmp
    check_font "$cc" "$work/pixels.txt" "$work/out.inc" signed "$sample" "$work/extra.txt" \
        > /dev/null || fail "read-back failed"
fi
done_case "$before"

# Without -o the file is Glyfor.inc in the current directory; an existing file is replaced.
before=$failed
printf 'old contents\n' > "$work/Glyfor.inc"
if run 0 generate --cc-rl ascii.txt extra.txt; then
    grep -q '^#pragma section const' "$work/Glyfor.inc" || fail "Glyfor.inc not rewritten"
    grep -q 'old contents' "$work/Glyfor.inc" && fail "old contents kept"
    check_font "$cc" "$work/pixels.txt" "$work/Glyfor.inc" unsigned "$work/extra.txt" \
        > /dev/null || fail "read-back failed"
fi
done_case "$before"

# "--" ends the options, so a file name may start with a dash.
before=$failed
if run 0 generate -o dash.inc -- -dash.txt; then
    grep -q '0x909f' "$work/dash.inc" || fail "the character of -dash.txt is missing"
fi
done_case "$before"

# A missing or unreadable input: exit 1, the file named with the reason, and the previous
# output left exactly as it was.
for input in missing.txt .; do
    before=$failed
    cp "$work/out.inc" "$work/kept.inc"
    if run 1 generate -o kept.inc "$sample" "$input"; then
        stderr_has "glyfor-cli: $input: "
        cmp -s "$work/out.inc" "$work/kept.inc" || fail "kept.inc was changed"
        no_file kept.inc.tmp
    fi
    done_case "$before"
done
before=$failed
if run 1 generate -o fresh.inc missing.txt; then
    stderr_has "glyfor-cli: missing.txt: No such file or directory"
    no_file fresh.inc
fi
done_case "$before"

# An output that cannot be written: exit 1, the path named, nothing left behind.
before=$failed
mkdir -p "$work/outdir"
if run 1 generate -o outdir "$sample"; then
    stderr_has "glyfor-cli: outdir: "
    [ -d "$work/outdir" ] || fail "outdir is no longer a directory"
    no_file outdir.tmp
fi
done_case "$before"
before=$failed
if run 1 generate -o nodir/font.inc "$sample"; then
    stderr_has "glyfor-cli: nodir/font.inc: No such file or directory"
    no_file nodir
fi
done_case "$before"

# Usage errors: exit 2, a hint on stderr, nothing written.
while IFS='|' read -r args message; do
    before=$failed
    # shellcheck disable=SC2086
    if run 2 $args; then
        stderr_has "$message"
        stderr_has "Try 'glyfor-cli --help'."
        [ ! -s "$work/stdout" ] || fail "usage error printed to stdout"
        no_file usage.inc
    fi
    done_case "$before"
done <<EOF
|no command given
frobnicate|unknown command frobnicate
generate|generate needs at least one input FILE
generate -o usage.inc|generate needs at least one input FILE
generate ascii.txt -o|option -o needs a file name
generate --bogus -o usage.inc ascii.txt|unknown option --bogus
generate -o usage.inc -o other.inc ascii.txt|option -o given twice
generate --preview a.png --preview b.png ascii.txt|option --preview given twice
generate --scale 2 --scale 3 ascii.txt|option --scale given twice
scan --settings a.ini --settings b.ini ascii.txt|option --settings given twice
check --font a.inc --font b.inc ascii.txt|option --font given twice
preview -o a.png -o b.png usage.inc|option -o given twice
help frobnicate|unknown command frobnicate
help generate scan|help takes one COMMAND
EOF

# Help: exit 0, the usage on stdout, and no generation even with files named.
kept=$(cksum < "$work/Glyfor.inc")
for args in "--help" "generate --help" "generate -h ascii.txt"; do
    before=$failed
    # shellcheck disable=SC2086
    if run 0 $args; then
        grep -qF "Usage: glyfor-cli generate [--settings INI] [--cc-rl] [--signed] [-o OUT] FILE..." \
            "$work/stdout" ||
            fail "no usage on stdout"
        [ "$(cksum < "$work/Glyfor.inc")" = "$kept" ] || fail "Glyfor.inc was rewritten"
    fi
    done_case "$before"
done

# Help per command: `help COMMAND` is `COMMAND --help`, which tells of that command alone;
# `help` is `--help`, which tells of all of them.
before=$failed
current="glyfor-cli help"
"$cli" --help > "$work/all_help"
for command in generate scan check preview; do
    "$cli" help "$command" > "$work/help_$command" || fail "help $command: exit $?"
    "$cli" "$command" --help > "$work/dash_help_$command" || fail "$command --help: exit $?"
    cmp -s "$work/help_$command" "$work/dash_help_$command" ||
        fail "help $command differs from $command --help"
    head -n 1 "$work/help_$command" | grep -qF "Usage: glyfor-cli $command " ||
        fail "help $command begins: $(head -n 1 "$work/help_$command")"
    for other in generate scan check preview; do
        [ "$other" = "$command" ] && continue
        ! grep -qE "^(Usage:|      ) glyfor-cli $other " "$work/help_$command" ||
            fail "help $command tells of $other too"
        grep -qE "^(Usage:|      ) glyfor-cli $other " "$work/all_help" ||
            fail "--help lacks $other"
    done
done
"$cli" help > "$work/help_all" || fail "exit $?"
cmp -s "$work/help_all" "$work/all_help" || fail "help differs from --help"
done_case "$before"

# Only the first "--" ends the options: a later one is a FILE like any other.
before=$failed
printf '\210\237' > "$work/first.txt"  # 亜
printf '\210\240' > "$work/--"         # 唖
printf '\210\241' > "$work/last.txt"   # 娃
if run 0 generate -q -o dashes.inc -- first.txt -- last.txt; then
    for code in 0x889f 0x88a0 0x88a1; do
        grep -q "$code" "$work/dashes.inc" || fail "$code is not in the font"
    done
fi
rm -f "$work/--"
if run 1 scan -- first.txt -- last.txt; then stderr_has "glyfor-cli: --: "; fi
done_case "$before"

# A Glyfor.ini as the window saves it: entries 0..19 (18 and 19 are the CC-RL and signed
# options), then five slots, the registered text last.
# write_ini FILE CC_RL SIGNED REGISTERED_TEXT
write_ini() {
    {
        printf '20\r\n'
        for entry in 0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17; do printf '0\r\n'; done
        printf '%s\r\n%s\r\n5\r\n\r\n\r\n\r\n\r\n%s\r\n' "$2" "$3" "$4"
    } > "$1"
}
write_ini "$work/team.ini" 1 0 "$(printf '\210\240')"  # 唖, CC-RL on
write_ini "$work/plain.ini" 0 0 "$(printf '\210\237')" # 亜
printf '\210\240' > "$work/team_chars.txt"
# 亜, then the end-of-text byte: the Ａ after it is not part of the file.
printf '\210\237\032\202\140' > "$work/eot.txt"

# scan: the characters not registered, as a set text on stdout, their number on stderr.
# name | settings option | inputs | stdout bytes (printf format) | stderr
while IFS='|' read -r name settings_option inputs stdout_bytes message; do
    before=$failed
    # shellcheck disable=SC2086
    if run 0 scan $settings_option $inputs; then
        current="scan: $name"
        # shellcheck disable=SC2059
        printf "$stdout_bytes" | cmp -s - "$work/stdout" ||
            fail "stdout: $(od -An -c "$work/stdout")"
        [ "$(cat "$work/stderr")" = "$message" ] || fail "stderr: $(cat "$work/stderr")"
    fi
    done_case "$before"
done <<EOF
no settings: JIS order||extra.txt|\202\140\210\237|2 characters detected
registered in the settings are left out|--settings plain.ini|extra.txt|\202\140|1 characters detected
several files give one set|--settings team.ini|extra.txt team_chars.txt -- -dash.txt|\202\140\210\237\220\237|3 characters detected
end-of-text byte ends a file|--settings team.ini|eot.txt|\210\237|1 characters detected
nothing to detect||ascii.txt||0 characters detected
EOF

# A full grid: 30 characters to a CR LF line, as in the window's detected text.
before=$failed
if run 0 scan all_cells.txt; then
    [ "$(wc -c < "$work/stdout")" -eq $((8836 * 2 + 294 * 2)) ] || fail "stdout is not the full set text"
    [ "$(head -c 62 "$work/stdout" | tail -c 2 | od -An -tx1 | tr -d ' ')" = 0d0a ] ||
        fail "no CR LF after the 30th character"
    # Every blank glyph but the ideographic space's is warned about, each once.
    [ "$(grep -c 'warning: 0x[0-9a-f]* has a blank glyph in the built-in font' "$work/stderr")" -eq 39 ] ||
        fail "not 39 blank-glyph warnings"
    [ "$(grep -vc 'has a blank glyph' "$work/stderr")" -eq 1 ] || fail "other warnings"
    [ "$(tail -n 1 "$work/stderr")" = "8836 characters detected" ] || fail "stderr: $(cat "$work/stderr")"
    grep -q ' 0x8140 ' "$work/stderr" && fail "the ideographic space was warned about"
fi
done_case "$before"

# generate --settings: the stored registered text and options are the starting point, the
# FILEs add to it, the options only switch on, and the settings file is never written.
before=$failed
ini_sum=$(cksum < "$work/team.ini")
if run 0 generate --settings team.ini --signed -o team.inc extra.txt eot.txt; then
    grep -q '^#pragma section const' "$work/team.inc" || fail "the CC-RL option of the settings was lost"
    check_font "$cc" "$work/pixels.txt" "$work/team.inc" signed "$work/team_chars.txt" \
        "$work/extra.txt" "$work/eot.txt" > /dev/null || fail "read-back failed"
    [ "$(cksum < "$work/team.ini")" = "$ini_sum" ] || fail "team.ini was written"
fi
done_case "$before"

# A settings file that cannot be opened or read: exit 1, the file named, no output.
for ini in missing.ini outdir; do
    for command in "generate -o noini.inc" scan; do
        before=$failed
        # shellcheck disable=SC2086
        if run 1 $command --settings "$ini" extra.txt; then
            stderr_has "glyfor-cli: $ini: "
            no_file noini.inc
            [ ! -s "$work/stdout" ] || fail "output despite the error"
        fi
        done_case "$before"
    done
done
before=$failed
if run 1 scan extra.txt missing.txt; then
    stderr_has "glyfor-cli: missing.txt: No such file or directory"
    [ ! -s "$work/stdout" ] || fail "output despite the error"
fi
done_case "$before"

# SOURCE_DATE_EPOCH: the banner shows that moment in UTC whatever the local time zone, and the
# output is the same byte for byte from one run to the next.
while IFS='|' read -r epoch banner; do
    before=$failed
    export SOURCE_DATE_EPOCH="$epoch" TZ=Asia/Tokyo
    if run 0 generate -o epoch1.inc extra.txt && run 0 generate -o epoch2.inc extra.txt; then
        grep -qF "generated by Glyfor	$banner" "$work/epoch1.inc" ||
            fail "banner: $(sed -n 2p "$work/epoch1.inc")"
        cmp -s "$work/epoch1.inc" "$work/epoch2.inc" || fail "two runs differ"
    fi
    unset SOURCE_DATE_EPOCH TZ
    done_case "$before"
done <<EOF
0|1970/ 1/ 1   0: 0: 0
951782400|2000/ 2/29   0: 0: 0
1765321500|2025/12/ 9  23: 5: 0
253402300799|9999/12/31  23:59:59
EOF
for epoch in "" -1 +5 " 5" 12abc 1.5 253402300800 99999999999999999999999; do
    before=$failed
    export SOURCE_DATE_EPOCH="$epoch"
    if run 2 generate -o epoch_bad.inc extra.txt; then
        stderr_has "SOURCE_DATE_EPOCH must be"
        no_file epoch_bad.inc
    fi
    unset SOURCE_DATE_EPOCH
    done_case "$before"
done

# Usage errors of scan.
while IFS='|' read -r args message; do
    before=$failed
    # shellcheck disable=SC2086
    if run 2 $args; then
        stderr_has "$message"
        [ ! -s "$work/stdout" ] || fail "usage error printed to stdout"
    fi
    done_case "$before"
done <<EOF
scan|scan needs at least one input FILE
scan --settings team.ini|scan needs at least one input FILE
scan extra.txt --settings|option --settings needs a file name
scan --cc-rl extra.txt|unknown option --cc-rl
scan -o x.inc extra.txt|unknown option -o
EOF

# Files the tool writes: never through a name it did not create, never a device or a
# directory replaced, links followed to the file they name, its permissions kept.
export SOURCE_DATE_EPOCH=1765321500
before=$failed
printf 'precious' > "$work/victim"
ln -sf victim "$work/linked.inc.tmp"
if run 0 generate -o linked.inc extra.txt; then
    [ "$(cat "$work/victim")" = precious ] || fail "victim was written through the link"
    [ -L "$work/linked.inc.tmp" ] || fail "linked.inc.tmp is no longer a link"
    grep -q '0x889f' "$work/linked.inc" || fail "linked.inc not written"
fi
done_case "$before"

before=$failed
printf 'kept' > "$work/outdir.tmp"
printf 'kept' > "$work/.tmp"
if run 1 generate -o outdir extra.txt; then
    stderr_has "glyfor-cli: outdir: "
    [ -d "$work/outdir" ] || fail "outdir is no longer a directory"
    [ "$(cat "$work/outdir.tmp")" = kept ] || fail "outdir.tmp was touched"
fi
if run 1 generate -o "" extra.txt; then
    stderr_has "glyfor-cli: : No such file or directory"
    [ "$(cat "$work/.tmp")" = kept ] || fail ".tmp was touched"
fi
done_case "$before"

# The font on standard output is the same bytes as in a file, and so is the font in a FIFO.
before=$failed
run 0 generate -o reference.inc extra.txt
if run 0 generate -o - extra.txt; then
    cmp -s "$work/stdout" "$work/reference.inc" || fail "stdout differs from the file"
fi
rm -f "$work/fifo"
mkfifo "$work/fifo"
# A FIFO replaced by a file would leave the reader waiting for a writer.
timeout 60 cat "$work/fifo" > "$work/from_fifo" &
reader=$!
if run 0 generate -o fifo extra.txt; then
    wait "$reader" || fail "the FIFO's reader got no writer"
    [ -p "$work/fifo" ] || fail "the FIFO was replaced"
    cmp -s "$work/from_fifo" "$work/reference.inc" || fail "the FIFO did not carry the file"
else
    kill "$reader" 2>/dev/null || true
fi
done_case "$before"

before=$failed
if [ "$(id -u)" -eq 0 ]; then
    if run 0 generate -o /dev/null extra.txt; then
        [ -c /dev/null ] || fail "/dev/null is no longer a character device"
    fi
else
    echo "skipped: /dev/null as output (needs root)"
fi
done_case "$before"

before=$failed
mkdir -p "$work/real"
printf 'old' > "$work/real/font.inc"
ln -sf real/font.inc "$work/link.inc"
chmod 640 "$work/real/font.inc"
if run 0 generate -o link.inc extra.txt; then
    [ -L "$work/link.inc" ] || fail "link.inc is no longer a link"
    cmp -s "$work/real/font.inc" "$work/reference.inc" || fail "the linked file was not replaced"
    [ "$(ls "$work/real")" = font.inc ] || fail "stray files: $(ls "$work/real")"
    [ "$(stat -c %a "$work/real/font.inc")" = 640 ] ||
        fail "mode $(stat -c %a "$work/real/font.inc"), expected 640"
fi
done_case "$before"

# Two builds writing the same file at once: each run leaves one whole file from one of them,
# neither fails, and no temporary file stays.
before=$failed
current="two writers of one file"
race="$work/race"
rm -rf "$race"
mkdir -p "$race"
"$cli" generate -o "$race/a.ref" "$work/extra.txt"
"$cli" generate -o "$race/b.ref" "$sample"
i=0
while [ "$i" -lt 50 ]; do
    "$cli" generate -o "$race/same.inc" "$work/extra.txt" 2> "$work/a.err" &
    first=$!
    "$cli" generate -o "$race/same.inc" "$sample" 2> "$work/b.err" ||
        fail "run $i: second writer failed: $(cat "$work/b.err")"
    wait "$first" || fail "run $i: first writer failed: $(cat "$work/a.err")"
    cmp -s "$race/same.inc" "$race/a.ref" || cmp -s "$race/same.inc" "$race/b.ref" ||
        fail "run $i: same.inc is neither writer's file"
    left=$(ls -A "$race" | tr '\n' ' ')
    [ "$left" = "a.ref b.ref same.inc " ] || fail "run $i: files left: $left"
    i=$((i + 1))
done
done_case "$before"

# generate --settings INI without FILEs: the characters registered in INI, as the window's
# "Generating font data" button writes them.
before=$failed
if run 0 generate --settings team.ini -o settings_only.inc &&
    run 0 generate --cc-rl -o from_text.inc team_chars.txt; then
    cmp -s "$work/settings_only.inc" "$work/from_text.inc" ||
        fail "not the font of the registered characters"
    check_font "$cc" "$work/pixels.txt" "$work/settings_only.inc" unsigned "$work/team_chars.txt" \
        > /dev/null || fail "read-back failed"
fi
done_case "$before"

# A settings file must be whole: a cut, foreign or binary file is an error naming the line,
# not a font that silently lacks the registered characters.
{
    printf '20\r\n0\r\n120\r\n80\r\n760\r\n560\r\n'
    for entry in 5 6 7 8 9; do printf '0\r\n'; done
    printf '0\r\n1\r\n34975\r\n34975\r\n1\r\n28\r\n2304\r\n0\r\n0\r\n0\r\n'
    printf '5\r\n\r\nC:\\firmware\\messages.txt\r\nC:\\firmware\\Glyfor.inc\r\n\r\n\210\237\r\n'
} > "$work/window.ini"
head -c 120 "$work/window.ini" > "$work/cut.ini"
head -c "$(($(wc -c < "$work/window.ini") - 2))" "$work/window.ini" > "$work/no_break.ini"
printf '\210\237' > "$work/window_chars.txt"
cp "$glyph_dump" "$work/binary.ini"
while IFS='|' read -r ini message; do
    before=$failed
    rm -f "$work/strict.inc"
    if run 1 generate --settings "$ini" -o strict.inc extra.txt; then
        stderr_has "glyfor-cli: $ini: line $message"
        no_file strict.inc
    fi
    if run 1 scan --settings "$ini" extra.txt; then
        stderr_has "glyfor-cli: $ini: line $message"
        [ ! -s "$work/stdout" ] || fail "output despite the error"
    fi
    done_case "$before"
done <<END_OF_CASES
cut.ini|26: the file ends before all its text lines
reference.inc|1: not a count of integer lines
ascii.txt|1: not a count of integer lines
binary.ini|
END_OF_CASES
for ini in window.ini no_break.ini; do
    before=$failed
    if run 0 generate --settings "$ini" -o "$ini.inc"; then
        check_font "$cc" "$work/pixels.txt" "$work/$ini.inc" unsigned "$work/window_chars.txt" \
            > /dev/null || fail "read-back failed"
    fi
    done_case "$before"
done
before=$failed
cmp -s "$work/window.ini.inc" "$work/no_break.ini.inc" ||
    fail "a missing last line break changed the font"
done_case "$before"
unset SOURCE_DATE_EPOCH

# --version tells the version of the build; help that cannot be written is a failure.
before=$failed
version=$(sed -n 's/^project(Glyfor VERSION \([0-9.]*\).*/\1/p' "$here/../../CMakeLists.txt")
if run 0 --version; then
    [ "$(cat "$work/stdout")" = "glyfor-cli $version" ] || fail "stdout: $(cat "$work/stdout")"
fi
current="glyfor-cli --help >/dev/full"
status=0
"$cli" --help > /dev/full 2> "$work/stderr" || status=$?
[ "$status" -eq 1 ] || fail "exit $status, expected 1"
stderr_has "glyfor-cli: stdout: "
done_case "$before"

# A font or a picture written to standard output that cannot take it is a failure too.
for args in "generate -q -o - $sample" "generate -q -o $work/full.inc --preview - $sample"; do
    before=$failed
    current="glyfor-cli $args >/dev/full"
    status=0
    # shellcheck disable=SC2086
    "$cli" $args > /dev/full 2> "$work/stderr" || status=$?
    [ "$status" -eq 1 ] || fail "exit $status, expected 1"
    stderr_has "glyfor-cli: stdout: "
    done_case "$before"
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
