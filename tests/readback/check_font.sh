# Shell functions of the read-back check, sourced by the test scripts; they expect $here to be
# this directory.

# compile_font CC FONT_FILE signed|unsigned OUT_DIR: builds OUT_DIR/reader around the font file,
# with glyph bytes that do not fit the chosen char type as errors.
compile_font() {
    mkdir -p "$4"
    cp "$2" "$4/font.inc"
    "$1" -std=gnu11 -D__far= -Wno-unknown-pragmas -Wconversion -Werror -Wfatal-errors "-f$3-char" \
        -I "$4" -o "$4/reader" "$here/reader.c"
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
