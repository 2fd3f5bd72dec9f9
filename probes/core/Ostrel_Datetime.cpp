#include "probes/core/Ostrel_Datetime.h"

#include "framework/Exception.h"

#include <array>
#include <cmath>
#include <vector>

namespace vardak::probes {
namespace {

// ---------------------------------------------------------------- FormatSeconds

struct TimeUnit {
    int64_t seconds;
    const char* singular;
    const char* plural;
};

// Largest first; what remains after the minutes are the seconds.
constexpr std::array<TimeUnit, 7> kTimeUnits = {{
    {3157920000, " Century, ", " Centuries, "},
    {31579200, " Year, ", " Years, "},
    {2678400, " Month, ", " Months, "},
    {604800, " Week, ", " Weeks, "},
    {86400, " Day, ", " Days, "},
    {3600, " Hour, ", " Hours, "},
    {60, " Minute, ", " Minutes, "},
}};

enum UnitIndex { kCenturies, kYears, kMonths, kWeeks, kDays, kHours, kMinutes };

struct ElapsedTime {
    std::array<int64_t, kTimeUnits.size()> counts{};
    int64_t seconds = 0;
};

ElapsedTime decompose(int64_t seconds) {
    ElapsedTime elapsed;
    for (size_t unit = 0; unit < kTimeUnits.size(); ++unit) {
        elapsed.counts[unit] = seconds / kTimeUnits[unit].seconds;
        seconds -= elapsed.counts[unit] * kTimeUnits[unit].seconds;
    }
    elapsed.seconds = seconds;
    return elapsed;
}

std::string inWords(const ElapsedTime& elapsed, size_t firstUnit, bool wholeSeconds, const FormatSettings& settings) {
    std::string format;
    std::vector<FormatArg> args;
    for (size_t unit = firstUnit; unit < kTimeUnits.size(); ++unit) {
        const int64_t count = elapsed.counts[unit];
        format += "%.0d%s";
        args.emplace_back(count);
        args.emplace_back(count == 1 ? kTimeUnits[unit].singular : kTimeUnits[unit].plural);
    }
    format += wholeSeconds ? "%.0f%s" : "%.2f%s";
    args.emplace_back(static_cast<double>(elapsed.seconds));
    args.emplace_back(elapsed.seconds == 1 ? " Second." : " Seconds.");
    return Format(format, args, settings);
}

size_t largestCountedUnit(const ElapsedTime& elapsed) {
    for (size_t unit = 0; unit < kTimeUnits.size(); ++unit) {
        if (elapsed.counts[unit] != 0) {
            return unit;
        }
    }
    return kTimeUnits.size();
}

// ---------------------------------------------------------------- dates

constexpr double kMillisecondsPerDay = 86400000.0;

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[static_cast<size_t>(month - 1)];
}

bool validDate(int year, int month, int day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month);
}

// Days from 30 December 1899 to a valid date.
int64_t dateSerial(int year, int month, int day) {
    const int64_t previousYears = year - 1;
    int64_t days = previousYears * 365 + previousYears / 4 - previousYears / 100 + previousYears / 400;
    for (int earlierMonth = 1; earlierMonth < month; ++earlierMonth) {
        days += daysInMonth(year, earlierMonth);
    }
    days += day;
    constexpr int64_t kDaysBefore1899_12_30 = 693594;
    return days - kDaysBefore1899_12_30;
}

// 0 = Sunday .. 6 = Saturday; the serial day 0 was a Saturday.
int weekdayOf(int64_t serial) {
    return static_cast<int>(((serial + 6) % 7 + 7) % 7);
}

// Days since 1 March of year 0 of the proleptic Gregorian calendar, back to a date.
platform::SystemTime civilDate(int64_t days) {
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    platform::SystemTime moment;
    moment.day = static_cast<uint16_t>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    moment.month = static_cast<uint16_t>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    moment.year = static_cast<uint16_t>(yearOfEra + era * 400 + (moment.month <= 2 ? 1 : 0));
    return moment;
}

// 30 December 1899, day 0 of TDateTime, in days since 1 March of year 0.
constexpr int64_t kDateTimeEpoch = 693899;

