// The device probe on the device registries of a Windows XP and a Windows 98
// machine (tests/fixtures/devices-*.reg), and the corners of the registry data.
#include "probes/hardware/Vesk_Devices.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "probes/core/Ostrel_Routines.h"
#include "probes/core/Vesk_Common.h"
#include "tests/support/FakePlatform.h"

namespace vardak::probes {
namespace {

using platform::PlatformId;
using platform::RegValue;
using platform::RootKey;
using ::testing::ElementsAreArray;
using testing::FakePlatform;

constexpr const char* kEnum = "\\SYSTEM\\CurrentControlSet\\Enum\\";

class DevicesTest : public ::testing::Test {
protected:
    void SetUp() override { ResetOstrelRoutines(); }
    void TearDown() override { ResetOstrelRoutines(); }

    // Refreshes a probe on the machine as it is now.
    void refresh() {
        const OstrelRoutinesSession session(machine);
        devices.GetInfo();
    }

    std::vector<std::string> displayNames() const {
        std::vector<std::string> names;
        for (int index = 0; index < devices.Count(); ++index) {
            names.push_back(devices.Device(index)->DisplayName());
        }
        return names;
    }

    FakePlatform machine;
    TDevices devices{machine};
};

// ---------------------------------------------------------------- class lookup

TEST(DeviceClassTest, ANameStartingWithATableEntryGetsItsIndex) {
    struct Case {
        const char* name;
        uint8_t index;
    };
    const Case cases[] = {
        {"NetTrans", 21},      {"NetClient", 21},    {"net", 21},        {"HIDClass", 8},
        {"TapeDrive", 33},     {"TapeController", 34}, {"Tape", 35},     {"PrinterUpgrade", 27},
        {"Processor", 24},     {"", 24},             {"Net", 21},        {"1394Debug", 10},
        {"MEDIA", 30},         {"Media", 30},        {"Ports", 26},      {"VolumeSnapshot", 31},
        {"Monitor", 18},       {"Modem", 17},        {"MultiPortSerial", 20}, {"fdc", 5},
        {"FDC", 5},            {"hdcx", 9},          {"Dis", 24},        {"SmartCardReader", 29},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(GetDeviceClass(test.name), test.index) << test.name;
    }
}

TEST(DeviceClassTest, NoEntryHidesALaterOne) {
    for (size_t index = 0; index < kDeviceClassNames.size(); ++index) {
        EXPECT_EQ(GetDeviceClass(kDeviceClassNames[index]), index) << kDeviceClassNames[index];
    }
    EXPECT_EQ(kDeviceClassNames[device_class::kDisplay], "Display");
    EXPECT_EQ(kDeviceClassNames[device_class::kComputer], "Computer");
    EXPECT_EQ(kDeviceClassNames[device_class::kUnknown], "Unknown");
}

// ---------------------------------------------------------------- the XP machine

struct Listed {
    std::string regKey;  // below the Enum key
    std::string className;
    std::string displayName;
    uint8_t deviceClass;
};

// The list in order, each device with its key (below `enumKey`), class, shown name and
// class index.
void expectListed(const TDevices& devices, const std::string& enumKey, const std::vector<Listed>& expected) {
    for (int index = 0; index < devices.Count() && index < static_cast<int>(expected.size()); ++index) {
        const TDevice& device = *devices.Device(index);
        const Listed& want = expected[static_cast<size_t>(index)];
        EXPECT_EQ(device.RegKey, enumKey + want.regKey) << index;
        EXPECT_EQ(device.ClassName, want.className) << index;
        EXPECT_EQ(devices.Devices()[index], want.className) << index;
        EXPECT_EQ(device.DisplayName(), want.displayName) << index;
        EXPECT_EQ(device.DeviceClass, want.deviceClass) << index;
    }
}

TEST_F(DevicesTest, NTListsThePresentDevicesWithAClassSortedByClass) {
    machine.loadRegistryFixture("devices-nt.reg");
    refresh();
    const std::vector<Listed> expected = {
        {"IDE\\CdRomHL-DT-ST_DVD-RAM_GSA-H22N_____________________1.01____\\5&1a1ad8b&0&0.1.0", "CDROM",
         "HL-DT-ST DVD-RAM GSA-H22N", 4},
        {"IDE\\DiskST380011A_____________________________3.06____\\5&1a1ad8b&0&0.0.0", "DiskDrive", "ST380011A", 2},
        {"PCI\\VEN_10DE&DEV_0110&SUBSYS_00000000&REV_A1\\4&7bbbd4a&0&0008", "Display", "NVIDIA GeForce2 MX/MX 400", 3},
        {"ACPI\\PNP0700\\4&1d401fb5&0", "fdc", "Standard floppy disk controller", 5},
        {"FDC\\GENERIC_FLOPPY_DRIVE\\5&1c1a1b2f&0&0", "FloppyDisk", "Floppy disk drive", 6},
        {"PCI\\VEN_8086&DEV_7111&SUBSYS_00000000&REV_01\\3&61aaa01&0&39", "hdc",
         "Intel(R) 82371AB/EB PCI Bus Master IDE Controller", 9},
        {"ACPI\\PNP0303\\4&1d401fb5&0", "Keyboard", "Standard 101/102-Key or Microsoft Natural PS/2 Keyboard", 13},
        {"Root\\LEGACY_BEEP\\0000", "LegacyDriver", "Beep", 22},
        {"PCI\\VEN_1274&DEV_1371&SUBSYS_13711274&REV_08\\4&2b8260c3&0&58F0", "MEDIA",
         "Creative AudioPCI (ES1371,ES1373) (WDM)", 30},
        {"DISPLAY\\NVD0110\\5&2e2e1a8e&0&80861100&00&02", "Monitor", "Plug and Play Monitor", 18},
        {"ACPI\\PNP0F13\\4&1d401fb5&0", "Mouse", "PS/2 Compatible Mouse", 16},
        // One class in registry order: the PCI card before the miniport under Root.
        {"PCI\\VEN_10B7&DEV_9055&SUBSYS_905510B7&REV_30\\4&2b8260c3&0&60F0", "Net",
         "3Com EtherLink XL 10/100 PCI TX NIC (3C905B-TX)", 21},
        {"Root\\MS_PPTPMINIPORT\\0000", "Net", "WAN Miniport (PPTP)", 21},
        {"ACPI\\PNP0501\\1", "Ports", "Communications Port (COM1)", 26},
        {"ACPI\\GenuineIntel_-_x86_Family_6_Model_8\\_0", "Processor", "Intel Pentium III processor", 24},
        {"ACPI\\PNP0A03\\0", "System", "PCI bus", 32},
        {"PCI\\VEN_8086&DEV_7112&SUBSYS_00000000&REV_01\\3&61aaa01&0&3A", "USB",
         "Intel(R) 82371AB/EB PCI to USB Universal Host Controller", 36},
    };
    ASSERT_EQ(devices.Count(), static_cast<int>(expected.size())) << ::testing::PrintToString(displayNames());
    EXPECT_EQ(devices.DeviceCount(), static_cast<int32_t>(expected.size()));
    expectListed(devices, kEnum, expected);
}

TEST_F(DevicesTest, NTReadsClassDriverAndServiceOfADevice) {
    machine.loadRegistryFixture("devices-nt.reg");
    refresh();
    TDevice display;
    ASSERT_TRUE(devices.GetDevice(devices.IndexOfClass(device_class::kDisplay), display));
    TDevice expected;
    expected.ClassName = "Display";
    expected.ClassDesc = "Display adapters";
    expected.ClassIcon = "-1";
    expected.FriendlyName = "";
    expected.Description = "NVIDIA GeForce2 MX/MX 400";
    expected.GUID = "{4D36E968-E325-11CE-BFC1-08002BE10318}";  // stored in lower case
    expected.Manufacturer = "NVIDIA";
    expected.Location = "PCI bus 1, device 0, function 0";
    // Two strings run together.
    expected.HardwareID = "PCI\\VEN_10DE&DEV_0110&SUBSYS_00000000&REV_A1PCI\\VEN_10DE&DEV_0110";
    expected.Driver = "{4D36E968-E325-11CE-BFC1-08002BE10318}\\0000";
    expected.DriverDate = "6-14-2004";
    expected.DriverVersion = "6.14.10.6177";
    expected.DriverProvider = "NVIDIA";
    expected.Service = "nv";
    expected.ServiceName = "nv";
    expected.ServiceGroup = "Video";
    expected.ServiceType = 1;
    expected.RegKey = std::string(kEnum) + "PCI\\VEN_10DE&DEV_0110&SUBSYS_00000000&REV_A1\\4&7bbbd4a&0&0008";
    expected.DeviceClass = device_class::kDisplay;
    EXPECT_EQ(display, expected);
}

TEST_F(DevicesTest, NTPlacesADeviceWithoutLocationByItsEnumeratorsService) {
    machine.loadRegistryFixture("devices-nt.reg");
    refresh();
    const TDevice& keyboard = *devices.Device(devices.IndexOfClass(GetDeviceClass("Keyboard")));
    EXPECT_EQ(keyboard.Location, "Microsoft ACPI Driver");
    EXPECT_EQ(keyboard.HardwareID, "ACPI\\PNP0303*PNP0303");
    // The device's own service decides the service data.
    EXPECT_EQ(keyboard.ServiceName, "i8042 Keyboard and PS/2 Mouse Port Driver");
    EXPECT_EQ(keyboard.ServiceGroup, "Keyboard Port");

    const TDevice& floppy = *devices.Device(devices.IndexOfClass(GetDeviceClass("FloppyDisk")));
    EXPECT_EQ(floppy.Location, "Floppy Disk Controller Driver");
    EXPECT_EQ(floppy.ServiceName, "Floppy Disk Driver");
    EXPECT_EQ(floppy.ServiceGroup, "Primary disk");

    // No service is named after Root: no location.
    const TDevice& beep = *devices.Device(devices.IndexOfClass(22));
    EXPECT_EQ(beep.Location, "");
}

TEST_F(DevicesTest, NTTakesTheClassFromTheDeviceKeyWhenTheClassKeyIsMissing) {
    machine.loadRegistryFixture("devices-nt.reg");
    refresh();
    const TDevice& beep = *devices.Device(devices.IndexOfClass(22));
    EXPECT_EQ(beep.ClassName, "LegacyDriver");
    EXPECT_EQ(beep.ClassDesc, "");
    EXPECT_EQ(beep.ClassIcon, "");
    EXPECT_EQ(beep.GUID, "{8ECC055D-047F-11D1-A537-0000F8753ED1}");
    EXPECT_EQ(beep.Driver, "");
    EXPECT_EQ(beep.DriverDate, "");
    EXPECT_EQ(beep.HardwareID, "");
    EXPECT_EQ(beep.ServiceName, "Beep");
    EXPECT_EQ(beep.ServiceGroup, "Base");
    EXPECT_EQ(beep.ServiceType, 1);
}

TEST_F(DevicesTest, NTTakesTheFirstNamedTextOfTheDeviceParameters) {
    machine.loadRegistryFixture("devices-nt.reg");
    refresh();
    // "PollingPeriod", a number, comes first.
    EXPECT_EQ(devices.Device(devices.IndexOfClass(26))->DeviceParam, "COM1");
    EXPECT_EQ(devices.Device(devices.IndexOfClass(device_class::kDisplay))->DeviceParam, "");

    machine.registryFake.setValue(RootKey::LocalMachine,
                                  std::string(kEnum) + "ACPI\\PNP0501\\1\\Device Parameters", "",
                                  RegValue::fromString("unnamed"));
    machine.registryFake.removeValue(RootKey::LocalMachine,
                                     std::string(kEnum) + "ACPI\\PNP0501\\1\\Device Parameters", "PortName");
    machine.registryFake.setValue(RootKey::LocalMachine,
                                  std::string(kEnum) + "ACPI\\PNP0501\\1\\Device Parameters", "PortName",
                                  RegValue::fromString("COM3"));
    refresh();
    EXPECT_EQ(devices.Device(devices.IndexOfClass(26))->DeviceParam, "COM3");
}

TEST_F(DevicesTest, NTListsTwoEqualDevicesTwice) {
    machine.loadRegistry(R"(REGEDIT4
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Enum\IDE\DiskGENERIC\0.0.0\Control]
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Enum\IDE\DiskGENERIC\0.0.0]
"Class"="DiskDrive"
"DeviceDesc"="Disk drive"
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Enum\IDE\DiskGENERIC\0.1.0\Control]
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Enum\IDE\DiskGENERIC\0.1.0]
"Class"="DiskDrive"
"DeviceDesc"="Disk drive"
)");
    refresh();
    EXPECT_EQ(displayNames(), (std::vector<std::string>{"Disk drive", "Disk drive"}));
}

