// The settings file: the three toggle states of the summary window, kept in
// "Trelka.INI" in the Windows folder.
#pragma once

namespace vardak::platform {
class FileSystem;
}

namespace vardak::app {

constexpr char kSettingsFile[] = "Trelka.INI";
constexpr char kSettingsSection[] = "TrelkaUtility";

struct ToggleStates {
    bool programmer = false;
    bool partitioner = false;
    bool detaljer = false;
    friend bool operator==(const ToggleStates&, const ToggleStates&) = default;
};

// Missing file, section or keys, and values that are no number, read as up.
ToggleStates loadToggleStates(platform::FileSystem& files);
// Writes "Programmer", "Partitioner" and "Detaljer" in that order as "1" or "0".
// A file that cannot be written is passed over in silence; false then.
bool saveToggleStates(platform::FileSystem& files, const ToggleStates& states);

}  // namespace vardak::app
