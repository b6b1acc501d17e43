// Writes the registered characters as the C include file the firmware compiles.
#pragma once

#include "charset/sink.h"
#include "font/font_parameters.h"

namespace glyfor {

struct LocalTime {
    int year;
    int month;  // 1..12
    int day;
    int hour;
    int minute;
    int second;
};

// The local clock, read at the start of a generation.
LocalTime local_time_now();

// Normalises the registered text, computes settings entries 10..16 and writes the whole file,
// with `when` in its banner. Every line ends in CR LF. Returns false when the sink refused
// bytes; the file is written to its end either way.
bool write_font_source(Sink sink, const LocalTime& when);

}  // namespace glyfor
