// The application's clock: the time a generation stamps into the banner of its file.
#pragma once

#include "font/font_writer.h"

namespace glyfor {

// The local date and time now.
LocalTime local_time_now();

}  // namespace glyfor
