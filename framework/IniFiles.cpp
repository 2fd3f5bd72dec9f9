#include "framework/IniFiles.h"

#include <utility>

#include "framework/SysUtils.h"
#include "platform/Platform.h"

namespace vardak {

TIniFile::TIniFile(platform::FileSystem& files, std::string fileName)
    : files_(files), fileName_(std::move(fileName)) {}

std::string TIniFile::readString(std::string_view section, std::string_view key,
                                 std::string_view fallback) const {
    return files_.profileString(fileName_, std::string(section), std::string(key), std::string(fallback));
}

int32_t TIniFile::readInteger(std::string_view section, std::string_view key, int32_t fallback) const {
    return strToIntDef(readString(section, key, ""), fallback);
}

bool TIniFile::readBool(std::string_view section, std::string_view key, bool fallback) const {
    return readInteger(section, key, fallback ? 1 : 0) != 0;
}

double TIniFile::readFloat(std::string_view section, std::string_view key, double fallback) const {
    return tryStrToFloat(readString(section, key, "")).value_or(fallback);
}

void TIniFile::write(std::string_view section, const std::optional<std::string>& key,
                     const std::optional<std::string>& value) {
    if (!files_.writeProfileString(fileName_, std::string(section), key, value)) {
        throw EIniFileException("Unable to write to " + fileName_);
    }
}

void TIniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    write(section, std::string(key), std::string(value));
}

void TIniFile::writeInteger(std::string_view section, std::string_view key, int32_t value) {
    writeString(section, key, intToStr(value));
}

void TIniFile::writeBool(std::string_view section, std::string_view key, bool value) {
    writeString(section, key, value ? "1" : "0");
}

void TIniFile::writeFloat(std::string_view section, std::string_view key, double value) {
    writeString(section, key, floatToStr(value));
}

void TIniFile::readSection(std::string_view section, TStrings& keys) const {
    keys.beginUpdate();
    keys.clear();
    for (const std::string& key : files_.profileKeyNames(fileName_, std::string(section))) keys.add(key);
    keys.endUpdate();
}

void TIniFile::readSections(TStrings& sections) const {
    sections.beginUpdate();
    sections.clear();
    for (const std::string& section : files_.profileSectionNames(fileName_)) sections.add(section);
    sections.endUpdate();
}

void TIniFile::readSectionValues(std::string_view section, TStrings& lines) const {
    lines.beginUpdate();
    lines.clear();
    for (const std::string& key : files_.profileKeyNames(fileName_, std::string(section))) {
        lines.add(key + "=" + readString(section, key, ""));
    }
    lines.endUpdate();
}

bool TIniFile::sectionExists(std::string_view section) const {
    return !files_.profileKeyNames(fileName_, std::string(section)).empty();
}

bool TIniFile::valueExists(std::string_view section, std::string_view key) const {
    for (const std::string& name : files_.profileKeyNames(fileName_, std::string(section))) {
        if (sameText(name, key)) return true;
    }
    return false;
}

void TIniFile::eraseSection(std::string_view section) {
    write(section, std::nullopt, std::nullopt);
}

void TIniFile::deleteKey(std::string_view section, std::string_view key) {
    // Deleting a key that is not there is no failure.
    files_.writeProfileString(fileName_, std::string(section), std::string(key), std::nullopt);
}

}  // namespace vardak
