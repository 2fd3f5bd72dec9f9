#include "app/Printing.h"

#include "framework/SysUtils.h"

namespace vardak::app {

std::vector<RichParagraph> PrintLines(const std::vector<ListRow>& rows, std::string_view heading,
                                      std::string_view programsCaption) {
    std::vector<RichParagraph> lines{{std::string(heading), print_size::kHeading}};
    bool programs = false;
    for (const ListRow& row : rows) {
        if (row.imageIndex == -1 && !programs) {
            lines.push_back({"", print_size::kEmpty});
            continue;
        }
        std::string caption = trim(row.caption);
        programs = programs || caption == programsCaption;
        if (programs) {
            lines.push_back({std::move(caption), print_size::kProgram});
        } else {
            lines.push_back({row.caption + ":", print_size::kCaption});
            lines.push_back({trim(row.value), print_size::kValue});
        }
    }
    return lines;
}

size_t PrintTextLength(const std::vector<RichParagraph>& lines) {
    size_t length = 0;
    for (const RichParagraph& line : lines) length += line.text.size() + 2;
    return length;
}

}  // namespace vardak::app
