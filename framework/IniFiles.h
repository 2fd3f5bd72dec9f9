// Settings files through the profile functions of the platform. A file named without
// a folder lives in the Windows folder, as with the profile API itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "framework/Classes.h"

namespace vardak::platform {
class FileSystem;
}

namespace vardak {

class TIniFile : public TObject {
public:
    TIniFile(platform::FileSystem& files, std::string fileName);

    std::string_view className() const override { return "TIniFile"; }
    const std::string& fileName() const { return fileName_; }

    std::string readString(std::string_view section, std::string_view key, std::string_view fallback) const;
    // Decimal with an optional sign, or hexadecimal after "$" or "0x"; anything else,
    // or a missing key, gives `fallback`.
    int32_t readInteger(std::string_view section, std::string_view key, int32_t fallback) const;
    // Read as an integer: non-zero is true, "0" false, text that is no number `fallback`.
    bool readBool(std::string_view section, std::string_view key, bool fallback) const;
    double readFloat(std::string_view section, std::string_view key, double fallback) const;

    // The writers raise EIniFileException when the file cannot be written.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, int32_t value);
    void writeBool(std::string_view section, std::string_view key, bool value);
    void writeFloat(std::string_view section, std::string_view key, double value);

    // The key names of a section, the section names, and the name=value lines of a section.
    void readSection(std::string_view section, TStrings& keys) const;
    void readSections(TStrings& sections) const;
    void readSectionValues(std::string_view section, TStrings& lines) const;

    // A section exists when it holds at least one key.
    bool sectionExists(std::string_view section) const;
    bool valueExists(std::string_view section, std::string_view key) const;
    void eraseSection(std::string_view section);
    void deleteKey(std::string_view section, std::string_view key);

private:
    void write(std::string_view section, const std::optional<std::string>& key,
               const std::optional<std::string>& value);

    platform::FileSystem& files_;
    std::string fileName_;
};

}  // namespace vardak
