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

passed=0
failed=0

fail() {
    echo "FAIL: $current: $*" >&2
    failed=$((failed + 1))
}

# run EXPECTED_EXIT ARGS...: runs the CLI in $work with stdout and stderr kept in files.
run() {
    expected=$1
    shift
    current="glyfor-cli $*"
    status=0
    (cd "$work" && "$cli" "$@") > "$work/stdout" 2> "$work/stderr" || status=$?
    if [ "$status" -ne "$expected" ]; then
        fail "exit $status, expected $expected; stderr: $(cat "$work/stderr")"
        return 1
    fi
    return 0
}

stderr_has() {
    grep -qF -- "$1" "$work/stderr" || fail "stderr lacks '$1': $(cat "$work/stderr")"
}

no_file() {
    [ ! -e "$work/$1" ] || fail "$1 was left behind"
}

done_case() {
    if [ "$failed" -eq "$1" ]; then passed=$((passed + 1)); fi
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
before=$failed
if run 0 generate -o out.inc "$sample" --signed extra.txt; then
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
EOF

# Help: exit 0, the usage on stdout, and no generation even with files named.
kept=$(cksum < "$work/Glyfor.inc")
for args in "--help" "generate --help" "generate -h ascii.txt"; do
    before=$failed
    # shellcheck disable=SC2086
    if run 0 $args; then
        grep -qF "Usage: glyfor-cli generate [--cc-rl] [--signed] [-o OUT] FILE..." "$work/stdout" ||
            fail "no usage on stdout"
        [ "$(cksum < "$work/Glyfor.inc")" = "$kept" ] || fail "Glyfor.inc was rewritten"
    fi
    done_case "$before"
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
