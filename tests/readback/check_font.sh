# Shell functions of the read-back check, sourced by the test scripts; they expect $here to be
# this directory.

firmware_="$here/../../firmware"

# compile_font CC FONT_FILE signed|unsigned OUT_DIR: builds OUT_DIR/reader around the font file,
# the shipped reader strictly as C89 as a firmware compiler sees it, with glyph bytes that do
# not fit the chosen char type as errors.
compile_font() {
    mkdir -p "$4"
    cp "$2" "$4/font.inc"
    # An empty set's file has empty initializer braces, which ISO C forbids and GNU C reads as
    # zero-length arrays.
    if grep -q '^#define FONT_KANJI_NUM[[:space:]]*0[[:space:]]*$' "$2"; then
        standard_="-std=gnu89"
    else
        standard_="-std=c89 -pedantic"
    fi
    # shellcheck disable=SC2086
    "$1" $standard_ -D__far= -Wall -Wextra -Wno-unknown-pragmas -Wconversion -Werror \
        -Wfatal-errors "-f$3-char" -DFONT_KANJI_FILE='"font.inc"' -I "$4" -I "$firmware_" \
        -c -o "$4/font_kanji.o" "$firmware_/font_kanji.c"
    "$1" -std=c89 -pedantic -Wall -Wextra -Wconversion -Werror -Wfatal-errors \
        -I "$here/../firmware" -c -o "$4/walk.o" "$here/../firmware/walk.c"
    "$1" -std=gnu11 -D__far= -Wall -Wextra -Wno-unknown-pragmas -Wconversion -Werror \
        -Wfatal-errors "-f$3-char" -I "$4" -I "$firmware_" -I "$here/../firmware" \
        -o "$4/reader" "$here/reader.c" "$4/font_kanji.o" "$4/walk.o"
}

# check_font CC PIXELS FONT_FILE signed|unsigned INPUT...: the font file must compile and hold
# exactly the characters of the inputs, each with its built-in glyph.
check_font() {
    cc_=$1
    pixels_=$2
    font_=$3
    signedness_=$4
    shift 4
    out_="${font_%.inc}.reader"
    echo "readback: $font_"
    compile_font "$cc_" "$font_" "$signedness_" "$out_"
    "$out_/reader" "$pixels_" "$@"
}
