// "Generating font data" on the program's state: the registered text is normalised, the file
// written, and what its #define lines state is kept in settings entries 10..16.
#pragma once

#include "font/font_writer.h"
#include "font/sink.h"

namespace glyfor {

// False when the sink refused bytes; the file is written to its end either way.
bool write_font_source(Sink sink, const LocalTime& when);

}  // namespace glyfor
