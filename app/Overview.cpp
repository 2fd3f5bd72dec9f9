#include "app/Overview.h"

#include <charconv>
#include <cmath>

#include "framework/Registry.h"
#include "probes/core/Format.h"
#include "probes/core/Ostrel_Datetime.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/hardware/Vesk_Engines.h"
#include "probes/hardware/Vesk_SMBIOS.h"

namespace vardak::app {

namespace text = overview_text;
namespace icon = overview_icon;
using probes::Format;

namespace {

constexpr std::string_view kNoDevice = "<none>";
// A processor component name this short is no name: the probe's brand text is taken.
constexpr size_t kShortestProcessorName = 6;
constexpr size_t kDirectXVersionSkip = 3;
constexpr size_t kDirectXVersionLongest = 99;
constexpr int kSlotTypes = 22;

// The entry at `index`, "" outside the list.
std::string entryOrEmpty(const TStrings& list, int index) {
    return index >= 0 && index < list.count() ? list[index] : std::string();
}

// Megabytes of a byte count, made even by rounding an odd count up.
int64_t evenMegabytes(int64_t bytes) {
    const int64_t megabytes = bytes / 1024 / 1024;
    return megabytes % 2 != 0 ? megabytes + 1 : megabytes;
}

std::optional<int> leadingNumber(std::string_view& text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) return std::nullopt;
    text.remove_prefix(static_cast<size_t>(end - text.data()));
    return value;
}

}  // namespace

std::string FormatSize(int64_t bytes, std::string_view mb, std::string_view gb) {
    const int64_t kilobytes = bytes / 1024;
    const int64_t megabytes = kilobytes / 1024;
    if (megabytes < 1024) return std::to_string((kilobytes + 512) / 1024) + std::string(mb);
    if (megabytes < 9728) return Format("%.1f", {static_cast<double>(megabytes) / 1024.0}) + std::string(gb);
    return std::to_string((megabytes + 512) / 1024) + std::string(gb);
}

bool IsLegacyWindows(std::string_view versionText) {
    const std::optional<int> major = leadingNumber(versionText);
    if (!major || versionText.empty() || versionText.front() != '.') return false;
    versionText.remove_prefix(1);
    const std::optional<int> minor = leadingNumber(versionText);
    if (!minor) return false;
    return *major < 4 || (*major == 4 && *minor <= 10);
}

TOverviewBuilder::TOverviewBuilder(const OverviewSources& sources, OverviewToggles toggles, bool legacyWindows,
                                   TListView& list)
    : sources_(sources), toggles_(toggles), legacyWindows_(legacyWindows), list_(list) {}

void TOverviewBuilder::row(std::string caption, std::string value, int iconIndex) {
    list_.addRow(ListRow{std::move(caption), std::move(value), iconIndex});
}

void TOverviewBuilder::SeparatorRow() { row("", "", icon::kNone); }

std::string TOverviewBuilder::size(int64_t bytes) const {
    return FormatSize(bytes, text(text::kMB), text(text::kGB));
}

void TOverviewBuilder::BuildOverview() {
    const bool details = toggles_.detaljer;
    AddHardwareRows();
    SeparatorRow();
    AddMemoryRows();
    if (details) {
        SeparatorRow();
        AddSoundRows();
    }
    // After the sound rows, and without the details too: the list then shows two
    // separators between the memory and the disk space.
    SeparatorRow();
    if (details) {
        if (!legacyWindows_) AddNetworkRows();
        AddDeviceRows();
    }
    SeparatorRow();
    if (!toggles_.partitioner) {
        AddDriveRows(false);
        SeparatorRow();
    }
    AddDisplayRows();
    SeparatorRow();
    AddWindowsRows();
    if (details) {
        AddInputDeviceRows();
        AddPrinterRows();
    }
    if (toggles_.partitioner) {
        SeparatorRow();
        AddDriveRows(true);
    }
    if (toggles_.programmer) {
        SeparatorRow();
        AddProgramRows();
    }
}

