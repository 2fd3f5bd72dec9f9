#include "framework/SysUtils.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "framework/Exception.h"

namespace vardak {

namespace {

constexpr int kSignificantDigits = 15;
// Decimal exponents (of d.ddd x 10^e) written in fixed notation.
constexpr int kMinFixedExponent = -4;
constexpr int kMaxFixedExponent = kSignificantDigits - 1;

// Windows-1252 letters with a case partner outside the Latin-1 block.
struct CasePair {
    unsigned char upper;
    unsigned char lower;
};
constexpr CasePair kCp1252Pairs[] = {{0x8A, 0x9A}, {0x8C, 0x9C}, {0x8E, 0x9E}, {0x9F, 0xFF}};

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::optional<uint32_t> hexDigitValue(char c) {
    if (isDigit(c)) return static_cast<uint32_t>(c - '0');
    const char lower = static_cast<char>(c | 0x20);
    if (lower >= 'a' && lower <= 'f') return static_cast<uint32_t>(lower - 'a' + 10);
    return std::nullopt;
}

std::string_view trimView(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::optional<uint32_t> parseHex(std::string_view digits) {
    if (digits.empty()) return std::nullopt;
    uint64_t value = 0;
    for (char c : digits) {
        const auto digit = hexDigitValue(c);
        if (!digit) return std::nullopt;
        value = value * 16 + *digit;
        if (value > UINT32_MAX) return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

std::optional<uint64_t> parseDecimal(std::string_view digits, uint64_t limit) {
    if (digits.empty()) return std::nullopt;
    uint64_t value = 0;
    for (char c : digits) {
        if (!isDigit(c)) return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > limit) return std::nullopt;
    }
    return value;
}

bool startsWithHexPrefix(std::string_view text) {
    return text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

// Skips an optional sign; true when it was a minus.
bool takeSign(std::string_view& text) {
    if (text.empty() || (text.front() != '+' && text.front() != '-')) return false;
    const bool negative = text.front() == '-';
    text.remove_prefix(1);
    return negative;
}

size_t countDigits(std::string_view text, size_t from) {
    size_t at = from;
    while (at < text.size() && isDigit(text[at])) ++at;
    return at - from;
}

// Checks the shape [digits][sep digits][E [sign] digits] with at least one mantissa digit.
bool isFloatShape(std::string_view text, char decimalSeparator) {
    size_t at = 0;
    size_t mantissaDigits = countDigits(text, at);
    at += mantissaDigits;
    if (at < text.size() && text[at] == decimalSeparator) {
        ++at;
        const size_t fraction = countDigits(text, at);
        mantissaDigits += fraction;
        at += fraction;
    }
    if (mantissaDigits == 0) return false;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        const size_t exponentDigits = countDigits(text, at);
        if (exponentDigits == 0) return false;
        at += exponentDigits;
    }
    return at == text.size();
}

struct DecimalDigits {
    std::string digits;  // significant digits, no trailing zeros, at least one
    int exponent = 0;    // value = d.ddd x 10^exponent
};

DecimalDigits toDecimalDigits(double magnitude) {
    // The C library's correctly rounded digits: the standard library's own routine for
    // a given precision brings over 100 KB of tables into every program.
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, "%.*e", kSignificantDigits - 1, magnitude);
    const std::string_view text(buffer, length > 0 ? std::min(static_cast<size_t>(length), sizeof buffer - 1) : 0);
    const size_t exponentAt = text.find('e');
    DecimalDigits decimal;
    for (char c : text.substr(0, exponentAt)) {
        if (isDigit(c)) decimal.digits += c;
    }
    while (decimal.digits.size() > 1 && decimal.digits.back() == '0') decimal.digits.pop_back();
    decimal.exponent = std::atoi(std::string(text.substr(exponentAt + 1)).c_str());
    return decimal;
}

std::string fixedNotation(const DecimalDigits& decimal, char decimalSeparator) {
    const std::string& digits = decimal.digits;
    if (decimal.exponent < 0) {
        return "0" + std::string(1, decimalSeparator) +
               std::string(static_cast<size_t>(-decimal.exponent - 1), '0') + digits;
    }
    const size_t integerDigits = static_cast<size_t>(decimal.exponent) + 1;
    if (digits.size() <= integerDigits) {
        return digits + std::string(integerDigits - digits.size(), '0');
    }
    return digits.substr(0, integerDigits) + decimalSeparator + digits.substr(integerDigits);
}

std::string scientificNotation(const DecimalDigits& decimal, char decimalSeparator) {
    std::string text(1, decimal.digits[0]);
    if (decimal.digits.size() > 1) {
        text += decimalSeparator;
        text += decimal.digits.substr(1);
    }
    text += 'E';
    if (decimal.exponent < 0) text += '-';
    text += std::to_string(std::abs(decimal.exponent));
    return text;
}

}  // namespace

char ansiLowerChar(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 'A' && byte <= 'Z') return static_cast<char>(byte + 32);
    // Latin-1 capitals, except the multiplication sign.
    if (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7) return static_cast<char>(byte + 32);
    for (const CasePair& pair : kCp1252Pairs) {
        if (byte == pair.upper) return static_cast<char>(pair.lower);
    }
    return c;
}

char ansiUpperChar(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 'a' && byte <= 'z') return static_cast<char>(byte - 32);
    // Latin-1 small letters, except the division sign; 0xFF maps below.
    if (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7) return static_cast<char>(byte - 32);
    for (const CasePair& pair : kCp1252Pairs) {
        if (byte == pair.lower) return static_cast<char>(pair.upper);
    }
    return c;
}

