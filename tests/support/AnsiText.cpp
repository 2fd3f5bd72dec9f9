#include "tests/support/AnsiText.h"

#include <array>
#include <cstdint>

namespace vardak::testing {

namespace {

// Code points of the Windows-1252 bytes 0x80..0x9F. The five bytes the code page
// leaves undefined map to the C1 control of the same number, as Windows maps them.
constexpr std::array<char16_t, 32> kHighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

bool isContinuationByte(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of the UTF-8 sequence a lead byte starts, 0 for a byte that cannot lead.
size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

}  // namespace

char ansiFromCodePoint(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<char>(codePoint);
    }
    for (size_t index = 0; index < kHighControlRange.size(); ++index) {
        if (kHighControlRange[index] == codePoint) {
            return static_cast<char>(0x80 + index);
        }
    }
    return '?';
}

std::string ansiFromUtf16Le(std::string_view bytes) {
    std::string text;
    const size_t unitCount = bytes.size() / 2;
    auto unitAt = [&](size_t index) {
        return static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * index]) |
                                     (static_cast<uint8_t>(bytes[2 * index + 1]) << 8));
    };
    for (size_t index = 0; index < unitCount; ++index) {
        const char16_t unit = unitAt(index);
        if (isHighSurrogate(unit) && index + 1 < unitCount && isLowSurrogate(unitAt(index + 1))) {
            ++index;
            text.push_back('?');
        } else {
            text.push_back(ansiFromCodePoint(unit));
        }
    }
    return text;
}

std::string ansiFromUtf8(std::string_view text) {
    std::string result;
    size_t pos = 0;
    while (pos < text.size()) {
        const auto lead = static_cast<unsigned char>(text[pos]);
        const size_t length = sequenceLength(lead);
        bool valid = length != 0 && pos + length <= text.size();
        for (size_t offset = 1; valid && offset < length; ++offset) {
            valid = isContinuationByte(static_cast<unsigned char>(text[pos + offset]));
        }
        if (!valid) {
            result.push_back('?');
            ++pos;
            continue;
        }
        char32_t codePoint = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t offset = 1; offset < length; ++offset) {
            codePoint = (codePoint << 6) | (static_cast<unsigned char>(text[pos + offset]) & 0x3F);
        }
        result.push_back(ansiFromCodePoint(codePoint));
        pos += length;
    }
    return result;
}

}  // namespace vardak::testing
