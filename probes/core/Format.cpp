#include "probes/core/Format.h"

#include "framework/Exception.h"
#include "framework/SysUtils.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace vardak::probes {
namespace {

constexpr int kDefaultFloatPrecision = 2;
// Widths and precisions beyond this are broken formats, not wishes.
constexpr int kLargestWidth = 4096;

struct Conversion {
    bool leftJustify = false;
    int width = 0;
    std::optional<int> precision;
    char type = 0;
};

[[noreturn]] void invalidFormat(std::string_view format) {
    throw EConvertError("Format '" + std::string(format) + "' invalid or incompatible with argument");
}

[[noreturn]] void missingArgument(std::string_view format) {
    throw EConvertError("No argument for format '" + std::string(format) + "'");
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads decimal digits at `at`; nothing when there are none.
std::optional<int> readNumber(std::string_view format, size_t& at) {
    if (at >= format.size() || !isDigit(format[at])) {
        return std::nullopt;
    }
    int number = 0;
    while (at < format.size() && isDigit(format[at])) {
        number = number * 10 + (format[at] - '0');
        if (number > kLargestWidth) {
            invalidFormat(format);
        }
        ++at;
    }
    return number;
}

// Parses the conversion after a "%" at `at`, leaving `at` after its type letter.
Conversion readConversion(std::string_view format, size_t& at) {
    Conversion conversion;
    if (at < format.size() && format[at] == '-') {
        conversion.leftJustify = true;
        ++at;
    }
    conversion.width = readNumber(format, at).value_or(0);
    if (at < format.size() && format[at] == '.') {
        ++at;
        conversion.precision = readNumber(format, at).value_or(0);
    }
    if (at >= format.size()) {
        invalidFormat(format);
    }
    conversion.type = lowerAscii(format[at++]);
    return conversion;
}

std::string zeroPadded(std::string digits, std::optional<int> precision) {
    const size_t wanted = static_cast<size_t>(precision.value_or(0));
    if (digits.size() < wanted) {
        digits.insert(0, wanted - digits.size(), '0');
    }
    return digits;
}

std::string decimal(int64_t value, std::optional<int> precision) {
    // The magnitude as unsigned, so the most negative value has one too.
    const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    const std::string digits = zeroPadded(std::to_string(magnitude), precision);
    return value < 0 ? "-" + digits : digits;
}

std::string hexadecimal(int64_t value, std::optional<int> precision) {
    const bool fits32Bits = value >= INT32_MIN && value < 0;
    const uint64_t bits = fits32Bits ? static_cast<uint32_t>(value) : static_cast<uint64_t>(value);
    char buffer[17] = {};
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), bits, 16);
    std::string digits(buffer, result.ptr);
    for (char& c : digits) {
        if (c >= 'a' && c <= 'f') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return zeroPadded(std::move(digits), precision);
}

// Adds one to a decimal digit string.
std::string incremented(std::string digits) {
    for (size_t index = digits.size(); index > 0; --index) {
        if (digits[index - 1] != '9') {
            ++digits[index - 1];
            return digits;
        }
        digits[index - 1] = '0';
    }
    return "1" + digits;
}

// The magnitude times 10^decimals, rounded half away from zero, as decimal digits.
// The rounding works on the shortest decimal form of the number, so 1.005 is
// rounded as the 1.005 it was written as.
std::string scaledDigits(double magnitude, int decimals) {
    const std::string shortest = shortestScientific(magnitude);
    const std::string_view scientific(shortest);
    const size_t exponentMark = scientific.find('e');
    std::string digits;
    for (char c : scientific.substr(0, exponentMark)) {
        if (isDigit(c)) {
            digits.push_back(c);
        }
    }
    const int exponent = std::atoi(std::string(scientific.substr(exponentMark + 1)).c_str());
    // magnitude = 0.<digits> * 10^(exponent + 1); keep the first `kept` digits.
    const long kept = static_cast<long>(exponent) + 1 + decimals;
    if (kept < 0) {
        return "0";
    }
    if (static_cast<size_t>(kept) >= digits.size()) {
        return digits + std::string(static_cast<size_t>(kept) - digits.size(), '0');
    }
    const bool roundUp = digits[static_cast<size_t>(kept)] >= '5';
    std::string scaled = kept == 0 ? std::string("0") : digits.substr(0, static_cast<size_t>(kept));
    return roundUp ? incremented(std::move(scaled)) : scaled;
}

std::string fixed(double value, std::optional<int> precision, char decimalSeparator) {
    if (std::isnan(value)) {
        return "NAN";
    }
    if (std::isinf(value)) {
        return value > 0 ? "INF" : "-INF";
    }
    const int decimals = precision.value_or(kDefaultFloatPrecision);
    std::string digits = scaledDigits(std::fabs(value), decimals);
    const size_t firstNonZero = digits.find_first_not_of('0');
    const bool isZero = firstNonZero == std::string::npos;
    digits.erase(0, isZero ? digits.size() : firstNonZero);
    if (digits.size() < static_cast<size_t>(decimals) + 1) {
        digits.insert(0, static_cast<size_t>(decimals) + 1 - digits.size(), '0');
    }
    std::string text = digits.substr(0, digits.size() - static_cast<size_t>(decimals));
    if (decimals > 0) {
        text += decimalSeparator;
        text += digits.substr(digits.size() - static_cast<size_t>(decimals));
    }
    return (value < 0 && !isZero) ? "-" + text : text;
}

std::string converted(const Conversion& conversion, const FormatArg& argument, std::string_view format,
                      const FormatSettings& settings) {
    switch (conversion.type) {
        case 'd':
            if (const int64_t* number = argument.integer()) {
                return decimal(*number, conversion.precision);
            }
            break;
        case 'x':
            if (const int64_t* number = argument.integer()) {
                return hexadecimal(*number, conversion.precision);
            }
            break;
        case 'f':
            if (const double* number = argument.floating()) {
                return fixed(*number, conversion.precision, settings.decimalSeparator);
            }
            break;
        case 's':
            if (const std::string* text = argument.text()) {
                return conversion.precision ? text->substr(0, static_cast<size_t>(*conversion.precision)) : *text;
            }
            break;
        default:
            break;
    }
    invalidFormat(format);
}

std::string padded(std::string text, const Conversion& conversion) {
    const size_t width = static_cast<size_t>(conversion.width);
    if (text.size() >= width) {
        return text;
    }
    const std::string blanks(width - text.size(), ' ');
    return conversion.leftJustify ? text + blanks : blanks + text;
}

}  // namespace

