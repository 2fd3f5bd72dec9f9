// Text and number conversions the framework and the probes share: case-insensitive
// comparison in the Windows ANSI code page (1252), trimming, and the integer and
// floating-point conversions with the rules of the classic run-time library.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vardak {

// Windows-1252 case mapping: ASCII letters plus the accented letters of the code page.
char ansiLowerChar(char c);
char ansiUpperChar(char c);
std::string ansiLowerCase(std::string_view text);
std::string ansiUpperCase(std::string_view text);

// Case-insensitive comparison: negative, zero or positive like strcmp.
int compareText(std::string_view a, std::string_view b);
bool sameText(std::string_view a, std::string_view b);

// Removes blanks and control characters (everything up to ' ') at both ends.
std::string trim(std::string_view text);

std::string intToStr(int64_t value);

// A 32-bit integer: optional sign, then decimal digits, or hexadecimal digits after
// "$" or "0x". Blanks around the number are ignored. Nothing for any other text or
// a number out of range; hexadecimal takes all 32 bits ("$FFFFFFFF" is -1).
std::optional<int32_t> tryStrToInt(std::string_view text);
int32_t strToIntDef(std::string_view text, int32_t fallback);
// Raises EConvertError for text that is not a number.
int32_t strToInt(std::string_view text);

// A decimal number with an optional exponent ("-1.5", "2E10"), blanks around it
// ignored, `decimalSeparator` between the integer and fraction digits.
std::optional<double> tryStrToFloat(std::string_view text, char decimalSeparator = '.');

// The general float-to-text conversion: 15 significant digits, no trailing zeros,
// fixed notation for decimal exponents from -4 to 14 and scientific ("1.5E20",
// "1E-5") outside them; "NAN", "INF" and "-INF" for the special values.
std::string floatToStr(double value, char decimalSeparator = '.');
// A finite, non-negative number in the fewest significant digits that read back as
// the same number, in the C library's scientific form ("1.005e+00").
std::string shortestScientific(double magnitude);

}  // namespace vardak
