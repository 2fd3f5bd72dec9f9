#include "probes/overview/Vesk_OverviewLayout.h"

#include <array>

namespace vardak::probes {
namespace {

using K = OverviewControlKind;
using C = OverviewCommand;

constexpr OverviewSheet kSheets[] = {
    {"tsWksta", "pcWksta", " General |SM BIOS", "tsWkstaGeneral|tsSMBIOS", {4, 4, -4, -4}},
    {"tsSMBIOS", "pcSMBIOS", "System|Board|Chassis|Processor|Cache|Memory|Ports|Slots|Tables",
     "tsSMSystem|tsSMBoard|tsSMChassis|tsSMCPU|tsSMCache|tsSMMemory|tsSMPorts|tsSMSlots|tsSMTables", {4, 60, -4, -4}},
    {"tsOS", "pcOS", " General | Folders | Internet | Locale ", "tsOSGeneral|tsFolders|tsInternet|tsLocale",
     {4, 86, -4, -4}},
    {"tsCPU", "pcCPU", " Identification | Features ", "tsCPUId|tsFeatures", {4, 28, -4, -56}},
    {"tsMemory", "pcMemory", " General | Measuring ", "tsMemGeneral|tsMeasuring", {4, 4, -4, -4}},
    {"tsNetwork", "pcNetwork", " General | Winsock | TCP/IP ", "tsNetGeneral|tsWinsock|tsTCPIP", {4, 4, -4, -4}},
    {"tsEngines", "pcEngines", " DirectX | Windows ASPI 32 ", "tsDirectX|tsASPI", {4, 84, -4, -4}},
    // One list under every tab, the tabs as the page's content names them; the tab
    // picks what the list shows.
    {"tsStartup", "tcStartup", "", "tsStartupList", {4, 4, -4, -4}},
};

constexpr OverviewControl kControls[] = {
    // The bottom strip.
    {"frmVesk_Overview", K::Button, "bReport", "Report...", {5, -31, 75, 25}, C::Report},
    {"frmVesk_Overview", K::Button, "bRefresh", "Refresh", {-160, -31, 75, 25}, C::Refresh},
    {"frmVesk_Overview", K::Button, "bOK", "OK", {-80, -31, 75, 25}, C::Close},
    // Machine.
    {"tsWkstaGeneral", K::Label, "", "Computer:", {8, 13, 100, 16}},
    {"tsWkstaGeneral", K::Edit, "eMachine", "", {112, 10, -8, 20}},
    {"tsWkstaGeneral", K::Label, "", "Name:", {8, 39, 100, 16}},
    {"tsWkstaGeneral", K::Edit, "eWksta", "", {112, 36, -8, 20}},
    {"tsWkstaGeneral", K::Label, "", "User:", {8, 65, 100, 16}},
    {"tsWkstaGeneral", K::Edit, "eUser", "", {112, 62, -8, 20}},
    {"tsWkstaGeneral", K::Label, "", "Last boot:", {8, 91, 100, 16}},
    {"tsWkstaGeneral", K::Edit, "eLastBoot", "", {112, 88, -8, 20}},
    {"tsWkstaGeneral", K::Label, "", "Up time:", {8, 117, 100, 16}},
    {"tsWkstaGeneral", K::Edit, "eSysTime", "", {112, 114, -8, 20}},
    {"tsWkstaGeneral", K::Label, "", "Lock keys:", {8, 143, 100, 16}},
    {"tsWkstaGeneral", K::Panel, "pNumLock", "Num Lock", {112, 140, 78, 20}},
    {"tsWkstaGeneral", K::Panel, "pCapsLock", "Caps Lock", {194, 140, 78, 20}},
    {"tsWkstaGeneral", K::Panel, "pScrollLock", "Scroll Lock", {276, 140, 78, 20}},
    {"tsWkstaGeneral", K::Group, "", "BIOS", {6, 170, -6, 134}},
    {"tsWkstaGeneral", K::Label, "", "Vendor:", {16, 191, 100, 16}},
    {"tsWkstaGeneral", K::Edit, "eBIOSVendor", "", {112, 188, -16, 20}},
    {"tsWkstaGeneral", K::Label, "", "Version:", {16, 217, 100, 16}},
    {"tsWkstaGeneral", K::Edit, "eBIOSVer", "", {112, 214, -16, 20}},
    {"tsWkstaGeneral", K::Label, "", "Date:", {16, 243, 100, 16}},
    {"tsWkstaGeneral", K::Edit, "eBIOSDate", "", {112, 240, -16, 20}},
    {"tsWkstaGeneral", K::Label, "", "Size:", {16, 269, 100, 16}},
    {"tsWkstaGeneral", K::Edit, "eBIOSSize", "", {112, 266, 60, 20}},
    {"tsWkstaGeneral", K::Label, "", "KB", {178, 269, 30, 16}},
    {"tsSMBIOS", K::Label, "", "SMBIOS version:", {8, 11, 100, 16}},
    {"tsSMBIOS", K::Edit, "eSMVer", "", {112, 8, -8, 20}},
    {"tsSMBIOS", K::Label, "", "Structures:", {8, 37, 100, 16}},
    {"tsSMBIOS", K::Edit, "eSMTables", "", {112, 34, -8, 20}},
    {"tsSMSystem", K::Label, "", "Model:", {8, 13, 100, 16}},
    {"tsSMSystem", K::Edit, "eSysMod", "", {112, 10, -8, 20}},
    {"tsSMSystem", K::Label, "", "Manufacturer:", {8, 39, 100, 16}},
    {"tsSMSystem", K::Edit, "eSysMan", "", {112, 36, -8, 20}},
    {"tsSMSystem", K::Label, "", "Version:", {8, 65, 100, 16}},
    {"tsSMSystem", K::Edit, "eSysVer", "", {112, 62, -8, 20}},
    {"tsSMSystem", K::Label, "", "Serial number:", {8, 91, 100, 16}},
    {"tsSMSystem", K::Edit, "eSysSer", "", {112, 88, -8, 20}},
    {"tsSMSystem", K::Label, "", "UUID:", {8, 117, 100, 16}},
    {"tsSMSystem", K::Edit, "eSysID", "", {112, 114, -8, 20}},
    {"tsSMBoard", K::Label, "", "Model:", {8, 13, 100, 16}},
    {"tsSMBoard", K::Edit, "eMBMod", "", {112, 10, -8, 20}},
    {"tsSMBoard", K::Label, "", "Manufacturer:", {8, 39, 100, 16}},
    {"tsSMBoard", K::Edit, "eMBMan", "", {112, 36, -8, 20}},
    {"tsSMBoard", K::Label, "", "Version:", {8, 65, 100, 16}},
    {"tsSMBoard", K::Edit, "eMBVer", "", {112, 62, -8, 20}},
    {"tsSMBoard", K::Label, "", "Serial number:", {8, 91, 100, 16}},
    {"tsSMBoard", K::Edit, "eMBSer", "", {112, 88, -8, 20}},
    {"tsSMChassis", K::Label, "", "Type:", {8, 13, 100, 16}},
    {"tsSMChassis", K::Edit, "eCHMod", "", {112, 10, -8, 20}},
    {"tsSMChassis", K::Label, "", "Manufacturer:", {8, 39, 100, 16}},
    {"tsSMChassis", K::Edit, "eCHMan", "", {112, 36, -8, 20}},
    {"tsSMChassis", K::Label, "", "Version:", {8, 65, 100, 16}},
    {"tsSMChassis", K::Edit, "eCHVer", "", {112, 62, -8, 20}},
    {"tsSMChassis", K::Label, "", "Serial number:", {8, 91, 100, 16}},
    {"tsSMChassis", K::Edit, "eCHSer", "", {112, 88, -8, 20}},
    {"tsSMCPU", K::Label, "", "Manufacturer:", {8, 9, 100, 16}},
    {"tsSMCPU", K::Edit, "eCPUMan", "", {112, 6, -8, 20}},
    {"tsSMCPU", K::Label, "", "Version:", {8, 33, 100, 16}},
    {"tsSMCPU", K::Edit, "eCPU", "", {112, 30, -8, 20}},
    {"tsSMCPU", K::Label, "", "Socket:", {8, 57, 100, 16}},
    {"tsSMCPU", K::Edit, "eSocket", "", {112, 54, -8, 20}},
    {"tsSMCPU", K::Label, "", "Upgrade:", {8, 81, 100, 16}},
    {"tsSMCPU", K::Edit, "eUpgIntf", "", {112, 78, -8, 20}},
    {"tsSMCPU", K::Label, "", "Voltage:", {8, 105, 100, 16}},
    {"tsSMCPU", K::Edit, "eVolt", "", {112, 102, 60, 20}},
    {"tsSMCPU", K::Label, "", "V", {178, 105, 30, 16}},
    {"tsSMCPU", K::Label, "", "Clock:", {8, 129, 100, 16}},
    {"tsSMCPU", K::Edit, "eClock", "", {112, 126, 60, 20}},
    {"tsSMCPU", K::Label, "", "MHz", {178, 129, 30, 16}},
    {"tsSMCPU", K::Label, "", "External clock:", {8, 153, 100, 16}},
    {"tsSMCPU", K::Edit, "eExtClk", "", {112, 150, 60, 20}},
    {"tsSMCPU", K::Label, "", "MHz", {178, 153, 30, 16}},
    {"tsSMCache", K::ListView, "lvCache", "", {4, 4, -4, -4}},
    {"tsSMMemory", K::ListView, "lvMem", "", {4, 4, -4, -4}},
    {"tsSMPorts", K::ListView, "lvPort", "", {4, 4, -4, -4}},
    {"tsSMSlots", K::ListView, "lvSlot", "", {4, 4, -4, -4}},
    {"tsSMTables", K::ListView, "lvTables", "", {4, 4, -4, -4}},
    // Operating System.
    {"tsOS", K::Label, "lVersion", "", {8, 8, 228, 16}},
    {"tsOS", K::Label, "lVerNo", "", {8, 26, 228, 16}},
    {"tsOS", K::Label, "lCSD", "", {8, 44, 228, 16}},
    {"tsOS", K::Label, "lDVD", "", {8, 62, 228, 16}},
    {"tsOS", K::Button, "bEnvironment", "Environment...", {-128, 8, 120, 24}, C::Environment},
    {"tsOS", K::Button, "bNTSpec", "Installed Suites...", {-128, 38, 120, 24}, C::NTSpec},
    {"tsOSGeneral", K::Label, "", "Product ID:", {8, 13, 100, 16}},
    {"tsOSGeneral", K::Edit, "ePID", "", {112, 10, -8, 20}},
    {"tsOSGeneral", K::Label, "", "Product key:", {8, 39, 100, 16}},
    {"tsOSGeneral", K::Edit, "ePKey", "", {112, 36, -8, 20}},
    {"tsOSGeneral", K::Label, "", "Registered user:", {8, 65, 100, 16}},
    {"tsOSGeneral", K::Edit, "eRegUser", "", {112, 62, -8, 20}},
    {"tsOSGeneral", K::Label, "", "Organization:", {8, 91, 100, 16}},
    {"tsOSGeneral", K::Edit, "eRegOrg", "", {112, 88, -8, 20}},
    {"tsFolders", K::ListView, "FolderList", "", {4, 4, -4, -4}},
    {"tsInternet", K::Label, "", "Browser:", {8, 13, 100, 16}},
    {"tsInternet", K::Edit, "eBrowser", "", {112, 10, -8, 20}},
    {"tsInternet", K::Label, "", "Mail client:", {8, 39, 100, 16}},
    {"tsInternet", K::Edit, "email", "", {112, 36, -8, 20}},
    {"tsInternet", K::Label, "", "Proxy server:", {8, 65, 100, 16}},
    {"tsInternet", K::Edit, "eProxy", "", {112, 62, -8, 20}},
    {"tsInternet", K::Label, "", "Connection:", {8, 91, 100, 16}},
    {"tsInternet", K::Label, "lCT", "", {112, 91, -8, 16}},
    {"tsLocale", K::ListView, "LocaleList", "", {4, 4, -4, -4}},
    // CPU.
    {"tsCPU", K::Label, "lCPU", "", {8, 8, -8, 16}},
    {"tsCPUId", K::Label, "lVendor", "", {8, 10, -8, 16}},
    {"tsCPUId", K::Label, "lSerial", "", {8, 28, -8, 16}},
    {"tsCPUId", K::Label, "lCodename", "", {8, 46, -8, 16}},
    {"tsCPUId", K::Label, "lModel", "", {8, 64, -8, 16}},
    {"tsCPUId", K::Group, "", "Cache", {6, 86, -6, 150}},
    {"tsCPUId", K::Label, "lL1Data", "", {16, 104, -16, 16}},
    {"tsCPUId", K::Label, "lL1Code", "", {16, 122, -16, 16}},
    {"tsCPUId", K::Label, "lLevel1", "", {16, 140, -16, 16}},
    {"tsCPUId", K::Label, "lLevel2", "", {16, 158, -16, 16}},
    {"tsCPUId", K::Label, "lCacheDesc", "", {16, 178, -16, 52}},
    {"tsFeatures", K::CheckList, "clbCPU", "", {4, 4, -4, -4}},
    {"tsCPU", K::Group, "", "Usage", {6, -52, -6, 46}},
    {"tsCPU", K::Gauge, "CPUGauge", "", {16, -32, -16, 18}},
    // Memory.
    {"tsMemGeneral", K::Label, "", "Allocation granularity:", {8, 13, 126, 16}},
    {"tsMemGeneral", K::Edit, "eAG", "", {138, 10, -8, 20}},
    {"tsMemGeneral", K::Label, "", "Application addresses:", {8, 39, 126, 16}},
    {"tsMemGeneral", K::Edit, "eAppAddr", "", {138, 36, -8, 20}},
    {"tsMemGeneral", K::Label, "", "Page size:", {8, 65, 126, 16}},
    {"tsMemGeneral", K::Edit, "ePS", "", {138, 62, -8, 20}},
    {"tsMeasuring", K::Group, "", "Physical memory", {6, 4, -6, 64}},
    {"tsMeasuring", K::Label, "", "Total:", {16, 25, 40, 16}},
    {"tsMeasuring", K::Edit, "ePhysTotal", "", {58, 22, 118, 20}},
    {"tsMeasuring", K::Label, "", "Free:", {186, 25, 36, 16}},
    {"tsMeasuring", K::Edit, "ePhysFree", "", {224, 22, -16, 20}},
    {"tsMeasuring", K::Gauge, "gPhys", "", {16, 47, -16, 14}},
    {"tsMeasuring", K::Group, "", "Page file", {6, 72, -6, 64}},
    {"tsMeasuring", K::Label, "", "Total:", {16, 93, 40, 16}},
    {"tsMeasuring", K::Edit, "ePageTotal", "", {58, 90, 118, 20}},
    {"tsMeasuring", K::Label, "", "Free:", {186, 93, 36, 16}},
    {"tsMeasuring", K::Edit, "ePageFree", "", {224, 90, -16, 20}},
    {"tsMeasuring", K::Gauge, "gPage", "", {16, 115, -16, 14}},
    {"tsMeasuring", K::Group, "", "Virtual memory", {6, 140, -6, 64}},
    {"tsMeasuring", K::Label, "", "Total:", {16, 161, 40, 16}},
    {"tsMeasuring", K::Edit, "eVirtTotal", "", {58, 158, 118, 20}},
    {"tsMeasuring", K::Label, "", "Free:", {186, 161, 36, 16}},
    {"tsMeasuring", K::Edit, "eVirtFree", "", {224, 158, -16, 20}},
    {"tsMeasuring", K::Gauge, "gVirt", "", {16, 183, -16, 14}},
    {"tsMeasuring", K::Group, "", "Memory load", {6, 208, -6, 38}},
    {"tsMeasuring", K::Gauge, "gLoad", "", {16, 226, -16, 14}},
    {"tsMeasuring", K::Group, "", "Free resources", {6, 250, -6, 76}},
    {"tsMeasuring", K::Label, "lGDI", "", {16, 266, 120, 16}},
    {"tsMeasuring", K::Gauge, "gGDI", "", {140, 267, -16, 14}},
    {"tsMeasuring", K::Label, "lUser", "", {16, 284, 120, 16}},
    {"tsMeasuring", K::Gauge, "gUser", "", {140, 285, -16, 14}},
    {"tsMeasuring", K::Label, "lSystem", "", {16, 302, 120, 16}},
    {"tsMeasuring", K::Gauge, "gSystem", "", {140, 303, -16, 14}},
    // Display.
    {"tsDisplay", K::Label, "", "Adapter:", {8, 11, 100, 16}},
    {"tsDisplay", K::ComboBox, "cbDisplay", "", {112, 8, -8, 20}},
    {"tsDisplay", K::Label, "", "Chipset:", {8, 37, 100, 16}},
    {"tsDisplay", K::Edit, "eChip", "", {112, 34, -8, 20}},
    {"tsDisplay", K::Label, "", "DAC:", {8, 63, 100, 16}},
    {"tsDisplay", K::Edit, "eDAC", "", {112, 60, -8, 20}},
    {"tsDisplay", K::Label, "", "Memory:", {8, 89, 100, 16}},
    {"tsDisplay", K::Edit, "eMem", "", {112, 86, -8, 20}},
    {"tsDisplay", K::Label, "", "BIOS:", {8, 115, 100, 16}},
    {"tsDisplay", K::Edit, "eBIOS", "", {112, 112, -8, 20}},
    {"tsDisplay", K::Group, "", "Device", {6, 138, -6, 132}},
    {"tsDisplay", K::Label, "lTechnology", "", {16, 156, -16, 16}},
    {"tsDisplay", K::Label, "lMetrics", "", {16, 174, -16, 16}},
    {"tsDisplay", K::Label, "lPixWidth", "", {16, 192, -16, 16}},
    {"tsDisplay", K::Label, "lPixHeight", "", {16, 210, -16, 16}},
    {"tsDisplay", K::Label, "lPixDiag", "", {16, 228, -16, 16}},
    {"tsDisplay", K::Label, "lFontRes", "", {16, 246, -16, 16}},
    {"tsDisplay", K::Button, "bModes", "Supported Video Modes...", {8, 278, 170, 24}, C::Modes},
    {"tsDisplay", K::Button, "", "Curve...", {8, 308, 68, 24}, C::Caps},
    {"tsDisplay", K::Button, "", "Line...", {80, 308, 68, 24}, C::Caps, 1},
    {"tsDisplay", K::Button, "", "Polygon...", {152, 308, 68, 24}, C::Caps, 2},
    {"tsDisplay", K::Button, "", "Raster...", {224, 308, 68, 24}, C::Caps, 3},
    {"tsDisplay", K::Button, "", "Text...", {296, 308, 68, 24}, C::Caps, 4},
    // APM.
    {"tsAPM", K::Label, "", "AC power:", {8, 13, 100, 16}},
    {"tsAPM", K::Edit, "eAC", "", {112, 10, -8, 20}},
    {"tsAPM", K::Label, "", "Battery:", {8, 39, 100, 16}},
    {"tsAPM", K::Edit, "eBat", "", {112, 36, -8, 20}},
    {"tsAPM", K::Label, "", "Full lifetime:", {8, 65, 100, 16}},
    {"tsAPM", K::Edit, "eBatFull", "", {112, 62, -8, 20}},
    {"tsAPM", K::Label, "", "Remaining:", {8, 91, 100, 16}},
    {"tsAPM", K::Edit, "eBatLife", "", {112, 88, -8, 20}},
    {"tsAPM", K::Label, "", "Charge:", {8, 118, 100, 16}},
    {"tsAPM", K::Gauge, "gAPM", "", {112, 116, -8, 18}},
    // Media.
    {"tsMedia", K::ListView, "lvMedia", "", {4, 4, -4, 150}},
    {"tsMedia", K::ListView, "lvSound", "", {4, 160, -4, -4}},
    // Network.
    {"tsNetGeneral", K::ListView, "lvNetwork", "", {4, 4, -4, 110}},
    {"tsNetGeneral", K::Label, "", "IP addresses:", {4, 120, 170, 16}},
    {"tsNetGeneral", K::ListBox, "lbIP", "", {4, 136, 172, 80}},
    {"tsNetGeneral", K::Label, "", "MAC addresses:", {184, 120, 170, 16}},
    {"tsNetGeneral", K::ListBox, "lbMAC", "", {184, 136, -4, 80}},
    {"tsNetGeneral", K::Button, "bProto", "Protocols...", {4, 224, 100, 24}, C::Proto},
    {"tsNetGeneral", K::Button, "bServ", "Services...", {110, 224, 100, 24}, C::Serv},
    {"tsNetGeneral", K::Button, "bCli", "Clients...", {216, 224, 100, 24}, C::Cli},
    {"tsWinsock", K::Label, "", "Description:", {8, 13, 100, 16}},
    {"tsWinsock", K::Edit, "eWSDesc", "", {112, 10, -8, 20}},
    {"tsWinsock", K::Label, "", "Version:", {8, 39, 100, 16}},
    {"tsWinsock", K::Edit, "eWSVer", "", {112, 36, -8, 20}},
    {"tsWinsock", K::Label, "", "Status:", {8, 65, 100, 16}},
    {"tsWinsock", K::Edit, "eWSStat", "", {112, 62, -8, 20}},
    {"tsTCPIP", K::Label, "", "Domain:", {8, 7, 100, 16}},
    {"tsTCPIP", K::Edit, "eDomain", "", {112, 4, -8, 20}},
    {"tsTCPIP", K::Label, "", "Host:", {8, 31, 100, 16}},
    {"tsTCPIP", K::Edit, "eHost", "", {112, 28, -8, 20}},
    {"tsTCPIP", K::Label, "", "Node type:", {8, 55, 100, 16}},
    {"tsTCPIP", K::Edit, "eNode", "", {112, 52, -8, 20}},
    {"tsTCPIP", K::Label, "", "DNS suffix:", {8, 79, 100, 16}},
    {"tsTCPIP", K::Edit, "eDNS", "", {112, 76, -8, 20}},
    {"tsTCPIP", K::CheckBox, "cbxProxy", "Proxy", {8, 100, 80, 18}},
    {"tsTCPIP", K::CheckBox, "cbxRouting", "Routing", {92, 100, 80, 18}},
    {"tsTCPIP", K::CheckBox, "cbxDNS", "DNS", {176, 100, 80, 18}},
    {"tsTCPIP", K::Label, "", "Adapter:", {8, 125, 100, 16}},
    {"tsTCPIP", K::ComboBox, "cbAdapters", "", {112, 122, -8, 20}, C::AdaptersChange},
    {"tsTCPIP", K::Label, "", "Address:", {8, 149, 100, 16}},
    {"tsTCPIP", K::Edit, "ePA", "", {112, 146, -8, 20}},
    {"tsTCPIP", K::Label, "", "Type:", {8, 173, 100, 16}},
    {"tsTCPIP", K::Edit, "eAT", "", {112, 170, -8, 20}},
    {"tsTCPIP", K::CheckBox, "cbxDHCP", "DHCP", {8, 194, 80, 18}},
    {"tsTCPIP", K::CheckBox, "cbxWINS", "WINS", {92, 194, 80, 18}},
    {"tsTCPIP", K::ListView, "AdapterList", "", {4, 216, -124, -4}},
    {"tsTCPIP", K::Label, "", "DNS servers:", {-116, 216, 112, 16}},
    {"tsTCPIP", K::ListBox, "DNSBox", "", {-116, 232, -4, -4}},
    // Devices.
    {"tsDevices", K::Tree, "Tree", "", {4, 4, -4, -36}},
    {"tsDevices", K::Button, "bProps", "Properties...", {-104, -30, 100, 24}, C::Props},
    // Printers.
    {"tsPrinters", K::ListView, "lvPrinter", "", {4, 4, -4, -36}},
    {"tsPrinters", K::Button, "bPrinterSetup", "Properties...", {-104, -30, 100, 24}, C::PrintSetup},
    // Engines.
    {"tsEngines", K::Label, "lODBC", "", {8, 8, -8, 16}},
    {"tsEngines", K::Label, "lBDE", "", {8, 26, -8, 16}},
    {"tsEngines", K::Label, "lDAO", "", {8, 44, -8, 16}},
    {"tsEngines", K::Label, "lADO", "", {8, 62, -8, 16}},
    {"tsDirectX", K::Label, "lDirectX", "", {8, 8, -8, 16}},
    {"tsDirectX", K::ListView, "lvDirectX", "", {4, 28, -4, -4}},
    {"tsASPI", K::Label, "lASPI", "", {8, 8, -8, 16}},
    {"tsASPI", K::ListView, "lvASPI", "", {4, 28, -4, -4}},
    // Drives.
    {"tsDrives", K::Label, "", "Drive:", {8, 11, 100, 16}},
    {"tsDrives", K::ComboBox, "cbDrive", "", {112, 8, -56, 20}, C::DriveChange},
    {"tsDrives", K::Icon, "imgDrive", "", {-40, 4, 32, 32}},
    {"tsDrives", K::Label, "lDriveType", "", {8, 40, -8, 16}},
    {"tsDrives", K::Label, "", "UNC name:", {8, 63, 100, 16}},
    {"tsDrives", K::Edit, "eUNC", "", {112, 60, -8, 20}},
    {"tsDrives", K::Label, "", "Serial number:", {8, 89, 100, 16}},
    {"tsDrives", K::Edit, "eDSN", "", {112, 86, -8, 20}},
    {"tsDrives", K::Label, "lCapacity", "", {8, 114, -8, 16}},
    {"tsDrives", K::Label, "lFree", "", {8, 132, -8, 16}},
    {"tsDrives", K::Gauge, "gDisk", "", {8, 152, -8, 18}},
    {"tsDrives", K::Label, "lBPS", "", {8, 178, 170, 16}},
    {"tsDrives", K::Label, "lSPC", "", {190, 178, -8, 16}},
    {"tsDrives", K::Label, "lFC", "", {8, 196, 170, 16}},
    {"tsDrives", K::Label, "lTC", "", {190, 196, -8, 16}},
    {"tsDrives", K::CheckList, "clbFlags", "", {4, 218, -4, -4}},
    // Time Zone.
    {"tsTZ", K::Label, "", "Time zone:", {8, 13, 100, 16}},
    {"tsTZ", K::Edit, "eTZ", "", {112, 10, -8, 20}},
    {"tsTZ", K::Group, "gbStd", "", {6, 40, -6, 80}},
    {"tsTZ", K::Label, "", "Start:", {16, 63, 100, 16}},
    {"tsTZ", K::Edit, "eStdStart", "", {112, 60, -16, 20}},
    {"tsTZ", K::Label, "", "Bias:", {16, 89, 100, 16}},
    {"tsTZ", K::Edit, "eStdBias", "", {112, 86, 60, 20}},
    {"tsTZ", K::Label, "", "min.", {178, 89, 30, 16}},
    {"tsTZ", K::Group, "gbDay", "", {6, 128, -6, 80}},
    {"tsTZ", K::Label, "", "Start:", {16, 151, 100, 16}},
    {"tsTZ", K::Edit, "edayStart", "", {112, 148, -16, 20}},
    {"tsTZ", K::Label, "", "Bias:", {16, 177, 100, 16}},
    {"tsTZ", K::Edit, "eDayBias", "", {112, 174, 60, 20}},
    {"tsTZ", K::Label, "", "min.", {178, 177, 30, 16}},
    // Startup, Software.
    {"tsStartupList", K::ListView, "lvStartup", "", {4, 4, -4, -4}},
    {"tsSoftware", K::ListView, "lvSW", "", {4, 4, -4, -4}},
    // About.
    {"tsAbout", K::Icon, "iAbout", "", {16, 16, 32, 32}},
    {"tsAbout", K::Label, "lTitle", "", {60, 16, -8, 20}},
    {"tsAbout", K::Label, "lVersion", "", {60, 40, -8, 16}},
    {"tsAbout", K::Memo, "mNote", "", {8, 70, -8, 150}},
    {"tsAbout", K::Panel, "pFooter", "Vardak - system information for Windows", {8, -72, -8, 28}},
    {"tsAbout", K::Button, "bWeb", "Web page...", {8, -34, 100, 24}, C::Web},
    {"tsAbout", K::Button, "bMail", "Mail...", {114, -34, 100, 24}, C::Mail},
};

// Page tab icons, by page number.
constexpr std::array<int8_t, kOverviewPageCount> kPageIcons{1, 24, 18, 4, 2, 16, 19, 15, 28, 35, 34, 4, 0, 23, 16, 0};

int edge(int16_t value, int size) { return value < 0 ? size + value : value; }
int extent(int16_t value, int start, int size) { return value > 0 ? value : size + value - start; }

// The container a sheet's container sits in.
std::optional<std::string_view> parentOf(std::string_view container) {
    for (const OverviewSheet& sheet : kSheets) {
        std::string_view pages = sheet.pages;
        while (!pages.empty()) {
            const size_t bar = pages.find('|');
            if (pages.substr(0, bar) == container) return sheet.container;
            pages = bar == std::string_view::npos ? std::string_view() : pages.substr(bar + 1);
        }
    }
    return std::nullopt;
}

}  // namespace

OverviewRect placeIn(const OverviewPlace& place, int containerWidth, int containerHeight) {
    const int left = edge(place.left, containerWidth);
    const int top = edge(place.top, containerHeight);
    return {left, top, extent(place.width, left, containerWidth), extent(place.height, top, containerHeight)};
}

std::span<const OverviewSheet> overviewSheets() { return kSheets; }
std::span<const OverviewControl> overviewControls() { return kControls; }

std::optional<OverviewPage> pageOfContainer(std::string_view container) {
    // Sheets nest a few levels at most; the bound keeps a mistaken table from looping.
    for (int depth = 0; depth < 8; ++depth) {
        for (const OverviewPageInfo& info : kOverviewPages) {
            if (info.name == container) return info.page;
        }
        const std::optional<std::string_view> parent = parentOf(container);
        if (!parent) return std::nullopt;
        container = *parent;
    }
    return std::nullopt;
}

const OverviewControl* findOverviewControl(OverviewPage page, std::string_view name) {
    for (const OverviewControl& control : kControls) {
        if (control.name == name && pageOfContainer(control.container) == page) return &control;
    }
    return nullptr;
}

const OverviewSheet* findOverviewSheet(OverviewPage page, std::string_view name) {
    for (const OverviewSheet& sheet : kSheets) {
        if (sheet.name == name && pageOfContainer(sheet.container) == page) return &sheet;
    }
    return nullptr;
}

int pageIcon(OverviewPage page) { return kPageIcons[static_cast<size_t>(page)]; }

}  // namespace vardak::probes
