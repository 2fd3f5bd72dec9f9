// Name comparison the way the registry and profile files compare names: ASCII letters
// without regard to case, every other byte as it is.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace vardak::testing {

constexpr char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

inline std::string upperAscii(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) { return upperAscii(c); });
    return upper;
}

constexpr bool equalsIgnoreCase(std::string_view left, std::string_view right) {
    return left.size() == right.size() &&
           std::equal(left.begin(), left.end(), right.begin(),
                      [](char a, char b) { return upperAscii(a) == upperAscii(b); });
}

}  // namespace vardak::testing