void TOverviewBuilder::AddHardwareRows() {
    probes::TCPU& cpu = sources_.probes.CPU();
    probes::TMachine& machine = sources_.probes.Machine();
    const probes::TSMBIOS& smbios = machine.SMBIOS();
    const bool details = toggles_.detaljer;
    cpu.GetInfo();
    machine.GetInfo(1);
    if (details) {
        row(text(text::kBaseSystem), smbios.SystemManufacturer() + " " + smbios.SystemModel(), icon::kBaseSystem);
    }
    sources_.cpuInfo.Refresh();
    std::string name = sources_.cpuInfo.Processor().CPUName();
    if (name.size() < kShortestProcessorName) name = cpu.brandText();
    const bool namedXP = name.find("XP") != std::string::npos;
    row(text(text::kProcessor), name, icon::kProcessor);
    if (!namedXP || details) row(text(text::kClock), Format("%d Mhz", {cpu.Frequency()}), icon::kClock);
    if (!details) return;
    if (cpu.Count() > 0) {
        const probes::FormatSettings user{probes::UserDecimalSeparator(sources_.platform)};
        row(text(text::kVoltage), Format("%1.1fV", {smbios.CPUVoltage()}, user), icon::kVoltage);
    }
    row(text(text::kSocket), smbios.CPUSocket() + " (" + smbios.CPUUpgrade() + ")", icon::kSocket);
    const int64_t uptime = std::llround(machine.SystemUpTime());
    row(text(text::kUptime), probes::FormatSeconds(uptime, true, false, false), icon::kUptime);
    AddSlotRows();
}

// One row per slot type the board has: how many, the type, the data bus of the last one.
void TOverviewBuilder::AddSlotRows() {
    const probes::TSMBIOS& smbios = sources_.probes.Machine().SMBIOS();
    for (int type = 0; type < kSlotTypes; ++type) {
        int count = 0;
        uint8_t dataBus = 0;
        for (uint32_t index = 0; index < smbios.SystemSlotCount(); ++index) {
            probes::TSlot slot;
            smbios.GetSystemSlot(static_cast<int32_t>(index), slot);
            if (slot.SlotType != type) continue;
            ++count;
            dataBus = slot.DataBus;
        }
        if (count == 0) continue;
        row(text(text::kSlot),
            Format("%d x %s, %s", {count, probes::NameOf(probes::kSlotTypeNames, static_cast<uint32_t>(type)),
                                   probes::NameOf(probes::kBusWidthNames, dataBus)}),
            icon::kSlot);
    }
}

void TOverviewBuilder::AddMemoryRows() {
    const probes::TSMBIOS& smbios = sources_.probes.Machine().SMBIOS();
    int modules = 0;
    uint64_t moduleSize = 0;
    std::string moduleType;
    for (uint32_t index = 0; index < smbios.MemorySlotCount(); ++index) {
        probes::TMemoryBank bank;
        smbios.GetMemoryBank(static_cast<int32_t>(index), bank);
        if (bank.Size == 0) continue;
        ++modules;
        moduleSize = bank.Size;
        moduleType = probes::GetMemoryTypeText(bank.Types);
    }
    probes::TMemory& memory = sources_.probes.Memory();
    memory.GetInfo();
    const int64_t total = evenMegabytes(memory.PhysicalTotal());
    const int64_t free = (memory.PhysicalFree() / 1024 + 512) / 1024;
    const std::string mb = text(text::kMB);
    row(text(text::kMemory), std::to_string(total) + mb + " (" + std::to_string(free) + text(text::kMBFree) + ")",
        icon::kMemory);
    if (!legacyWindows_) {
        row(text(text::kModules), std::to_string(modules) + " x " + std::to_string(moduleSize) + mb + " " + moduleType,
            icon::kMemory);
    }
}

