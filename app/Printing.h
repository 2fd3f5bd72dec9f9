// The summary list as a small formatted document, for printing and for the clipboard:
// a heading, then per row a caption line and a value line (a separator an empty line),
// and from the programs' header on one line per program with its name alone.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "app/Components.h"

namespace vardak::app {

// The string resources of the document and its print job; each language build has its texts.
namespace print_text {
inline constexpr int kHeading = 65184;
inline constexpr int kJobTitle = 65185;
inline constexpr int kNoPrinter = 65186;
}  // namespace print_text

// Point sizes of the document's lines.
namespace print_size {
inline constexpr int kHeading = 14;
inline constexpr int kCaption = 10;
inline constexpr int kValue = 12;
inline constexpr int kEmpty = 10;
inline constexpr int kProgram = 10;
}  // namespace print_size

// The document's lines for the list's rows: the heading; a row with icon -1 an empty
// line, until the row whose trimmed caption is `programsCaption` (exactly) starts the
// programs: from there on every row is its trimmed caption alone. Any other row is its
// caption and ":" and then its value, trimmed of blanks and line breaks.
std::vector<RichParagraph> PrintLines(const std::vector<ListRow>& rows, std::string_view heading,
                                      std::string_view programsCaption);

// The characters the lines take in a rich-edit control, a line break after each.
size_t PrintTextLength(const std::vector<RichParagraph>& lines);

}  // namespace vardak::app