std::string ansiLowerCase(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = ansiLowerChar(c);
    return result;
}

std::string ansiUpperCase(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = ansiUpperChar(c);
    return result;
}

int compareText(std::string_view a, std::string_view b) {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const auto left = static_cast<unsigned char>(ansiLowerChar(a[i]));
        const auto right = static_cast<unsigned char>(ansiLowerChar(b[i]));
        if (left != right) return left < right ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool sameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && compareText(a, b) == 0;
}

std::string trim(std::string_view text) {
    return std::string(trimView(text));
}

std::string intToStr(int64_t value) {
    return std::to_string(value);
}

std::optional<int32_t> tryStrToInt(std::string_view text) {
    text = trimView(text);
    const bool negative = takeSign(text);
    if (!text.empty() && (text.front() == '$' || startsWithHexPrefix(text))) {
        const auto bits = parseHex(text.substr(text.front() == '$' ? 1 : 2));
        if (!bits) return std::nullopt;
        const uint32_t value = negative ? 0u - *bits : *bits;
        return static_cast<int32_t>(value);
    }
    const uint64_t limit = negative ? uint64_t{1} << 31 : (uint64_t{1} << 31) - 1;
    const auto magnitude = parseDecimal(text, limit);
    if (!magnitude) return std::nullopt;
    return static_cast<int32_t>(negative ? -static_cast<int64_t>(*magnitude)
                                         : static_cast<int64_t>(*magnitude));
}

int32_t strToIntDef(std::string_view text, int32_t fallback) {
    return tryStrToInt(text).value_or(fallback);
}

int32_t strToInt(std::string_view text) {
    const auto value = tryStrToInt(text);
    if (!value) throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
    return *value;
}

std::optional<double> tryStrToFloat(std::string_view text, char decimalSeparator) {
    text = trimView(text);
    const bool negative = takeSign(text);
    if (!isFloatShape(text, decimalSeparator)) return std::nullopt;
    std::string normalized(text);
    for (char& c : normalized) {
        if (c == decimalSeparator) c = '.';
    }
    // The shape is checked above, so the C library's reading (in the "C" locale the
    // program keeps) reads exactly this text; it is also far smaller than std::from_chars.
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(normalized.c_str(), &end);
    if (end != normalized.c_str() + normalized.size() || errno == ERANGE) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::string shortestScientific(double magnitude) {
    // The C library's correctly rounded digits at growing precision; 17 digits always
    // read back. (std::to_chars would do it in one call but brings over 100 KB of
    // tables into every program.)
    char buffer[64] = {};
    for (int decimals = 0; decimals <= 16; ++decimals) {
        const int length = std::snprintf(buffer, sizeof buffer, "%.*e", decimals, magnitude);
        if (length <= 0 || static_cast<size_t>(length) >= sizeof buffer) break;
        if (std::strtod(buffer, nullptr) == magnitude) return std::string(buffer, static_cast<size_t>(length));
    }
    return buffer;
}

std::string floatToStr(double value, char decimalSeparator) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";
    const DecimalDigits decimal = toDecimalDigits(std::fabs(value));
    const bool fixed = decimal.exponent >= kMinFixedExponent && decimal.exponent <= kMaxFixedExponent;
    const std::string magnitude = fixed ? fixedNotation(decimal, decimalSeparator)
                                        : scientificNotation(decimal, decimalSeparator);
    return value < 0 ? "-" + magnitude : magnitude;
}

}  // namespace vardak