double timeFraction(int hour, int minute, int second, int milliseconds) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || milliseconds < 0 ||
        milliseconds > 999) {
        throw EConvertError("Invalid argument to time encode");
    }
    const double total = ((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + milliseconds;
    return total / kMillisecondsPerDay;
}

[[noreturn]] void invalidQuad(int year, int month, int occurrence, int weekday) {
    throw EConvertError(Format("(%d, %d, %d, %d) is not a valid DayOfWeekInMonth quad",
                               {year, month, occurrence, weekday}));
}

// The day of the month of the n-th (5: the last) given weekday.
int dayOfWeekInMonth(int year, int month, int occurrence, int weekday) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || occurrence < 1 || occurrence > 5 || weekday < 0 ||
        weekday > 6) {
        invalidQuad(year, month, occurrence, weekday);
    }
    const int firstWeekday = weekdayOf(dateSerial(year, month, 1));
    const int firstMatch = 1 + (weekday - firstWeekday + 7) % 7;
    int day = firstMatch + 7 * (occurrence - 1);
    while (day > daysInMonth(year, month)) {
        day -= 7;
    }
    return day;
}

}  // namespace

std::string FormatSeconds(int64_t seconds, bool wholeSeconds, bool showAll, bool compact,
                          const FormatSettings& settings) {
    const ElapsedTime elapsed = decompose(seconds);
    const auto& counts = elapsed.counts;
    if (showAll && compact) {
        return Format("%2.2d.%2.2d.%2.2d %2.2d:%2.2d:%2.2d",
                      {counts[kYears], counts[kMonths], counts[kDays] + 7 * counts[kWeeks], counts[kHours],
                       counts[kMinutes], elapsed.seconds},
                      settings);
    }
    if (compact) {
        return Format("%2.2d:%2.2d:%2.2d", {counts[kHours], counts[kMinutes], elapsed.seconds}, settings);
    }
    const size_t firstUnit = showAll ? 0 : largestCountedUnit(elapsed);
    return inWords(elapsed, firstUnit, wholeSeconds, settings);
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int milliseconds) {
    if (!validDate(year, month, day)) {
        throw EConvertError("Invalid argument to date encode");
    }
    const double time = timeFraction(hour, minute, second, milliseconds);
    const double date = static_cast<double>(dateSerial(year, month, day));
    // Before the epoch the fraction counts away from zero, as the date-time type has it.
    return date < 0 ? date - time : date + time;
}

std::optional<platform::SystemTime> DateTimeToSystemTime(TDateTime value) {
    if (!std::isfinite(value) || value < -693593.0 || value >= 2958466.0) {
        return std::nullopt;
    }
    const double wholeDays = std::trunc(value);
    // Before the epoch the fraction counts away from zero.
    const double fraction = std::fabs(value - wholeDays);
    auto milliseconds = static_cast<int64_t>(std::llround(fraction * kMillisecondsPerDay));
    auto days = static_cast<int64_t>(wholeDays);
    if (milliseconds >= static_cast<int64_t>(kMillisecondsPerDay)) {
        milliseconds -= static_cast<int64_t>(kMillisecondsPerDay);
        ++days;
    }
    platform::SystemTime moment = civilDate(days + kDateTimeEpoch);
    moment.hour = static_cast<uint16_t>(milliseconds / 3600000);
    moment.minute = static_cast<uint16_t>(milliseconds / 60000 % 60);
    moment.second = static_cast<uint16_t>(milliseconds / 1000 % 60);
    moment.milliseconds = static_cast<uint16_t>(milliseconds % 1000);
    moment.dayOfWeek = static_cast<uint16_t>(weekdayOf(days));
    return moment;
}

TDateTime TransitionToDateTime(const platform::SystemTime& transition, int year) {
    if (transition.month == 0) {
        return 0;
    }
    if (transition.year != 0) {
        return EncodeDateTime(transition.year, transition.month, transition.day, transition.hour, transition.minute,
                              transition.second, transition.milliseconds);
    }
    const int day = dayOfWeekInMonth(year, transition.month, transition.day, transition.dayOfWeek);
    return EncodeDateTime(year, transition.month, day, transition.hour, transition.minute, transition.second,
                          transition.milliseconds);
}

std::string DateTimeText(platform::System& system, TDateTime value) {
    const std::optional<platform::SystemTime> moment = DateTimeToSystemTime(value);
    if (!moment) {
        return {};
    }
    const bool midnight = moment->hour == 0 && moment->minute == 0 && moment->second == 0 && moment->milliseconds == 0;
    return system.dateTimeText(*moment, !midnight);
}

}  // namespace vardak::probes