TEST_F(DevicesTest, LaterNTVersionsUseTheNTLayout) {
    machine.systemFake.version = {6, 1, 7601, PlatformId::NT, "Service Pack 1"};
    machine.loadRegistryFixture("devices-nt.reg");
    machine.loadRegistryFixture("devices-9x.reg");
    refresh();
    EXPECT_EQ(devices.Count(), 17);
    EXPECT_EQ(devices.Device(0)->RegKey.rfind(kEnum, 0), 0u);
}

// ---------------------------------------------------------------- the 98 machine

TEST_F(DevicesTest, On9xListsTheConfigManagersDevicesOnce) {
    machine.systemFake.poseAsWindows98(true);
    machine.loadRegistryFixture("devices-9x.reg");
    refresh();
    const std::vector<Listed> expected = {
        // The second disk of the same class and description is dropped.
        {"ESDI\\GENERIC_IDE__DISK_TYPE47_\\MF&CHILD0000&PCI&VEN_8086&DEV_7111&SUBSYS_00000000&REV_01&BUS_00&DEV_"
         "07&FUNC_0110",
         "DiskDrive", "GENERIC IDE  DISK TYPE47", 2},
        {"PCI\\VEN_10DE&DEV_0110&SUBSYS_00000000&REV_A1\\BUS_01&DEV_00&FUNC_00", "Display",
         "NVIDIA GeForce2 MX/MX 400", 3},
        {"PCI\\VEN_1274&DEV_1371&SUBSYS_13711274&REV_08\\BUS_00&DEV_0B&FUNC_00", "MEDIA",
         "Creative AudioPCI (ES1371,ES1373)", 30},
        {"MONITOR\\DEFAULT_MONITOR\\0001", "Monitor", "Default Monitor", 18},
        // TCP/IP under Network\ is not looked at; the dial-up adapter under ROOT\Net is.
        {"PCI\\VEN_10EC&DEV_8029&SUBSYS_00000000&REV_00\\BUS_00&DEV_0C&FUNC_00", "Net",
         "Realtek RTL8029(AS) PCI Ethernet NIC", 21},
        {"ROOT\\Net\\0000", "Net", "Dial-Up Adapter", 21},
        {"ROOT\\*PNP0C01\\0000", "System", "System board", 32},
        {"BIOS\\*PNP0000\\0B", "System", "Programmable interrupt controller", 32},
        {"ROOT\\PCI\\0000", "System", "PCI bus", 32},
        {"PCI\\VEN_8086&DEV_7000&SUBSYS_00000000&REV_00\\BUS_00&DEV_07&FUNC_00", "System",
         "Intel 82371SB PCI to ISA bridge", 32},
    };
    ASSERT_EQ(devices.Count(), static_cast<int>(expected.size())) << ::testing::PrintToString(displayNames());
    expectListed(devices, "\\Enum\\", expected);
}

