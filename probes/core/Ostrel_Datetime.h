// Elapsed-time texts, date-times and time-zone transition dates.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Platform.h"
#include "platform/SystemTime.h"
#include "probes/core/Format.h"

namespace vardak::probes {

// Days since 30 December 1899, the time of day as the fraction.
using TDateTime = double;

// An elapsed time in words, counted in centuries (3157920000 s), years (365.5 days),
// months (31 days), weeks, days, hours, minutes and seconds:
// - neither flag: from the largest unit with a count on, "1 Hour, 2 Minutes, 5 Seconds."
//   (zero counts below it included, "0 Hours"; only the seconds for less than a minute);
// - showAll: every unit from centuries down;
// - compact: "hh:mm:ss" of the hours, minutes and seconds alone;
// - showAll and compact: "yy.mm.dd hh:mm:ss", weeks counted into the days and
//   centuries left out.
// The seconds are printed with two decimals unless `wholeSeconds` is set.
std::string FormatSeconds(int64_t seconds, bool wholeSeconds, bool showAll, bool compact,
                          const FormatSettings& settings = {});

// The date a time-zone transition record stands for in `year`: 0 when the record's
// month is 0 (no transition), the record's own date and time when it has a year,
// else the rule "the n-th <weekday> of <month>" (day 1..4, 5 for the last one) at
// the record's time of day. A rule out of range raises EConvertError
// "(year, month, day, weekday) is not a valid DayOfWeekInMonth quad"; an absolute
// date or a time of day that does not exist raises EConvertError too.
TDateTime TransitionToDateTime(const platform::SystemTime& transition, int year);

// The date-time of a calendar date and time of day; raises EConvertError for a
// date or time that does not exist (years 1..9999).
TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int milliseconds);

// The date and time parts of a TDateTime as a calendar record (weekday 0 = Sunday);
// nothing for a value outside years 1..9999.
std::optional<platform::SystemTime> DateTimeToSystemTime(TDateTime value);

// The system's default text of a date-time: the short date, then the long time unless
// the time of day is exactly midnight; empty outside years 1..9999.
std::string DateTimeText(platform::System& system, TDateTime value);

}  // namespace vardak::probes
