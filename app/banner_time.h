// The time in the banner of a reproducible build: SOURCE_DATE_EPOCH, shown in UTC.
#pragma once

#include <cstdint>

#include "font/font_writer.h"

namespace glyfor {

// 9999-12-31 23:59:59 UTC, the last second the banner's four-digit year can show.
inline constexpr std::int64_t kLastBannerSecond = 253402300799;

// The calendar date and time of `seconds` since 1970-01-01 UTC, 0..kLastBannerSecond.
LocalTime utc_time(std::int64_t seconds);
// The value of SOURCE_DATE_EPOCH: only digits, at most kLastBannerSecond. A sign, blanks or
// a fraction make it false, as would a number the banner cannot show.
bool parse_epoch_seconds(const char* text, std::int64_t& seconds);

}  // namespace glyfor