TEST_F(DevicesTest, On9xTheClassGUIDLinksToTheClassKey) {
    machine.systemFake.poseAsWindows98(true);
    machine.loadRegistryFixture("devices-9x.reg");
    refresh();
    TDevice adapter;
    ASSERT_TRUE(devices.GetDevice(devices.IndexOfClass(GetDeviceClass("Net")), adapter));
    TDevice expected;
    expected.ClassName = "Net";
    expected.ClassDesc = "Network adapters";
    expected.ClassIcon = "-5";
    expected.Description = "Realtek RTL8029(AS) PCI Ethernet NIC";
    expected.GUID = "{4D36E972-E325-11CE-BFC1-08002BE10318}";
    expected.Manufacturer = "Realtek";
    expected.HardwareID = "PCI\\VEN_10EC&DEV_8029&SUBSYS_00000000&REV_00,PCI\\VEN_10EC&DEV_8029";
    expected.Driver = "Net\\0001";
    expected.DriverDate = " 8-23-1999";
    expected.DriverProvider = "Realtek";
    expected.RegKey = "\\Enum\\PCI\\VEN_10EC&DEV_8029&SUBSYS_00000000&REV_00\\BUS_00&DEV_0C&FUNC_00";
    expected.DeviceClass = GetDeviceClass("Net");
    EXPECT_EQ(adapter, expected);
}

