// Writes the registered characters as the C include file the firmware compiles.
#pragma once

#include <cstdint>

#include "charset/charset.h"
#include "font/font_parameters.h"
#include "font/sink.h"

namespace glyfor {

struct LocalTime {
    int year;
    int month;  // 1..12
    int day;
    int hour;
    int minute;
    int second;
};

struct FontOptions {
    bool cc_rl = false;      // CC-RL's section directives instead of @@CNSTL
    bool as_signed = false;  // glyph bytes as -128..127
};

// FONT_KANJI_MIN and MAX of the previous generation: an empty set keeps them.
struct CodeRange {
    std::int32_t min_code = 0;
    std::int32_t max_code = 0;
};

// What the #define lines state for the set.
FontParameters font_parameters(const KanjiSet& set, CodeRange previous);

struct WrittenFont {
    FontParameters parameters;
    bool ok;  // false when the sink refused bytes; the file is written to its end either way
};

// Writes the whole file for the set, with `when` in its banner. Every line ends in CR LF.
WrittenFont write_font_source(Sink sink, const KanjiSet& set, const FontOptions& options,
                              const LocalTime& when, CodeRange previous);

}  // namespace glyfor
