#include "app/banner_time.h"

#include <chrono>

namespace glyfor {

LocalTime utc_time(std::int64_t seconds) {
    using namespace std::chrono;
    const sys_seconds moment{std::chrono::seconds{seconds}};
    const sys_days day = floor<days>(moment);
    const year_month_day date{day};
    const hh_mm_ss time{moment - day};
    return LocalTime{static_cast<int>(date.year()),
                     static_cast<int>(static_cast<unsigned>(date.month())),
                     static_cast<int>(static_cast<unsigned>(date.day())),
                     static_cast<int>(time.hours().count()),
                     static_cast<int>(time.minutes().count()),
                     static_cast<int>(time.seconds().count())};
}

bool parse_epoch_seconds(const char* text, std::int64_t& seconds) {
    std::int64_t value = 0;
    const char* p = text;
    // Stops growing once past the limit, so no number of digits overflows.
    for (; *p >= '0' && *p <= '9' && value <= kLastBannerSecond; ++p)
        value = value * 10 + (*p - '0');
    if (p == text || *p != '\0' || value > kLastBannerSecond) return false;
    seconds = value;
    return true;
}

}  // namespace glyfor