TEST_F(DevicesTest, On9xTheFirstOfTwoEqualDevicesStays) {
    machine.systemFake.poseAsWindows98(true);
    machine.loadRegistryFixture("devices-9x.reg");
    refresh();
    const TDevice& disk = *devices.Device(devices.IndexOfClass(GetDeviceClass("DiskDrive")));
    EXPECT_EQ(disk.Driver, "DiskDrive\\0000");
    EXPECT_EQ(disk.ClassDesc, "Disk drives");

    // Another description is another device.
    machine.registryFake.setValue(RootKey::LocalMachine,
                                  "\\Enum\\ESDI\\GENERIC_IDE__DISK_TYPE47_\\MF&CHILD0001&PCI&VEN_8086&DEV_7111&"
                                  "SUBSYS_00000000&REV_01&BUS_00&DEV_07&FUNC_0110",
                                  "DeviceDesc", RegValue::fromString("GENERIC IDE  DISK TYPE48"));
    refresh();
    EXPECT_EQ(devices.Count(), 11);
}

// ---------------------------------------------------------------- registry corners

class DeviceDataTest : public DevicesTest {
protected:
    // One present NT device of class Ports, with `values` set on its key.
    void addPort(const std::vector<std::pair<std::string, RegValue>>& values) {
        const std::string key = std::string(kEnum) + "ACPI\\PNP0501\\1";
        machine.registryFake.createKeyPath(RootKey::LocalMachine, key + "\\Control");
        machine.registryFake.setValue(RootKey::LocalMachine, key, "Class", RegValue::fromString("Ports"));
        machine.registryFake.setValue(RootKey::LocalMachine, key, "DeviceDesc",
                                      RegValue::fromString("Communications Port"));
        for (const auto& [name, value] : values) {
            machine.registryFake.setValue(RootKey::LocalMachine, key, name, value);
        }
    }

