#include "tests/support/IniText.h"

#include "tests/support/AsciiCase.h"

#include <algorithm>

namespace vardak::testing {

namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view trim(std::string_view text) {
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

// The name of a "[name]" line, or nothing for any other line.
std::optional<std::string_view> sectionName(std::string_view line) {
    line = trim(line);
    if (!line.starts_with('[')) return std::nullopt;
    line.remove_prefix(1);
    return trim(line.substr(0, line.find(']')));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

// "key=value", not a comment.
std::optional<KeyLine> keyLine(std::string_view line) {
    const std::string_view trimmed = trim(line);
    if (trimmed.empty() || trimmed.starts_with(';') || trimmed.starts_with('[')) return std::nullopt;
    const size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    return KeyLine{trim(trimmed.substr(0, equals)), trimmed.substr(equals + 1)};
}

std::string unquote(std::string_view value) {
    value = trim(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

std::string formatKeyLine(std::string_view key, std::string_view value) {
    std::string line(key);
    line += '=';
    line += value;
    return line;
}

}  // namespace

IniText::IniText(std::string_view text) {
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines_.emplace_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

std::optional<IniText::Span> IniText::findSection(std::string_view section) const {
    const std::string_view wanted = trim(section);
    for (size_t index = 0; index < lines_.size(); ++index) {
        const std::optional<std::string_view> name = sectionName(lines_[index]);
        if (!name || !equalsIgnoreCase(*name, wanted)) continue;
        size_t end = index + 1;
        while (end < lines_.size() && !sectionName(lines_[end])) ++end;
        return Span{index, end};
    }
    return std::nullopt;
}

std::optional<size_t> IniText::findKey(const Span& span, std::string_view key) const {
    const std::string_view wanted = trim(key);
    for (size_t index = span.header + 1; index < span.end; ++index) {
        const std::optional<KeyLine> line = keyLine(lines_[index]);
        if (line && equalsIgnoreCase(line->key, wanted)) return index;
    }
    return std::nullopt;
}

std::optional<std::string> IniText::value(std::string_view section, std::string_view key) const {
    const std::optional<Span> span = findSection(section);
    if (!span) return std::nullopt;
    const std::optional<size_t> index = findKey(*span, key);
    if (!index) return std::nullopt;
    return unquote(keyLine(lines_[*index])->value);
}

std::vector<std::string> IniText::sectionNames() const {
    std::vector<std::string> names;
    for (const std::string& line : lines_) {
        const std::optional<std::string_view> name = sectionName(line);
        if (!name) continue;
        const bool known = std::any_of(names.begin(), names.end(),
                                       [&](const std::string& seen) { return equalsIgnoreCase(seen, *name); });
        if (!known) names.emplace_back(*name);
    }
    return names;
}

std::vector<std::string> IniText::keyNames(std::string_view section) const {
    std::vector<std::string> names;
    const std::optional<Span> span = findSection(section);
    if (!span) return names;
    for (size_t index = span->header + 1; index < span->end; ++index) {
        if (const std::optional<KeyLine> line = keyLine(lines_[index])) names.emplace_back(line->key);
    }
    return names;
}

void IniText::setValue(std::string_view section, std::string_view key, std::string_view value) {
    const std::optional<Span> span = findSection(section);
    if (!span) {
        lines_.push_back("[" + std::string(trim(section)) + "]");
        lines_.push_back(formatKeyLine(trim(key), value));
        return;
    }
    if (const std::optional<size_t> index = findKey(*span, key)) {
        const std::string existingKey(keyLine(lines_[*index])->key);
        lines_[*index] = formatKeyLine(existingKey, value);
        return;
    }
    size_t insertAt = span->header + 1;
    for (size_t index = span->header + 1; index < span->end; ++index) {
        if (keyLine(lines_[index])) insertAt = index + 1;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), formatKeyLine(trim(key), value));
}

void IniText::removeKey(std::string_view section, std::string_view key) {
    const std::optional<Span> span = findSection(section);
    if (!span) return;
    if (const std::optional<size_t> index = findKey(*span, key)) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*index));
    }
}

void IniText::removeSection(std::string_view section) {
    const std::optional<Span> span = findSection(section);
    if (!span) return;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(span->header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(span->end));
}

std::string IniText::text() const {
    std::string text;
    for (const std::string& line : lines_) {
        text += line;
        text += "\r\n";
    }
    return text;
}

}  // namespace vardak::testing
