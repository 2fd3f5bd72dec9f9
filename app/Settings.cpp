#include "app/Settings.h"

#include "framework/IniFiles.h"

namespace vardak::app {

ToggleStates loadToggleStates(platform::FileSystem& files) {
    const TIniFile ini(files, kSettingsFile);
    ToggleStates states;
    states.programmer = ini.readBool(kSettingsSection, "Programmer", false);
    states.partitioner = ini.readBool(kSettingsSection, "Partitioner", false);
    states.detaljer = ini.readBool(kSettingsSection, "Detaljer", false);
    return states;
}

bool saveToggleStates(platform::FileSystem& files, const ToggleStates& states) {
    TIniFile ini(files, kSettingsFile);
    try {
        ini.writeBool(kSettingsSection, "Programmer", states.programmer);
        ini.writeBool(kSettingsSection, "Partitioner", states.partitioner);
        ini.writeBool(kSettingsSection, "Detaljer", states.detaljer);
    } catch (const EIniFileException&) {
        return false;
    }
    return true;
}

}  // namespace vardak::app