    const TDevice& port() {
        refresh();
        EXPECT_EQ(devices.Count(), 1);
        return *devices.Device(0);
    }
};

std::vector<uint8_t> bytesOf(std::string_view text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

TEST_F(DeviceDataTest, AMultiStringIsReadNoFurtherThanItsBytes) {
    // No closing NULs at all: the texts end with the data.
    addPort({{"HardwareID", RegValue{platform::ValueType::MultiString, bytesOf(std::string("ACPI\\PNP0501\0*PNP", 17))}}});
    EXPECT_EQ(port().HardwareID, "ACPI\\PNP0501*PNP");
}

TEST_F(DeviceDataTest, BinaryHardwareIdsAreJoinedAndOverlongOnesCutAt255Bytes) {
    addPort({{"HardwareID", RegValue::fromBinary(bytesOf(std::string("A\0B\0\0C", 6)))}});
    EXPECT_EQ(port().HardwareID, "AB");

    const std::string text255(254, 'x');  // with its NUL: 255 bytes
    addPort({{"HardwareID", RegValue::fromBinary(bytesOf(text255 + std::string(1, '\0')))}});
    EXPECT_EQ(port().HardwareID, text255);
    addPort({{"HardwareID", RegValue::fromMultiString({std::string(200, 'y'), std::string(60, 'z')})}});
    EXPECT_EQ(port().HardwareID, std::string(200, 'y') + std::string(54, 'z'));
    addPort({{"HardwareID", RegValue::fromDWord(7)}});
    EXPECT_EQ(port().HardwareID, "");
    addPort({{"HardwareID", RegValue::fromString("*PNP0501")}});
    EXPECT_EQ(port().HardwareID, "*PNP0501");
}

TEST_F(DeviceDataTest, ADoubledBackslashInTheDriverKeyIsReduced) {
    machine.loadRegistry(R"(REGEDIT4
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Class\{4D36E978-E325-11CE-BFC1-08002BE10318}\0000]
"DriverDate"="7-1-2001"
"DriverVersion"="5.1.2600.0"
"ProviderName"="Microsoft"
)");
    addPort({{"Driver", RegValue::fromString("{4D36E978-E325-11CE-BFC1-08002BE10318}\\\\0000")}});
    const TDevice& device = port();
    EXPECT_EQ(device.Driver, "{4D36E978-E325-11CE-BFC1-08002BE10318}\\\\0000");
    EXPECT_EQ(device.DriverDate, "7-1-2001");
    EXPECT_EQ(device.DriverVersion, "5.1.2600.0");
    EXPECT_EQ(device.DriverProvider, "Microsoft");
}