void TOverviewBuilder::AddSoundRows() {
    probes::TMedia& media = sources_.probes.Media();
    media.GetInfo();
    const TStrings& devices = media.Devices();
    if (!devices.empty()) {
        const int soundCard = media.SoundCardIndex() > -1 ? media.SoundCardIndex() : 0;
        row(text(text::kSoundCard), entryOrEmpty(devices, soundCard), icon::kSoundCard);
        if (media.GamePortIndex() > -1) {
            row(text(text::kGamePort), entryOrEmpty(devices, media.GamePortIndex()), icon::kGamePort);
        }
    }
}

void TOverviewBuilder::AddNetworkRows() {
    probes::TNetwork& network = sources_.probes.Network();
    network.GetInfo();
    if (network.Adapters().empty()) return;
    const int card = network.CardAdapterIndex() >= 0 ? network.CardAdapterIndex() : 0;
    row(text(text::kNetworkCard), entryOrEmpty(network.Adapters(), card), icon::kNetworkCard);
    row(text(text::kComputerName), sources_.probes.Machine().Name(), icon::kUptime);
    if (!network.IPAddresses().empty()) row(text(text::kIPAddress), network.IPAddresses()[0], icon::kUptime);
    if (!network.MACAddresses().empty()) row(text(text::kMACAddress), network.MACAddresses()[0], icon::kUptime);
    SeparatorRow();
}

void TOverviewBuilder::AddDeviceRows() {
    probes::TDevices& devices = sources_.probes.Devices();
    devices.GetInfo();
    // Each kind in a pass of its own, numbered from 0 within it.
    auto addClass = [&](uint8_t deviceClass, int captionId, int iconIndex) {
        int number = 0;
        for (int index = 0; index < devices.Count(); ++index) {
            const probes::TDevice* device = devices.Device(index);
            if (device == nullptr || device->DeviceClass != deviceClass) continue;
            row(text(captionId) + " " + std::to_string(number++), device->DisplayName(), iconIndex);
        }
    };
    namespace device_class = probes::device_class;
    addClass(device_class::kFloppyDisk, text::kFloppy, icon::kFloppy);
    addClass(device_class::kDiskDrive, text::kHardDisk, icon::kHardDisk);
    SeparatorRow();
    addClass(device_class::kCDROM, text::kCDROM, icon::kCDROM);
    addClass(device_class::kTapeDrive, text::kTape, icon::kTape);
}

void TOverviewBuilder::AddDisplayRows() {
    probes::TDisplay& display = sources_.probes.Display();
    display.GetInfo();
    const std::string& adapter = display.Adapter().size() > 2 ? display.Adapter() : display.Chipset();
    row(text(text::kGraphics), adapter, icon::kGraphics);
    if (toggles_.detaljer) {
        const int64_t memory = evenMegabytes(display.Memory());
        row(text(text::kGraphicsMemory), memory < 1 ? text(text::kNotGiven) : std::to_string(memory) + text(text::kMBRam),
            icon::kMemory);
        const auto directX =
            TRegistry::openReadOnly(sources_.platform.registry(), platform::RootKey::LocalMachine, probes::kDirectXKey);
        if (directX) {
            const std::string version = directX->readText("Version").value_or("");
            row(text(text::kDirectX),
                version.size() > kDirectXVersionSkip ? version.substr(kDirectXVersionSkip, kDirectXVersionLongest) : "",
                icon::kGraphics);
        }
    }
    row(text(text::kScreenMode),
        Format("%d x %d - %d bit", {display.HorzRes(), display.VertRes(), display.ColorDepth()}), icon::kGraphics);
}

void TOverviewBuilder::AddWindowsRows() {
    sources_.winInfo.Refresh();
    const grell::TGrellSysWindowsObject& windows = sources_.winInfo.Windows();
    row(text(text::kWindowsEdition),
        Format("%s %s %d.%d", {windows.ProductName(), windows.CSDVersion(), windows.MajorVersion(),
                               windows.MinorVersion()}),
        icon::kWindows);
    if (toggles_.detaljer) {
        row(text(text::kRegisteredTo), windows.RegisteredOwner() + "  " + windows.RegisteredCompany(),
            icon::kBaseSystem);
    }
}

