#include "app/banner_time.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <string>

namespace glyfor {
namespace {

// The C library's answer, where it has one: Windows' gmtime stops at the end of year 3000.
bool reference_time(std::int64_t seconds, LocalTime& when) {
    std::tm parts{};
#ifdef _WIN32
    const __time64_t value = seconds;
    if (_gmtime64_s(&parts, &value) != 0) return false;
#else
    const std::time_t value = static_cast<std::time_t>(seconds);
    if (gmtime_r(&value, &parts) == nullptr) return false;
#endif
    when = LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                     parts.tm_hour,        parts.tm_min,     parts.tm_sec};
    return true;
}

std::string show(const LocalTime& t) {
    return std::to_string(t.year) + "-" + std::to_string(t.month) + "-" + std::to_string(t.day) +
           " " + std::to_string(t.hour) + ":" + std::to_string(t.minute) + ":" +
           std::to_string(t.second);
}

// Reports the first difference only: a wrong formula is wrong for millions of seconds.
::testing::AssertionResult same_as_reference(std::int64_t seconds) {
    LocalTime expected{};
    if (!reference_time(seconds, expected)) return ::testing::AssertionSuccess();
    const LocalTime got = utc_time(seconds);
    if (got.year == expected.year && got.month == expected.month && got.day == expected.day &&
        got.hour == expected.hour && got.minute == expected.minute &&
        got.second == expected.second) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << seconds << ": " << show(got) << ", gmtime says " << show(expected);
}

struct TimeCase {
    std::int64_t seconds;
    LocalTime expected;
};

TEST(BannerTimeTest, KnownMoments) {
    const TimeCase cases[] = {
        {0, {1970, 1, 1, 0, 0, 0}},
        {94608000 - 1, {1972, 12, 30, 23, 59, 59}},
        {68169599, {1972, 2, 28, 23, 59, 59}},
        {68169600, {1972, 2, 29, 0, 0, 0}},
        {951782400, {2000, 2, 29, 0, 0, 0}},
        {1765321500, {2025, 12, 9, 23, 5, 0}},
        // 2100 is no leap year, 2400 is one.
        {4107542399, {2100, 2, 28, 23, 59, 59}},
        {4107542400, {2100, 3, 1, 0, 0, 0}},
        {13574563200, {2400, 2, 29, 0, 0, 0}},
        {253281168000, {9996, 2, 29, 0, 0, 0}},
        {kLastBannerSecond, {9999, 12, 31, 23, 59, 59}},
    };
    for (const TimeCase& k : cases) {
        EXPECT_EQ(show(utc_time(k.seconds)), show(k.expected)) << k.seconds;
        EXPECT_TRUE(same_as_reference(k.seconds));
    }
}

// The first and last second of every day up to 2110, past the leap day 2100 lacks, then a
// stride of a week and a bit over the rest of the range up to the end of 9999: a date off by
// a day shows on every sample that follows, and the odd hour, minute and second land each
// sample on another time of day.
TEST(BannerTimeTest, AgreesWithGmtimeOverTheWholeRange) {
    constexpr std::int64_t kDay = 86400;
    constexpr std::int64_t k2110 = 4417977600;
    for (std::int64_t day = 0; day * kDay < k2110; ++day) {
        ASSERT_TRUE(same_as_reference(day * kDay));
        ASSERT_TRUE(same_as_reference(day * kDay + kDay - 1));
    }
    constexpr std::int64_t kStride = 7 * kDay + 3600 + 60 + 1;
    for (std::int64_t s = k2110; s <= kLastBannerSecond; s += kStride) {
        ASSERT_TRUE(same_as_reference(s));
    }
    ASSERT_TRUE(same_as_reference(kLastBannerSecond));
}

TEST(BannerTimeTest, EpochValues) {
    struct EpochCase {
        const char* text;
        bool valid;
        std::int64_t seconds;
    };
    const EpochCase cases[] = {
        {"0", true, 0},
        {"1765321500", true, 1765321500},
        {"0001", true, 1},
        {"253402300799", true, kLastBannerSecond},
        {"253402300800", false, 0},
        {"99999999999999999999999", false, 0},
        {"", false, 0},
        {"-1", false, 0},
        {"+5", false, 0},
        {" 5", false, 0},
        {"5 ", false, 0},
        {"12abc", false, 0},
        {"1.5", false, 0},
    };
    for (const EpochCase& k : cases) {
        std::int64_t seconds = -7;
        EXPECT_EQ(parse_epoch_seconds(k.text, seconds), k.valid) << "'" << k.text << "'";
        EXPECT_EQ(seconds, k.valid ? k.seconds : -7) << "'" << k.text << "'";
    }
}

}  // namespace
}  // namespace glyfor