TEST_F(DeviceDataTest, AServiceWithoutTypeHasNoName) {
    machine.loadRegistry(R"(REGEDIT4
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial]
"DisplayName"="Serial port driver"
"Group"="Extended base"
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Complete]
"DisplayName"="Complete driver"
"Type"=dword:00000001
)");
    addPort({{"Service", RegValue::fromString("Serial")}});
    EXPECT_EQ(port().ServiceName, "");
    EXPECT_EQ(port().ServiceGroup, "Extended base");

    // A service without a group is complete.
    addPort({{"Service", RegValue::fromString("Complete")}});
    EXPECT_EQ(port().ServiceName, "Complete driver");
    EXPECT_EQ(port().ServiceGroup, "");
    EXPECT_EQ(port().ServiceType, 1);
}

TEST_F(DeviceDataTest, ValuesOfAnotherKindReadAsEmpty) {
    addPort({{"FriendlyName", RegValue::fromDWord(1)}, {"Mfg", RegValue::fromBinary({0x41, 0x42})}});
    const TDevice& device = port();
    EXPECT_EQ(device.FriendlyName, "");
    EXPECT_EQ(device.Manufacturer, "");
    EXPECT_EQ(device.DisplayName(), "Communications Port");
}

TEST_F(DeviceDataTest, ABlankFriendlyNameGivesWayToTheDescription) {
    addPort({{"FriendlyName", RegValue::fromString("   ")}});
    EXPECT_EQ(port().DisplayName(), "Communications Port");
    addPort({{"FriendlyName", RegValue::fromString("COM1")}});
    EXPECT_EQ(port().DisplayName(), "COM1");
}

TEST_F(DeviceDataTest, ABlankClassIsNoClass) {
    addPort({{"Class", RegValue::fromString("  ")}});
    refresh();
    EXPECT_EQ(devices.Count(), 0);
}

// ---------------------------------------------------------------- the list

TEST_F(DevicesTest, DevicesOfOneClassKeepTheirRegistryOrder) {
    // Reversed names, so an order by name would show.
    std::string text = "REGEDIT4\n";
    for (const char* instance : {"0003", "0002", "0001"}) {
        for (const char* deviceId : {"VEN_2", "VEN_1"}) {
            const std::string key = std::string("[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\PCI\\") +
                                    deviceId + "\\" + instance;
            text += key + "\\Control]\n" + key + "]\n\"Class\"=\"Net\"\n\"DeviceDesc\"=\"" + deviceId + " " +
                    instance + "\"\n";
        }
        text += std::string("[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\ACPI\\X\\") + instance +
                "\\Control]\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\ACPI\\X\\" + instance +
                "]\n\"Class\"=\"Battery\"\n\"DeviceDesc\"=\"Battery " + instance + "\"\n";
    }
    machine.loadRegistry(text);
    refresh();
    EXPECT_THAT(displayNames(),
                ElementsAreArray({"Battery 0003", "Battery 0002", "Battery 0001", "VEN_2 0003", "VEN_2 0002",
                                  "VEN_2 0001", "VEN_1 0003", "VEN_1 0002", "VEN_1 0001"}));
    EXPECT_EQ(devices.IndexOfClass(GetDeviceClass("Net")), 3);
    EXPECT_EQ(devices.IndexOfClass(device_class::kDisplay), -1);
}

TEST_F(DevicesTest, ARefreshStartsAfreshAndOnlyItSetsTheCount) {
    machine.loadRegistryFixture("devices-nt.reg");
    refresh();
    const std::vector<std::string> first = displayNames();
    refresh();
    EXPECT_EQ(displayNames(), first);
    EXPECT_EQ(devices.DeviceCount(), 17);

    devices.Clear();
    EXPECT_EQ(devices.Count(), 0);
    EXPECT_EQ(devices.DeviceCount(), 17);
    EXPECT_EQ(devices.Device(0), nullptr);
}

TEST_F(DevicesTest, ReadingOutsideTheListLeavesTheRecord) {
    machine.loadRegistryFixture("devices-nt.reg");
    refresh();
    TDevice record;
    record.Description = "untouched";
    EXPECT_FALSE(devices.GetDevice(-1, record));
    EXPECT_FALSE(devices.GetDevice(devices.Count(), record));
    EXPECT_EQ(record.Description, "untouched");
    EXPECT_TRUE(devices.GetDevice(devices.Count() - 1, record));
    EXPECT_EQ(record.ClassName, "USB");
}