std::string FormatGrouped(int64_t value, std::string_view separator) {
    constexpr size_t kGroupDigits = 3;
    const std::string digits = decimal(value, std::nullopt);
    const size_t firstDigit = value < 0 ? 1 : 0;
    std::string grouped = digits.substr(0, firstDigit);
    for (size_t at = firstDigit; at < digits.size(); ++at) {
        const size_t digitsLeft = digits.size() - at;
        if (at > firstDigit && digitsLeft % kGroupDigits == 0) {
            grouped += separator;
        }
        grouped.push_back(digits[at]);
    }
    return grouped;
}

std::string Format(std::string_view format, std::span<const FormatArg> args, const FormatSettings& settings) {
    std::string result;
    size_t nextArgument = 0;
    size_t at = 0;
    while (at < format.size()) {
        const size_t percent = format.find('%', at);
        result.append(format.substr(at, percent == std::string_view::npos ? std::string_view::npos : percent - at));
        if (percent == std::string_view::npos) {
            break;
        }
        at = percent + 1;
        if (at < format.size() && format[at] == '%') {
            result.push_back('%');
            ++at;
            continue;
        }
        const Conversion conversion = readConversion(format, at);
        if (nextArgument >= args.size()) {
            missingArgument(format);
        }
        result += padded(converted(conversion, args[nextArgument++], format, settings), conversion);
    }
    return result;
}

}  // namespace vardak::probes
