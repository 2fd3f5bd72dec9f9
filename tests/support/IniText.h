// The text of a profile (INI) file, read and edited the way the Windows private-profile
// functions do: section and key names compare without regard to ASCII case and are
// trimmed of blanks; a value is trimmed and loses one pair of surrounding quotes; lines
// starting with ';' are comments; the first of duplicate sections or keys counts.
// Edits keep every other line as it was; the text comes back with CR LF line ends.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vardak::testing {

class IniText {
public:
    explicit IniText(std::string_view text);

    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    std::vector<std::string> sectionNames() const;
    std::vector<std::string> keyNames(std::string_view section) const;

    // Replaces the key's line in place, or adds it after the section's last key, or adds
    // the section at the end of the file.
    void setValue(std::string_view section, std::string_view key, std::string_view value);
    void removeKey(std::string_view section, std::string_view key);
    void removeSection(std::string_view section);

    std::string text() const;

private:
    struct Span {
        size_t header;  // index of the [section] line
        size_t end;     // one past the section's last line
    };

    std::optional<Span> findSection(std::string_view section) const;
    std::optional<size_t> findKey(const Span& span, std::string_view key) const;

    std::vector<std::string> lines_;
};

}  // namespace vardak::testing
