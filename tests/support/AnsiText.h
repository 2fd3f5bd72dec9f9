// Conversion of Unicode text (.reg files, registry string data) to the ANSI bytes the
// platform seam carries: Windows-1252, each character without a mapping becoming '?'
// as the system's own conversion does.
#pragma once

#include <string>
#include <string_view>

namespace vardak::testing {

// The Windows-1252 byte of a code point, or '?' where the code page has none.
char ansiFromCodePoint(char32_t codePoint);

// `bytes` are UTF-16LE code units; an odd trailing byte is ignored (callers check).
// A surrogate pair is one character and so one '?'.
std::string ansiFromUtf16Le(std::string_view bytes);

// Invalid UTF-8 sequences become '?' too.
std::string ansiFromUtf8(std::string_view text);

}  // namespace vardak::testing
