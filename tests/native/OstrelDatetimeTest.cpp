#include "probes/core/Ostrel_Datetime.h"

#include <gtest/gtest.h>

#include <tuple>

#include <cstdint>
#include <limits>

#include "framework/Exception.h"

namespace vardak::probes {
namespace {

constexpr int64_t kMinute = 60;
constexpr int64_t kHour = 3600;
constexpr int64_t kDay = 86400;
constexpr int64_t kWeek = 604800;
constexpr int64_t kMonth = 2678400;
constexpr int64_t kYear = 31579200;
constexpr int64_t kCentury = 3157920000;

struct FormatSecondsCase {
    int64_t seconds;
    bool wholeSeconds;
    bool showAll;
    bool compact;
    const char* expected;
};

class FormatSecondsTest : public testing::TestWithParam<FormatSecondsCase> {};

TEST_P(FormatSecondsTest, FormatsTheElapsedTime) {
    const FormatSecondsCase& example = GetParam();
    EXPECT_EQ(FormatSeconds(example.seconds, example.wholeSeconds, example.showAll, example.compact),
              example.expected);
}

const FormatSecondsCase kFormatSecondsCases[] = {
    // Neither flag: from the largest counted unit on.
    {3725, true, false, false, "1 Hour, 2 Minutes, 5 Seconds."},
    {3725, false, false, false, "1 Hour, 2 Minutes, 5.00 Seconds."},
    {0, true, false, false, "0 Seconds."},
    {0, false, false, false, "0.00 Seconds."},
    {1, true, false, false, "1 Second."},
    {1, false, false, false, "1.00 Second."},
    {61, true, false, false, "1 Minute, 1 Second."},
    {kDay, true, false, false, "1 Day, 0 Hours, 0 Minutes, 0 Seconds."},
    {2 * kWeek + kMinute, true, false, false, "2 Weeks, 0 Days, 0 Hours, 1 Minute, 0 Seconds."},
    {kMonth + kYear, true, false, false, "1 Year, 1 Month, 0 Weeks, 0 Days, 0 Hours, 0 Minutes, 0 Seconds."},
    {3 * kCentury + kYear + 5, true, false, false,
     "3 Centuries, 1 Year, 0 Months, 0 Weeks, 0 Days, 0 Hours, 0 Minutes, 5 Seconds."},
    // Counts above the 32-bit range.
    {std::numeric_limits<int64_t>::max(), true, false, false,
     "2920711112 Centuries, 64 Years, 9 Months, 4 Weeks, 1 Day, 15 Hours, 30 Minutes, 7 Seconds."},
    // Show all: every unit, zero counts printed.
    {3725, true, true, false, "0 Centuries, 0 Years, 0 Months, 0 Weeks, 0 Days, 1 Hour, 2 Minutes, 5 Seconds."},
    {0, false, true, false, "0 Centuries, 0 Years, 0 Months, 0 Weeks, 0 Days, 0 Hours, 0 Minutes, 0.00 Seconds."},
    {kCentury, true, true, false, "1 Century, 0 Years, 0 Months, 0 Weeks, 0 Days, 0 Hours, 0 Minutes, 0 Seconds."},
    // Compact: hours, minutes and seconds alone, so whole days drop out.
    {kDay + kHour + kMinute + 1, true, false, true, "01:01:01"},
    {kHour + kMinute + 1, true, false, true, "01:01:01"},
    {kHour + kMinute + 1, false, false, true, "01:01:01"},
    {0, true, false, true, "00:00:00"},
    {23 * kHour + 59 * kMinute + 59, true, false, true, "23:59:59"},
    // Show all and compact: weeks counted into the days, centuries left out.
    {kYear + 2 * kMonth + 3 * kWeek + 4 * kDay + 5 * kHour + 6 * kMinute + 7, true, true, true,
     "01.02.25 05:06:07"},
    {kCentury + kYear, true, true, true, "01.00.00 00:00:00"},
    {0, false, true, true, "00.00.00 00:00:00"},
};

INSTANTIATE_TEST_SUITE_P(Examples, FormatSecondsTest, testing::ValuesIn(kFormatSecondsCases));

TEST(FormatSecondsSettingsTest, SecondsUseTheDecimalSeparator) {
    EXPECT_EQ(FormatSeconds(65, false, false, false, FormatSettings{','}), "1 Minute, 5,00 Seconds.");
}

// ---------------------------------------------------------------- transitions

platform::SystemTime rule(uint16_t month, uint16_t occurrence, uint16_t weekday, uint16_t hour) {
    platform::SystemTime time;
    time.month = month;
    time.day = occurrence;
    time.dayOfWeek = weekday;
    time.hour = hour;
    return time;
}

constexpr uint16_t kSunday = 0;
constexpr uint16_t kLast = 5;
constexpr double kThreeOClock = 3.0 / 24.0;

TEST(TransitionToDateTimeTest, NoMonthMeansNoTransition) {
    platform::SystemTime none;
    none.year = 2004;
    none.day = 3;
    EXPECT_EQ(TransitionToDateTime(none, 2004), 0.0);
}

TEST(TransitionToDateTimeTest, AbsoluteDatesIgnoreTheYearAsked) {
    platform::SystemTime absolute;
    absolute.year = 2000;
    absolute.month = 1;
    absolute.day = 1;
    absolute.hour = 12;
    EXPECT_DOUBLE_EQ(TransitionToDateTime(absolute, 2010), 36526.5);

    absolute = {2008, 2, 0, 29, 2, 30, 15, 500};
    const double secondsOfDay = 2 * 3600 + 30 * 60 + 15.5;
    EXPECT_DOUBLE_EQ(TransitionToDateTime(absolute, 1990), 39507 + secondsOfDay / 86400.0);
}

TEST(TransitionToDateTimeTest, LastSundayOfOctoberInSeveralYears) {
    const platform::SystemTime lastSundayOfOctober = rule(10, kLast, kSunday, 3);
    // 2004-10-31, 2005-10-30, 2006-10-29, 2007-10-28, 2010-10-31, 2100-10-31.
    const std::pair<int, double> expected[] = {{2004, 38291}, {2005, 38655}, {2006, 39019},
                                               {2007, 39383}, {2010, 40482}, {2100, 73354}};
    for (const auto& [year, date] : expected) {
        EXPECT_DOUBLE_EQ(TransitionToDateTime(lastSundayOfOctober, year), date + kThreeOClock) << year;
    }
}

TEST(TransitionToDateTimeTest, NthWeekdayRules) {
    // The second Sunday of March: 2007-03-11, 2011-03-13.
    EXPECT_DOUBLE_EQ(TransitionToDateTime(rule(3, 2, kSunday, 2), 2007), 39152 + 2.0 / 24.0);
    EXPECT_DOUBLE_EQ(TransitionToDateTime(rule(3, 2, kSunday, 2), 2011), 40615 + 2.0 / 24.0);
    // The first Saturday of January 2000 is the 1st (serial 36526).
    EXPECT_DOUBLE_EQ(TransitionToDateTime(rule(1, 1, 6, 0), 2000), 36526);
    // The fourth and the last Sunday of October 2004 differ: October 2004 has five.
    EXPECT_DOUBLE_EQ(TransitionToDateTime(rule(10, 4, kSunday, 0), 2004), 38291 - 7);
    // The last Friday of February in a leap year: 2008-02-29.
    EXPECT_DOUBLE_EQ(TransitionToDateTime(rule(2, kLast, 5, 0), 2008), 39507);
}

TEST(TransitionToDateTimeTest, RulesOutOfRangeRaiseTheQuadError) {
    const struct {
        platform::SystemTime transition;
        const char* message;
    } cases[] = {
        {rule(13, 1, kSunday, 0), "(2004, 13, 1, 0) is not a valid DayOfWeekInMonth quad"},
        {rule(10, 0, kSunday, 0), "(2004, 10, 0, 0) is not a valid DayOfWeekInMonth quad"},
        {rule(10, 6, kSunday, 0), "(2004, 10, 6, 0) is not a valid DayOfWeekInMonth quad"},
        {rule(10, 1, 7, 0), "(2004, 10, 1, 7) is not a valid DayOfWeekInMonth quad"},
    };
    for (const auto& example : cases) {
        try {
            TransitionToDateTime(example.transition, 2004);
            ADD_FAILURE() << "no exception for " << example.message;
        } catch (const EConvertError& error) {
            EXPECT_EQ(error.message(), example.message);
        }
    }
}

TEST(TransitionToDateTimeTest, ImpossibleDatesAndTimesRaise) {
    platform::SystemTime absolute{2001, 2, 0, 29, 0, 0, 0, 0};
    EXPECT_THROW(TransitionToDateTime(absolute, 2001), EConvertError);
    EXPECT_THROW(TransitionToDateTime(rule(10, kLast, kSunday, 24), 2004), EConvertError);
}

TEST(EncodeDateTimeTest, SerialsAroundTheEpoch) {
    EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 30, 0, 0, 0, 0), 0);
    EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);
    EXPECT_DOUBLE_EQ(EncodeDateTime(1, 1, 1, 0, 0, 0, 0), -693593);
    EXPECT_DOUBLE_EQ(EncodeDateTime(9999, 12, 31, 0, 0, 0, 0), 2958465);
    EXPECT_THROW(EncodeDateTime(0, 1, 1, 0, 0, 0, 0), EConvertError);
    EXPECT_THROW(EncodeDateTime(1900, 2, 29, 0, 0, 0, 0), EConvertError);
}

