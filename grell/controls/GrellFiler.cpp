#include "grell/controls/GrellFiler.h"

#include "framework/SysUtils.h"

namespace vardak::grell {

std::optional<bool> LayoutValue::asBool() const {
    if (kind != Kind::Identifier) return std::nullopt;
    if (sameText(text, "True")) return true;
    if (sameText(text, "False")) return false;
    return std::nullopt;
}

std::optional<int64_t> LayoutValue::asInteger() const {
    if (kind != Kind::Integer) return std::nullopt;
    return number;
}

std::optional<std::string> layoutText(const LayoutValue& value) {
    if (value.kind != LayoutValue::Kind::String && value.kind != LayoutValue::Kind::Identifier) return std::nullopt;
    return value.text;
}

}  // namespace vardak::grell
