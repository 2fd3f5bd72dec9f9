// The one formatting routine of the probe library: a format text with "%"
// conversions and a list of typed arguments, with the rules the system's texts rely
// on, the same on every platform and run-time library.
//
//   "%" ["-"] [width] ["." precision] type
//
//   d  integer in decimal; the precision is the minimum number of digits, padded
//      with zeros ("%2.2d" of 5 is "05"), and at least one digit is always printed
//      ("%.0d" of 0 is "0")
//   x  integer in upper-case hexadecimal, precision as for d; a negative value that
//      fits 32 bits prints its 32-bit two's complement ("%x" of -1 is "FFFFFFFF")
//   f  floating-point number with `precision` decimals (2 when none is given),
//      rounded half away from zero on the shortest decimal form of the value, the
//      decimal separator taken from the settings; "INF", "-INF" and "NAN" for the
//      special values
//   s  text; a precision cuts it to that many characters
//   %  "%%" is one percent sign
//
// A width pads the converted text with blanks on the left, or on the right after "-".
// A conversion whose argument is missing or of another kind raises EConvertError.
#pragma once

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace vardak::probes {

struct FormatSettings {
    char decimalSeparator = '.';
};

// One argument: an integer, a floating-point number or a text.
class FormatArg {
public:
    template <std::integral Integer>
        requires(!std::same_as<Integer, char>)
    FormatArg(Integer value) : value_(static_cast<int64_t>(value)) {}
    FormatArg(double value) : value_(value) {}
    FormatArg(std::string_view text) : value_(std::string(text)) {}
    FormatArg(const char* text) : value_(std::string(text)) {}
    FormatArg(const std::string& text) : value_(text) {}

    const int64_t* integer() const { return std::get_if<int64_t>(&value_); }
    const double* floating() const { return std::get_if<double>(&value_); }
    const std::string* text() const { return std::get_if<std::string>(&value_); }

private:
    std::variant<int64_t, double, std::string> value_;
};

std::string Format(std::string_view format, std::span<const FormatArg> args,
                   const FormatSettings& settings = {});

inline std::string Format(std::string_view format, std::initializer_list<FormatArg> args,
                          const FormatSettings& settings = {}) {
    return Format(format, std::span<const FormatArg>(args.begin(), args.size()), settings);
}

// The integer in decimal with `separator` between the groups of three digits
// ("1.234.567" with "."), as sizes are printed for people; an empty separator
// groups nothing.
std::string FormatGrouped(int64_t value, std::string_view separator);

}  // namespace vardak::probes
