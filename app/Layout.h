// The layout text of a window: nested "object Name: TClass ... end" blocks holding
// "Name = value" lines, in the style of the classic form files. Values are integers
// (decimal or $hex), quoted strings ('it''s', #13#10 character codes, joined with +),
// identifiers, sets ([fsBold]), binary data ({hex digits}) and collections
// (<item ... end>). "//" starts a comment that runs to the end of the line.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "grell/controls/GrellFiler.h"

namespace vardak::app {

using grell::LayoutProperty;
using grell::LayoutValue;

struct LayoutObject {
    std::string name;
    std::string className;
    std::vector<LayoutProperty> properties;
    std::vector<LayoutObject> children;
};

class LayoutError : public std::runtime_error {
public:
    LayoutError(int line, const std::string& message)
        : std::runtime_error("layout line " + std::to_string(line) + ": " + message), line_(line) {}
    int line() const { return line_; }

private:
    int line_;
};

// The one top-level object of a layout text; raises LayoutError.
LayoutObject parseLayout(std::string_view text);

}  // namespace vardak::app