TEST_F(DevicesTest, NoDeviceTreeGivesAnEmptyList) {
    refresh();
    EXPECT_EQ(devices.Count(), 0);
    machine.systemFake.poseAsWindows98();
    refresh();
    EXPECT_EQ(devices.Count(), 0);
    TStringList report;
    devices.Report(report);
    EXPECT_EQ(report.toVector(), (std::vector<std::string>{"[Devices]", "Count=0"}));
}

// ---------------------------------------------------------------- report

TEST_F(DevicesTest, TheReportOpensASectionPerDevice) {
    machine.systemFake.poseAsWindows98(true);
    machine.loadRegistryFixture("devices-9x.reg");
    refresh();
    TStringList report;
    report.add("[Earlier]");
    devices.Report(report);
    const std::vector<std::string> lines = report.toVector();
    ASSERT_EQ(lines.size(), 1u + 2u + 10u * 12u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 3 + 2 * 12),
              (std::vector<std::string>{
                  "[Earlier]",
                  "[Devices]",
                  "Count=10",
                  "[GENERIC IDE  DISK TYPE47]",
                  "Class Name=Disk drives",
                  "Class GUID={4D36E967-E325-11CE-BFC1-08002BE10318}",
                  "Manufacturer=(Standard disk drives)",
                  "Location=",
                  "Hardware ID=GENERIC_IDE__DISK_TYPE47_,GenDisk",
                  "Registry Info=DiskDrive\\0000",
                  "Driver Date= 5-11-1998",
                  "Driver Version=",
                  "Driver Provider=Microsoft",
                  "Service Name=",
                  "Service Group=",
                  "[NVIDIA GeForce2 MX/MX 400]",
                  "Class Name=Display adapters",
                  "Class GUID={4D36E968-E325-11CE-BFC1-08002BE10318}",
                  "Manufacturer=NVIDIA",
                  "Location=",
                  "Hardware ID=PCI\\VEN_10DE&DEV_0110&SUBSYS_00000000&REV_A1,PCI\\VEN_10DE&DEV_0110&SUBSYS_00000000,"
                  "PCI\\VEN_10DE&DEV_0110&REV_A1,PCI\\VEN_10DE&DEV_0110",
                  "Registry Info=Display\\0000",
                  "Driver Date=12-11-2001",
                  "Driver Version=",
                  "Driver Provider=NVIDIA",
                  "Service Name=",
                  "Service Group=",
              }));
    EXPECT_EQ(lines.back(), "Service Group=");
    EXPECT_EQ(lines[lines.size() - 12], "[Intel 82371SB PCI to ISA bridge]");
}

TEST_F(DevicesTest, TheNTReportNamesTheServiceAndTheDriver) {
    machine.loadRegistryFixture("devices-nt.reg");
    refresh();
    TStringList report;
    devices.Report(report);
    const std::vector<std::string> lines = report.toVector();
    ASSERT_EQ(lines.size(), 2u + 17u * 12u);
    EXPECT_EQ(lines[0], "[Devices]");
    EXPECT_EQ(lines[1], "Count=17");
    const auto section = std::find(lines.begin(), lines.end(), "[Communications Port (COM1)]");
    ASSERT_NE(section, lines.end());
    EXPECT_EQ(std::vector<std::string>(section, section + 12),
              (std::vector<std::string>{
                  "[Communications Port (COM1)]",
                  "Class Name=Ports (COM & LPT)",
                  "Class GUID={4D36E978-E325-11CE-BFC1-08002BE10318}",
                  "Manufacturer=(Standard port types)",
                  "Location=Microsoft ACPI Driver",
                  "Hardware ID=ACPI\\PNP0501*PNP0501",
                  "Registry Info={4D36E978-E325-11CE-BFC1-08002BE10318}\\0000",
                  "Driver Date=7-1-2001",
                  "Driver Version=5.1.2600.0",
                  "Driver Provider=Microsoft",
                  "Service Name=Serial port driver",
                  "Service Group=Extended base",
              }));
    // Each device's header in list order.
    std::vector<std::string> headers;
    for (size_t index = 2; index < lines.size(); index += 12) {
        headers.push_back(lines[index]);
    }
    std::vector<std::string> expected;
    for (const std::string& name : displayNames()) {
        expected.push_back("[" + name + "]");
    }
    EXPECT_EQ(headers, expected);
}

}  // namespace
}  // namespace vardak::probes