TEST(DateTimeToSystemTimeTest, ReversesEncodeDateTimeOnBothSidesOfTheEpoch) {
    struct Case {
        platform::SystemTime moment;  // year, month, weekday, day, hour, minute, second, ms
    };
    for (const Case& c : {Case{{1999, 12, 5, 31, 23, 59, 58, 500}}, Case{{1899, 12, 6, 30, 0, 0, 0, 0}},
                          Case{{1899, 12, 5, 29, 6, 0, 0, 0}}, Case{{1, 1, 1, 1, 0, 0, 0, 0}},
                          Case{{2024, 2, 4, 29, 12, 0, 0, 1}}}) {
        const platform::SystemTime& in = c.moment;
        const std::optional<platform::SystemTime> out = DateTimeToSystemTime(
            EncodeDateTime(in.year, in.month, in.day, in.hour, in.minute, in.second, in.milliseconds));
        ASSERT_TRUE(out.has_value()) << in.year;
        EXPECT_EQ(std::tuple(out->year, out->month, out->dayOfWeek, out->day, out->hour, out->minute, out->second,
                             out->milliseconds),
                  std::tuple(in.year, in.month, in.dayOfWeek, in.day, in.hour, in.minute, in.second,
                             in.milliseconds))
            << in.year;
    }
    EXPECT_FALSE(DateTimeToSystemTime(1e9).has_value());
    EXPECT_FALSE(DateTimeToSystemTime(-693594).has_value());
}

}  // namespace
}  // namespace vardak::probes
