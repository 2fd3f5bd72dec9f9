// The summary window's list of the computer's main facts: one fact a row (caption, value,
// icon), built anew from the probes and system components at start and after every
// toggle click. The toggles decide what goes in: Detaljer the detail rows, Partitioner
// a row per drive, Programmer the installed programs; old Windows versions (95 and 98)
// leave out what they cannot fill.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "app/Components.h"
#include "grell/system/GrellSysDrive.h"
#include "grell/system/GrellSysProcessor.h"
#include "grell/system/GrellSysUninstall.h"
#include "grell/system/GrellSysWindows.h"
#include "probes/core/Vesk_GUI.h"

namespace vardak::app {

// The string resources of the list, by identifier; each language build has its texts.
namespace overview_text {
inline constexpr int kBaseSystem = 65239;
inline constexpr int kProcessor = 65240;
inline constexpr int kClock = 65241;
inline constexpr int kVoltage = 65242;
inline constexpr int kSocket = 65243;
inline constexpr int kUptime = 65244;
inline constexpr int kSlot = 65245;
inline constexpr int kMemory = 65220;
inline constexpr int kModules = 65225;
inline constexpr int kMB = 65221;
inline constexpr int kGB = 65222;
inline constexpr int kMBRam = 65223;
inline constexpr int kMBFree = 65224;
inline constexpr int kSoundCard = 65226;
inline constexpr int kGamePort = 65227;
inline constexpr int kNetworkCard = 65216;
inline constexpr int kComputerName = 65217;
inline constexpr int kIPAddress = 65218;
inline constexpr int kMACAddress = 65219;
inline constexpr int kFloppy = 65228;
inline constexpr int kHardDisk = 65229;
inline constexpr int kCDROM = 65230;
inline constexpr int kTape = 65231;
inline constexpr int kDrive = 65210;
inline constexpr int kFreeOf = 65211;
inline constexpr int kLocalSpace = 65212;
inline constexpr int kNetworkSpace = 65213;
inline constexpr int kGraphics = 65200;
inline constexpr int kGraphicsMemory = 65201;
inline constexpr int kNotGiven = 65202;
inline constexpr int kDirectX = 65203;
inline constexpr int kScreenMode = 65204;
inline constexpr int kWindowsEdition = 65246;
inline constexpr int kRegisteredTo = 65247;
inline constexpr int kModem = 65205;
inline constexpr int kMouse = 65206;
inline constexpr int kKeyboard = 65207;
inline constexpr int kDefaultPrinter = 65208;
inline constexpr int kPrinter = 65209;
inline constexpr int kPrograms = 65214;
inline constexpr int kPublisher = 65215;
}  // namespace overview_text

// Positions in the row icons (IkonListe).
namespace overview_icon {
inline constexpr int kBaseSystem = 0;
inline constexpr int kGraphics = 1;
inline constexpr int kSlot = 3;
inline constexpr int kSoundCard = 4;
inline constexpr int kGamePort = 5;
inline constexpr int kPrinter = 7;
inline constexpr int kMemory = 8;
inline constexpr int kProcessor = 9;
inline constexpr int kVoltage = 11;
inline constexpr int kUptime = 12;  // also the computer name, IP and MAC rows
inline constexpr int kClock = 13;
inline constexpr int kSocket = 14;
inline constexpr int kWindows = 15;
inline constexpr int kNetworkCard = 17;
inline constexpr int kFloppy = 18;
inline constexpr int kHardDisk = 19;  // also a local drive
inline constexpr int kCDROM = 20;
inline constexpr int kTape = 21;
inline constexpr int kKeyboard = 22;
inline constexpr int kMouse = 23;
inline constexpr int kModem = 24;
inline constexpr int kNetworkDrive = 26;
inline constexpr int kNone = -1;  // separator and program rows
}  // namespace overview_icon

// "500 MB", "2.0 GB" (always a full stop), "10 GB": megabytes up to 1023, then gigabytes
// with one decimal below 9.5, then whole gigabytes; `mb` and `gb` are the units' texts.
std::string FormatSize(int64_t bytes, std::string_view mb, std::string_view gb);

// Whether a Windows version text ("major.minor") is 4.10 or older (95 and 98), compared
// as numbers: 4.0 and 4.10 are, 4.90, 5.0 and 10.0 are not. A text that is no version is not.
bool IsLegacyWindows(std::string_view versionText);

struct OverviewToggles {
    bool programmer = false;
    bool partitioner = false;
    bool detaljer = false;
};

// What the list reads: the probe root and the window's system components.
struct OverviewSources {
    probes::TOstrelSystemInfo& probes;
    grell::TGrellSysProcessor& cpuInfo;
    grell::TGrellSysWindows& winInfo;
    grell::TGrellSysDrive& driveInfo;
    grell::TGrellSysUninstall& uninstall;
    platform::Platform& platform;
    // The string resource with this identifier, "" when there is none.
    std::function<std::string(int id)> text;
};

// Appends the rows to the list; every probe and component it reads is refreshed first,
// one by one (the uninstall list stays as the window's start read it).
class TOverviewBuilder {
public:
    TOverviewBuilder(const OverviewSources& sources, OverviewToggles toggles, bool legacyWindows, TListView& list);

    void BuildOverview();

private:
    void AddHardwareRows();
    void AddSlotRows();
    void AddMemoryRows();
    void AddSoundRows();
    void AddNetworkRows();
    void AddDeviceRows();
    void AddDisplayRows();
    void AddWindowsRows();
    void AddInputDeviceRows();
    void AddPrinterRows();
    void AddDriveRows(bool listEachDrive);
    void AddProgramRows();

    void row(std::string caption, std::string value, int icon);
    void SeparatorRow();
    std::string text(int id) const { return sources_.text(id); }
    std::string size(int64_t bytes) const;
    // The display name of the first device of a class, "<none>" when there is none.
    std::string firstDeviceName(uint8_t deviceClass) const;

    const OverviewSources& sources_;
    OverviewToggles toggles_;
    bool legacyWindows_;
    TListView& list_;
};

}  // namespace vardak::app
