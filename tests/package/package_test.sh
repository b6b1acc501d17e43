#!/bin/sh
# The packages as a user gets them, unpacked and run: the installed glyfor-cli prints its
# version and writes the committed golden file byte for byte; from the zip, glyfor-cli.exe
# does the same under Wine and glyfor.exe opens its window and closes cleanly.
#
#   package_test.sh deb PACKAGE.deb VERSION GOLDEN_DIR WORK_DIR
#   package_test.sh zip PACKAGE.zip VERSION GOLDEN_DIR WORK_DIR WINE_RUN WINDOW_PROBE.exe
set -eu

# Paths are taken from where the script is called, before it moves to WORK_DIR.
absolute() {
    case $1 in
    /*) echo "$1" ;;
    *) echo "$PWD/$1" ;;
    esac
}
kind=$1 package=$(absolute "$2") version=$3 golden=$(absolute "$4") work=$5
if [ "$kind" = zip ]; then
    wine_run=$(absolute "$6") probe=$(absolute "$7")
fi
fail() {
    echo "package_test: $*" >&2
    exit 1
}
[ -f "$package" ] || fail "$package: no such package (make dist builds it)"
rm -rf "$work"
mkdir -p "$work"
cd "$work"

# The 49 characters of the golden file, taken from its list of characters, and the moment its
# banner shows.
LC_ALL=C awk 'list && /^\*\//{exit} list{print} /^\/\*[^*]/{list=1}' \
    "$golden/sparse_49.inc" >input.txt
[ -s input.txt ] || fail "no character list in $golden/sparse_49.inc"
export SOURCE_DATE_EPOCH=1796857500  # 2026-12-09 23:05:00 UTC

# Every file of the package, nothing more.
expect_files() {
    (cd "$1" && find . -type f | sort) >files.txt
    printf '%s\n' "$2" | sort | diff -u - files.txt || fail "the package holds other files"
}

check_cli() {
    # Under Wine a Windows program ends its lines in CR LF.
    out=$("$@" --version | tr -d "\r")
    [ "$out" = "glyfor-cli $version" ] || fail "--version printed '$out'"
    # An absolute path, as a build passes it: under Wine too, "/" never starts an option.
    "$@" generate -o out.inc "$PWD/input.txt" >cli.log 2>&1 || { cat cli.log; fail "generate failed"; }
    cmp out.inc "$golden/sparse_49.inc" || fail "generate wrote another file than the golden one"
}

case $kind in
deb)
    [ "$(dpkg-deb -f "$package" Package)" = glyfor-cli ] || fail "package name"
    [ "$(dpkg-deb -f "$package" Version)" = "$version" ] || fail "package version"
    [ "$(dpkg-deb -f "$package" Architecture)" = "$(dpkg --print-architecture)" ] ||
        fail "package architecture"
    dpkg-deb -f "$package" Depends | grep -q libc6 || fail "no dependency on libc6"
    dpkg -x "$package" root
    expect_files root "./usr/bin/glyfor-cli
./usr/share/doc/glyfor-cli/7x14.NOTICE
./usr/share/doc/glyfor-cli/K14-2004-1.NOTICE
./usr/share/glyfor-cli/firmware/font_ank.c
./usr/share/glyfor-cli/firmware/font_ank.h
./usr/share/glyfor-cli/firmware/font_kanji.c
./usr/share/glyfor-cli/firmware/font_kanji.h
./usr/share/glyfor-cli/firmware/font_text.c
./usr/share/glyfor-cli/firmware/font_text.h
./usr/share/man/man1/glyfor-cli.1.gz"
    # The man page is the usage text, commands included.
    gzip -dc root/usr/share/man/man1/glyfor-cli.1.gz | grep -q '^\.TH GLYFOR-CLI' ||
        fail "the man page has no title"
    gzip -dc root/usr/share/man/man1/glyfor-cli.1.gz | grep -q 'generate' ||
        fail "the man page lacks the usage"
    check_cli root/usr/bin/glyfor-cli
    ;;
zip)
    unzip -q "$package" -d unpacked
    top=unpacked/$(basename "$package" .zip)
    expect_files "$top" "./7x14.NOTICE
./K14-2004-1.NOTICE
./README.txt
./firmware/font_ank.c
./firmware/font_ank.h
./firmware/font_kanji.c
./firmware/font_kanji.h
./firmware/font_text.c
./firmware/font_text.h
./glyfor-cli.exe
./glyfor.exe"
    # Every line of the README ends in CR LF.
    crlf_lines=$(LC_ALL=C grep -c "$(printf '\r')\$" "$top/README.txt" || true)
    if [ "$crlf_lines" -ne "$(wc -l <"$top/README.txt")" ]; then
        fail "README.txt has a line without CR LF"
    fi
    # Nothing beyond what every Windows has: no compiler runtime DLLs.
    for exe in "$top/glyfor.exe" "$top/glyfor-cli.exe"; do
        x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\tDLL Name: //p' >dlls.txt
        [ -s dlls.txt ] || fail "$exe: no imports found"
        if grep -viqx -e kernel32.dll -e user32.dll -e gdi32.dll -e comdlg32.dll \
            -e msvcrt.dll dlls.txt; then
            fail "$exe imports $(tr '\n' ' ' <dlls.txt)"
        fi
    done
    check_cli "$wine_run" "$top/glyfor-cli.exe"
    "$wine_run" "$probe" "$top/glyfor.exe" || fail "glyfor.exe did not open and close its window"
    ;;
*)
    fail "unknown package kind $kind"
    ;;
esac
echo "package_test: $kind package passes"