std::string TOverviewBuilder::firstDeviceName(uint8_t deviceClass) const {
    const probes::TDevices& devices = sources_.probes.Devices();
    const probes::TDevice* device = devices.Device(devices.IndexOfClass(deviceClass));
    return device != nullptr ? device->DisplayName() : std::string(kNoDevice);
}

void TOverviewBuilder::AddInputDeviceRows() {
    namespace device_class = probes::device_class;
    SeparatorRow();
    const std::string modem = firstDeviceName(device_class::kModem);
    if (modem != kNoDevice) {
        row(text(text::kModem), modem, icon::kModem);
        SeparatorRow();
    }
    row(text(text::kMouse), firstDeviceName(device_class::kMouse), icon::kMouse);
    SeparatorRow();
    row(text(text::kKeyboard), firstDeviceName(device_class::kKeyboard), icon::kKeyboard);
}

void TOverviewBuilder::AddPrinterRows() {
    probes::TPrinters& printers = sources_.probes.Printers();
    printers.GetInfo();
    const TStrings& names = printers.Names();
    if (names.empty()) return;
    SeparatorRow();
    for (int index = 0; index < names.count(); ++index) {
        const int captionId = index == printers.DefaultIndex() ? text::kDefaultPrinter : text::kPrinter;
        row(text(captionId), names[index], icon::kPrinter);
    }
}

void TOverviewBuilder::AddDriveRows(bool listEachDrive) {
    struct Totals {
        int64_t free = 0;
        int64_t size = 0;
    };
    Totals local;
    Totals network;
    grell::TGrellSysDriveObject& drive = sources_.driveInfo.Drive();
    const std::string freeOf = text(text::kFreeOf);
    for (char letter = 'C'; letter <= 'Z'; ++letter) {
        const platform::DriveType type = sources_.platform.files().driveType(std::string{letter, ':', '\\'});
        const bool remote = type == platform::DriveType::Remote;
        if (type != platform::DriveType::Fixed && !remote) continue;
        if (remote && legacyWindows_) continue;
        // Selecting the letter the component has already does not read it again.
        if (drive.Drive() == letter) {
            drive.Retrieve();
        } else {
            drive.SetDrive(letter);
        }
        std::string caption = text(text::kDrive) + letter;
        if (!drive.VolumeLabel().empty()) caption += "   " + drive.VolumeLabel();
        // A drive that could not be read reports -1: it adds nothing to the totals.
        Totals& totals = remote ? network : local;
        totals.free += std::max<int64_t>(drive.DiskFree(), 0);
        totals.size += std::max<int64_t>(drive.DiskSize(), 0);
        if (listEachDrive) {
            row(caption, size(drive.DiskFree()) + freeOf + size(drive.DiskSize()),
                remote ? icon::kNetworkDrive : icon::kHardDisk);
        }
    }
    if (listEachDrive) SeparatorRow();
    row(text(text::kLocalSpace), size(local.free) + freeOf + size(local.size), icon::kHardDisk);
    if (network.size > 0 && !legacyWindows_) {
        row(text(text::kNetworkSpace), size(network.free) + freeOf + size(network.size), icon::kNetworkDrive);
    }
}

void TOverviewBuilder::AddProgramRows() {
    row(text(text::kPrograms), text(text::kPublisher), icon::kBaseSystem);
    const grell::TGrellUninstallInfo& programs = sources_.uninstall.Uninstall();
    for (int index = 0; index < programs.count(); ++index) {
        const grell::TGrellUninstallItem* program = programs.Items(index);
        if (program != nullptr) row(program->ProgramName(), program->Publisher(), icon::kNone);
    }
}

}  // namespace vardak::app
