// The stateless shared routines on fake machines: device classes, environment,
// command lines, default programs, connections, performance statistics, shell,
// drives and the text helpers.
#include "probes/core/Ostrel_Routines.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/Classes.h"
#include "framework/Exception.h"
#include "tests/support/FakePlatform.h"

namespace vardak::probes {
namespace {

using platform::DriveType;
using platform::PlatformId;
using testing::FakeDrive;
using testing::FakePlatform;

class OstrelRoutinesTest : public ::testing::Test {
protected:
    void SetUp() override { ResetOstrelRoutines(); }
    void TearDown() override { ResetOstrelRoutines(); }

    FakePlatform machine;
};

std::vector<std::string> linesOf(const TStrings& list) {
    return list.toVector();
}

// ---------------------------------------------------------------- device classes

constexpr const char* kNetClassGuid = "{4D36E972-E325-11CE-BFC1-08002BE10318}";

TEST_F(OstrelRoutinesTest, ClassDevicesOnNTFindTheClassByItsClassValue) {
    machine.loadRegistryFixture("ostrel-classes-nt.reg");
    const OstrelRoutinesSession session(machine);
    TStringList devices;
    devices.add("stale line");
    std::string classId = "stale";
    GetClassDevices(machine, OstrelFacts().ClassKey, "net", "DriverDesc", classId, devices);
    EXPECT_EQ(classId, kNetClassGuid);
    // Each description once, compared without case; instances without one skipped.
    EXPECT_EQ(linesOf(devices), (std::vector<std::string>{"3Com EtherLink XL 10/100 PCI TX NIC (3C905B-TX)",
                                                           "WAN Miniport (PPTP)", "Direct Parallel"}));
}

TEST_F(OstrelRoutinesTest, ClassDevicesOnNTReadAnyNamedValue) {
    machine.loadRegistryFixture("ostrel-classes-nt.reg");
    const OstrelRoutinesSession session(machine);
    TStringList devices;
    std::string classId;
    GetClassDevices(machine, OstrelFacts().ClassKey, "Net", "ComponentId", classId, devices);
    EXPECT_EQ(linesOf(devices), (std::vector<std::string>{"pci\\ven_10b7&dev_9055", "ms_ndiswanip"}));
    GetClassDevices(machine, OstrelFacts().ClassKey, "Display", "DriverDesc", classId, devices);
    EXPECT_EQ(classId, "{4D36E968-E325-11CE-BFC1-08002BE10318}");
    EXPECT_EQ(linesOf(devices), (std::vector<std::string>{"NVIDIA GeForce2 MX/MX 400"}));
}

TEST_F(OstrelRoutinesTest, ClassDevicesOn9xReadTheKeyNamedByTheClassAlsoBeforeTheStart) {
    machine.systemFake.poseAsWindows98(true);
    machine.loadRegistryFixture("ostrel-classes-9x.reg");
    TStringList devices;
    std::string classId = "stale";
    GetClassDevices(machine, k9xClassKey, "Net", "DriverDesc", classId, devices);
    EXPECT_EQ(classId, "");
    EXPECT_EQ(linesOf(devices), (std::vector<std::string>{"Dial-Up Adapter", "Realtek RTL8029(AS) PCI Ethernet NIC",
                                                           "Dial-Up Adapter #2 (VPN Support)"}));
}

TEST_F(OstrelRoutinesTest, LaterNTVersionsUseTheNTLayout) {
    machine.systemFake.version = {6, 1, 7601, PlatformId::NT, "Service Pack 1"};
    machine.loadRegistryFixture("ostrel-classes-nt.reg");
    machine.loadRegistryFixture("ostrel-classes-9x.reg");
    const OstrelRoutinesSession session(machine);
    ASSERT_EQ(OstrelFacts().OSKind, TOSKind::osUnknown);
    TStringList devices;
    std::string classId;
    GetClassDevices(machine, OstrelFacts().ClassKey, "Net", "DriverDesc", classId, devices);
    EXPECT_EQ(classId, kNetClassGuid);
    EXPECT_EQ(devices.count(), 3);
}

TEST_F(OstrelRoutinesTest, UnknownClassesGiveNothing) {
    machine.loadRegistryFixture("ostrel-classes-nt.reg");
    const OstrelRoutinesSession session(machine);
    TStringList devices;
    devices.add("stale line");
    std::string classId = "stale";
    GetClassDevices(machine, OstrelFacts().ClassKey, "Modem", "DriverDesc", classId, devices);
    EXPECT_EQ(classId, "");
    EXPECT_TRUE(devices.empty());
    // The 9x layout on an NT machine is not looked at.
    GetClassDevices(machine, "SYSTEM\\CurrentControlSet\\Services\\Class", "Net", "DriverDesc", classId, devices);
    EXPECT_TRUE(devices.empty());
}

// ---------------------------------------------------------------- environment

TEST_F(OstrelRoutinesTest, EnvironmentListsEveryVariable) {
    machine.systemFake.environment = {"=C:=C:\\WINDOWS", "PATH=C:\\WINDOWS;C:\\WINDOWS\\COMMAND", "TEMP=C:\\TEMP"};
    TStringList lines;
    lines.add("stale line");
    GetEnvironment(machine, lines);
    EXPECT_EQ(linesOf(lines), machine.systemFake.environment);
}

TEST_F(OstrelRoutinesTest, EnvironmentIsReadNoFurtherThan4096Characters) {
    // 100 entries of 49 characters and their NULs: 80 of them end within 4096.
    for (int index = 0; index < 100; ++index) {
        std::string entry = "VAR" + std::to_string(100 + index) + "=";
        entry.resize(49, 'x');
        machine.systemFake.environment.push_back(entry);
    }
    TStringList lines;
    GetEnvironment(machine, lines);
    EXPECT_EQ(lines.count(), 4096 / 50);
    EXPECT_EQ(lines[0], machine.systemFake.environment[0]);
}

TEST_F(OstrelRoutinesTest, VariablesPastTheListedPartStillExpandAndAreFound) {
    const std::string longPath = "PATH=" + std::string(5000, 'p');
    machine.systemFake.environment = {longPath, "SystemRoot=C:\\WINDOWS", "ComSpec=C:\\WINDOWS\\cmd.exe"};
    TStringList lines;
    GetEnvironment(machine, lines);
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(ExpandEnvVars(machine, "%SystemRoot%\\x.exe"), "C:\\WINDOWS\\x.exe");
    EXPECT_EQ(GetEnvironmentValue(machine, "COMSPEC"), "C:\\WINDOWS\\cmd.exe");
    EXPECT_EQ(GetEnvironmentValue(machine, "Missing"), "");
}

TEST_F(OstrelRoutinesTest, FoldersFromTheSystem) {
    EXPECT_EQ(GetWinDir(machine), "C:\\WINDOWS");
    EXPECT_EQ(GetSysDir(machine), "C:\\WINDOWS\\SYSTEM32");
    EXPECT_EQ(GetWinSysDir(machine), "C:\\WINDOWS;C:\\WINDOWS\\SYSTEM32;");
}

class ExpandEnvVarsTest : public OstrelRoutinesTest {
protected:
    void SetUp() override {
        OstrelRoutinesTest::SetUp();
        machine.systemFake.environment = {
            "=C:=C:\\WINDOWS",      "=ExitCode=00000000", "SystemRoot=C:\\WINDOWS",
            "TEMP=C:\\WINDOWS\\TEMP", "ProgramFiles=C:\\Program Files",
        };
    }
    std::string expand(std::string_view text) { return ExpandEnvVars(machine, text); }
};

TEST_F(ExpandEnvVarsTest, ReplacesPercentNamesWithoutRegardToCase) {
    EXPECT_EQ(expand("%SystemRoot%\\system32\\x.dll"), "C:\\WINDOWS\\system32\\x.dll");
    EXPECT_EQ(expand("%SYSTEMROOT%\\x.dll"), "C:\\WINDOWS\\x.dll");
    EXPECT_EQ(expand("\"%ProgramFiles%\\A\\a.exe\" %TEMP%"), "\"C:\\Program Files\\A\\a.exe\" C:\\WINDOWS\\TEMP");
    EXPECT_EQ(expand("%UNKNOWN%\\x"), "%UNKNOWN%\\x");
}

TEST_F(ExpandEnvVarsTest, ReplacesOnlyTheFirstOccurrenceOfEachVariable) {
    EXPECT_EQ(expand("%TEMP%;%TEMP%"), "C:\\WINDOWS\\TEMP;%TEMP%");
}

TEST_F(ExpandEnvVarsTest, VariablesWithoutANameAreSkipped) {
    // Were the "=C:" entries used, "%%" would become "C:=C:\WINDOWS".
    EXPECT_EQ(expand("100%% sure"), "100%% sure");
    EXPECT_EQ(expand("a\\b"), "a\\b");
}

TEST_F(ExpandEnvVarsTest, BackslashNamesOnlyAsTheLeadingWholeComponent) {
    EXPECT_EQ(expand("\\SystemRoot\\System32\\drivers\\x.sys"), "C:\\WINDOWS\\System32\\drivers\\x.sys");
    EXPECT_EQ(expand("\"\\SystemRoot\\system32\\svchost.exe\" -k"), "\"C:\\WINDOWS\\system32\\svchost.exe\" -k");
    EXPECT_EQ(expand("\\SystemRoot"), "C:\\WINDOWS");
    EXPECT_EQ(expand("\\SystemRootX\\y.sys"), "\\SystemRootX\\y.sys");
    EXPECT_EQ(expand("C:\\Temp\\file.txt"), "C:\\Temp\\file.txt");
    EXPECT_EQ(expand("C:\\Temporary\\file.txt"), "C:\\Temporary\\file.txt");
}

TEST_F(ExpandEnvVarsTest, TextAfterAReplacementIsCutTo1024Characters) {
    const std::string tail(2000, 'x');
    EXPECT_EQ(expand("%TEMP%" + tail), "C:\\WINDOWS\\TEMP" + std::string(1024, 'x'));
}

TEST(DequoteTest, RemovesOnlyAPairOfEnclosingQuotes) {
    EXPECT_EQ(Dequote("\"abc\"", '"'), "abc");
    EXPECT_EQ(Dequote("\"\"", '"'), "");
    EXPECT_EQ(Dequote("\"", '"'), "\"");
    EXPECT_EQ(Dequote("\"abc", '"'), "\"abc");
    EXPECT_EQ(Dequote("abc\"", '"'), "abc\"");
    EXPECT_EQ(Dequote("'a b'", '\''), "a b");
    EXPECT_EQ(Dequote("\"a\"", '\''), "\"a\"");
    EXPECT_EQ(Dequote("", '"'), "");
}

class CommandLineTest : public OstrelRoutinesTest {
protected:
    void SetUp() override {
        OstrelRoutinesTest::SetUp();
        machine.systemFake.environment = {"SystemRoot=C:\\WINDOWS"};
        machine.filesFake.addFile("C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE", "");
        machine.filesFake.addFile("C:\\WINDOWS\\NOTEPAD.EXE", "");
    }
};

TEST_F(CommandLineTest, ExtractFileFromCommandFindsTheFileTheCommandStarts) {
    EXPECT_EQ(ExtractFileFromCommand(machine, "\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" -nohome"),
              "C:\\Program Files\\Internet Explorer\\iexplore.exe");
    EXPECT_EQ(ExtractFileFromCommand(machine, "\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" \"%1\""),
              "C:\\Program Files\\Internet Explorer\\iexplore.exe");
    EXPECT_EQ(ExtractFileFromCommand(machine, "C:\\WINDOWS\\NOTEPAD.EXE %1"), "C:\\WINDOWS\\NOTEPAD.EXE");
    EXPECT_EQ(ExtractFileFromCommand(machine, "%SystemRoot%\\notepad.exe /p %1"), "C:\\WINDOWS\\notepad.exe");
    EXPECT_EQ(ExtractFileFromCommand(machine, "C:\\WINDOWS\\NOTEPAD.EXE"), "C:\\WINDOWS\\NOTEPAD.EXE");
    EXPECT_EQ(ExtractFileFromCommand(machine, "\"C:\\WINDOWS\\NOTEPAD.EXE\""), "C:\\WINDOWS\\NOTEPAD.EXE");
}

TEST_F(CommandLineTest, CommandsOfMissingFilesGiveNothing) {
    EXPECT_EQ(ExtractFileFromCommand(machine, "C:\\missing.exe -x"), "");
    EXPECT_EQ(ExtractFileFromCommand(machine, "\"C:\\Program Files\\Gone\\gone.exe\" %1"), "");
    EXPECT_EQ(ExtractFileFromCommand(machine, ""), "");
}

TEST_F(CommandLineTest, DefaultMailClientAndBrowser) {
    machine.filesFake.addFile("C:\\Program Files\\Outlook Express\\msimn.exe", "");
    machine.loadRegistry(
        "REGEDIT4\n"
        "[HKEY_CLASSES_ROOT\\mailto\\shell\\open\\command]\n"
        "@=\"\\\"C:\\\\Program Files\\\\Outlook Express\\\\msimn.exe\\\" /mailurl:%1\"\n"
        "[HKEY_CLASSES_ROOT\\htmlfile\\shell\\open\\command]\n"
        "@=\"\\\"C:\\\\Program Files\\\\Internet Explorer\\\\iexplore.exe\\\" -nohome\"\n");
    EXPECT_EQ(GetDefaultMailClient(machine), "C:\\Program Files\\Outlook Express\\msimn.exe");
    EXPECT_EQ(GetDefaultBrowser(machine), "C:\\Program Files\\Internet Explorer\\iexplore.exe");
}

TEST_F(CommandLineTest, NoRegisteredHandlerGivesNothing) {
    EXPECT_EQ(GetDefaultMailClient(machine), "");
    EXPECT_EQ(GetDefaultBrowser(machine), "");
}

// ---------------------------------------------------------------- connections

constexpr const char* kRas = "rasapi32.dll";

struct RasAnswer {
    uint32_t result = 0;
    uint32_t count = 0;
};
RasAnswer rasAnswer;
bool rasRequestWellFormed = false;

uint32_t VARDAK_WINAPI fakeRasEnumConnections(void* connections, uint32_t* bufferSize, uint32_t* count) {
    uint32_t firstRecordSize = 0;
    std::memcpy(&firstRecordSize, connections, sizeof(firstRecordSize));
    rasRequestWellFormed = firstRecordSize == 412 && *bufferSize == 1648;
    *count = rasAnswer.count;
    return rasAnswer.result;
}

class ConnectionTest : public OstrelRoutinesTest {
protected:
    void SetUp() override {
        OstrelRoutinesTest::SetUp();
        rasAnswer = {};
        rasRequestWellFormed = false;
    }
    void withRas(uint32_t result, uint32_t count) {
        rasAnswer = {result, count};
        machine.librariesFake.addEntry(kRas, "RasEnumConnectionsA", fakeRasEnumConnections);
    }
    void withInternetSettings(const std::string& values) {
        machine.loadRegistry("REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\"
                             "Internet Settings]\n" +
                             values);
    }
};

TEST_F(ConnectionTest, RasConnectionsAreCountedAndTheLibraryFreed) {
    withRas(0, 2);
    EXPECT_EQ(GetRASConnectionCount(machine), 2);
    EXPECT_TRUE(rasRequestWellFormed);
    EXPECT_EQ(machine.librariesFake.useCount(kRas), 0);
}

TEST_F(ConnectionTest, ABufferTooSmallStillGivesTheCount) {
    withRas(603, 5);
    EXPECT_EQ(GetRASConnectionCount(machine), 5);
    withRas(632, 5);
    EXPECT_EQ(GetRASConnectionCount(machine), 0);
    EXPECT_EQ(machine.librariesFake.useCount(kRas), 0);
}

TEST_F(ConnectionTest, WithoutTheLibraryOrItsEntryThereAreNoConnections) {
    EXPECT_EQ(GetRASConnectionCount(machine), 0);
    EXPECT_EQ(machine.librariesFake.loadRequests, (std::vector<std::string>{kRas}));
    machine.librariesFake.addLibrary(kRas);
    EXPECT_EQ(GetRASConnectionCount(machine), 0);
    EXPECT_EQ(machine.librariesFake.useCount(kRas), 0);
}

TEST_F(ConnectionTest, AnEnabledProxyMeansLAN) {
    withInternetSettings("\"ProxyEnable\"=dword:00000001\n\"ProxyServer\"=\"proxy.example:8080\"\n");
    EXPECT_EQ(GetConnectionType(machine), TConnectionType::ctLAN);
    EXPECT_EQ(GetProxyServer(machine), "proxy.example:8080");
}

TEST_F(ConnectionTest, ProxyEnableStoredAsBinary) {
    withInternetSettings("\"ProxyEnable\"=hex:01,00,00,00\n\"ProxyServer\"=\"proxy:80\"\n");
    EXPECT_EQ(GetConnectionType(machine), TConnectionType::ctLAN);
}

TEST_F(ConnectionTest, UnreadableProxySettingsCountAsNoProxy) {
    for (const char* enable : {"hex:01,00,00,00,00", "\"1\"", "dword:00000000"}) {
        machine.registryFake.removeKey(platform::RootKey::CurrentUser, "Software");
        withInternetSettings(std::string("\"ProxyEnable\"=") + enable + "\n\"ProxyServer\"=\"proxy:80\"\n");
        EXPECT_EQ(GetConnectionType(machine), TConnectionType::ctNone) << enable;
    }
    withInternetSettings("\"ProxyEnable\"=dword:00000001\n\"ProxyServer\"=\"\"\n");
    EXPECT_EQ(GetConnectionType(machine), TConnectionType::ctNone);
}

TEST_F(ConnectionTest, DialUpWhenThereIsNoProxyButAConnection) {
    withRas(0, 1);
    EXPECT_EQ(GetConnectionType(machine), TConnectionType::ctDialup);
    withInternetSettings("\"ProxyEnable\"=dword:00000001\n\"ProxyServer\"=\"proxy:80\"\n");
    EXPECT_EQ(GetConnectionType(machine), TConnectionType::ctLAN);
}

TEST_F(ConnectionTest, NothingAtAllIsNone) {
    EXPECT_EQ(GetConnectionType(machine), TConnectionType::ctNone);
    EXPECT_EQ(GetProxyServer(machine), "");
}

// ---------------------------------------------------------------- performance statistics

constexpr const char* kCpuUsage = "KERNEL\\CPUUsage";

TEST_F(OstrelRoutinesTest, PerformanceStatisticsOn9x) {
    machine.systemFake.poseAsWindows98();
    machine.loadRegistry(
        "REGEDIT4\n"
        "[HKEY_DYN_DATA\\PerfStats\\StartStat]\n\"KERNEL\\\\CPUUsage\"=hex:00,00,00,00\n"
        "[HKEY_DYN_DATA\\PerfStats\\StatData]\n\"KERNEL\\\\CPUUsage\"=hex:2a,00,00,00\n"
        "\"KERNEL\\\\Short\"=hex:2a,00\n"
        "[HKEY_DYN_DATA\\PerfStats\\StopStat]\n\"KERNEL\\\\CPUUsage\"=hex:00,00,00,00\n");
    EXPECT_TRUE(PerfStatStart(machine, kCpuUsage));
    EXPECT_EQ(PerfStatRead(machine, kCpuUsage), 42);
    EXPECT_TRUE(PerfStatStop(machine, kCpuUsage));
    EXPECT_EQ(PerfStatRead(machine, "KERNEL\\Short"), -1);
    EXPECT_EQ(PerfStatRead(machine, "KERNEL\\Threads"), -1);
    EXPECT_FALSE(PerfStatStop(machine, "KERNEL\\Threads"));
    try {
        PerfStatStart(machine, "KERNEL\\Threads");
        FAIL() << "no exception";
    } catch (const Exception& error) {
        EXPECT_EQ(error.message(), "Unable to read performance data");
    }
}

TEST_F(OstrelRoutinesTest, PerformanceStatisticsWithoutTheDynamicDataRoot) {
    try {
        PerfStatStart(machine, kCpuUsage);
        FAIL() << "no exception";
    } catch (const Exception& error) {
        EXPECT_EQ(error.message(), "Unable to start performance monitoring");
    }
    EXPECT_EQ(PerfStatRead(machine, kCpuUsage), -1);
    EXPECT_FALSE(PerfStatStop(machine, kCpuUsage));
}

// ---------------------------------------------------------------- shell

TEST_F(OstrelRoutinesTest, SpecialFoldersAndTheProfile) {
    int window = 0;
    machine.shellFake.setFolder(platform::special_folder::kStartup,
                                "C:\\WINDOWS\\Start Menu\\Programs\\StartUp");
    EXPECT_EQ(GetSpecialFolder(machine, &window, platform::special_folder::kStartup),
              "C:\\WINDOWS\\Start Menu\\Programs\\StartUp");
    EXPECT_EQ(machine.shellFake.lastOwner, &window);
    EXPECT_EQ(GetSpecialFolder(machine, nullptr, platform::special_folder::kFonts), "");
    EXPECT_EQ(GetProfilePath(machine), "");
    machine.shellFake.setFolder(platform::special_folder::kDesktop, "C:\\WINDOWS\\Profiles\\Tester\\Desktop");
    EXPECT_EQ(GetProfilePath(machine), "C:\\WINDOWS\\Profiles\\Tester");
    machine.shellFake.setFolder(platform::special_folder::kDesktop, "C:\\Desktop");
    EXPECT_EQ(GetProfilePath(machine), "C:\\");
}

TEST_F(OstrelRoutinesTest, ShellLinks) {
    machine.shellFake.addLink("C:\\WINDOWS\\Start Menu\\Programs\\StartUp\\Agent.lnk",
                              {platform::shell_status::kOk, "C:\\Program Files\\Agent\\agent.exe", "/tray"});
    std::string target = "stale";
    std::string arguments = "stale";
    EXPECT_EQ(ResolveShellLink(machine, "c:\\windows\\start menu\\programs\\startup\\agent.lnk", target, arguments),
              platform::shell_status::kOk);
    EXPECT_EQ(target, "C:\\Program Files\\Agent\\agent.exe");
    EXPECT_EQ(arguments, "/tray");
    EXPECT_EQ(ResolveShellLink(machine, "C:\\missing.lnk", target, arguments),
              platform::shell_status::kFileNotFound);
    EXPECT_EQ(target, "");
    EXPECT_EQ(arguments, "");
}

// ---------------------------------------------------------------- drives

class DiskTest : public OstrelRoutinesTest {
protected:
    static FakeDrive fixedDrive() {
        FakeDrive drive;
        drive.type = DriveType::Fixed;
        drive.geometry = platform::ClusterGeometry{8, 512, 1000, 5000};
        drive.freeSpace = platform::FreeSpace{1500000000, 40000000000, 1600000000};
        drive.volume = platform::VolumeInformation{"SYSTEM", "NTFS", 0x1A2B3C4D, 255, 0x000700FF};
        return drive;
    }
};

TEST_F(DiskTest, AFixedDriveIsReadWhole) {
    machine.filesFake.addDrive('C', fixedDrive());
    ASSERT_TRUE(DiskInDrive(machine, "C:"));
    TDiskInfo info;
    GetDiskInfo(machine, "C:", info);
    EXPECT_EQ(info.Sign, "C:");
    EXPECT_EQ(info.MediaType, TMediaType::dtFixed);
    EXPECT_EQ(info.SectorsPerCluster, 8u);
    EXPECT_EQ(info.BytesPerSector, 512u);
    EXPECT_EQ(info.FreeClusters, 1000u);
    EXPECT_EQ(info.TotalClusters, 5000u);
    EXPECT_EQ(info.Capacity, 40000000000);
    EXPECT_EQ(info.FreeSpace, 1500000000);
    EXPECT_EQ(info.VolumeLabel, "SYSTEM");
    EXPECT_EQ(info.FileSystem, "NTFS");
    EXPECT_EQ(info.Serial, 0x1A2B3C4Du);
    EXPECT_EQ(info.SerialNumber, "1A2B-3C4D");
    TFileFlags expected;
    for (TFileFlag flag : {TFileFlag::fsCaseSensitive, TFileFlag::fsCaseIsPreserved, TFileFlag::fsUnicodeStoredOnDisk,
                           TFileFlag::fsPersistentAcls, TFileFlag::fsFileCompression, TFileFlag::fsDiskQuotasSupport,
                           TFileFlag::fsSparseFilesSupport, TFileFlag::fsReparsePointsSupport,
                           TFileFlag::fsObjectIDsSupport, TFileFlag::fsEncryptedFileSystemSupport,
                           TFileFlag::fsLongFileNames}) {
        expected.include(flag);
    }
    EXPECT_EQ(info.FileFlags, expected);
    EXPECT_FALSE(info.FileFlags.contains(TFileFlag::fsVolumeIsCompressed));
}

TEST_F(DiskTest, SerialNumbersKeepTheirLeadingZeros) {
    FakeDrive drive = fixedDrive();
    drive.volume->serial = 0x000A00B0;
    drive.volume->maxComponentLength = 12;
    drive.volume->flags = 0x8000;
    machine.filesFake.addDrive('A', drive);
    TDiskInfo info;
    GetDiskInfo(machine, "A:", info);
    EXPECT_EQ(info.SerialNumber, "000A-00B0");
    TFileFlags compressedOnly;
    compressedOnly.include(TFileFlag::fsVolumeIsCompressed);
    EXPECT_EQ(info.FileFlags, compressedOnly);
}

TEST_F(DiskTest, AnEmptyDriveGivesZerosAndEmptyTexts) {
    FakeDrive cdrom = fixedDrive();
    cdrom.type = DriveType::CDROM;
    cdrom.present = false;
    machine.filesFake.addDrive('D', cdrom);
    EXPECT_FALSE(DiskInDrive(machine, "D:"));
    machine.filesFake.addDrive('C', fixedDrive());
    TDiskInfo info;
    GetDiskInfo(machine, "C:", info);  // leaves values a second query must not keep
    GetDiskInfo(machine, "D:", info);
    EXPECT_EQ(info.Sign, "D:");
    EXPECT_EQ(info.MediaType, TMediaType::dtCDROM);
    EXPECT_EQ(info.SectorsPerCluster, 0u);
    EXPECT_EQ(info.TotalClusters, 0u);
    EXPECT_EQ(info.Capacity, 0);
    EXPECT_EQ(info.FreeSpace, 0);
    EXPECT_EQ(info.Serial, 0u);
    EXPECT_EQ(info.VolumeLabel, "");
    EXPECT_EQ(info.SerialNumber, "");
    EXPECT_EQ(info.FileSystem, "");
    EXPECT_TRUE(info.FileFlags.empty());
}

TEST_F(DiskTest, AFailedAttributeQueryMeansNoFlags) {
    FakeDrive drive = fixedDrive();
    drive.volume->flags = 0xFFFFFFFF;
    machine.filesFake.addDrive('S', drive);
    TDiskInfo info;
    GetDiskInfo(machine, "S:", info);
    EXPECT_TRUE(info.FileFlags.empty());
    EXPECT_EQ(info.FileSystem, "NTFS");
}

TEST_F(DiskTest, WithoutThe64BitQueryTheClustersGiveTheSizes) {
    FakeDrive drive = fixedDrive();
    drive.geometry = platform::ClusterGeometry{64, 512, 1000000, 4000000};
    drive.freeSpace.reset();
    machine.filesFake.addDrive('E', drive);
    TDiskInfo info;
    GetDiskInfo(machine, "E:", info);
    EXPECT_EQ(info.Capacity, int64_t{4000000} * 64 * 512);
    EXPECT_EQ(info.FreeSpace, int64_t{1000000} * 64 * 512);
}

TEST_F(DiskTest, UnreadableVolumeInformationLeavesItsFieldsEmpty) {
    FakeDrive drive = fixedDrive();
    drive.volume.reset();
    machine.filesFake.addDrive('F', drive);
    TDiskInfo info;
    GetDiskInfo(machine, "F:", info);
    EXPECT_EQ(info.TotalClusters, 5000u);
    EXPECT_EQ(info.Serial, 0u);
    EXPECT_EQ(info.SerialNumber, "");
    EXPECT_EQ(info.FileSystem, "");
    EXPECT_TRUE(info.FileFlags.empty());
}

TEST_F(DiskTest, AMissingDriveDoesNotExist) {
    TDiskInfo info;
    GetDiskInfo(machine, "Q:", info);
    EXPECT_EQ(info.MediaType, TMediaType::dtNotExists);
    EXPECT_EQ(info.Capacity, 0);
    EXPECT_FALSE(DiskInDrive(machine, "Q:"));
}

// ---------------------------------------------------------------- text helpers

TEST(IsBitOnTest, BitNumbersCountModulo32) {
    EXPECT_TRUE(IsBitOn(0x80000000u, 31));
    EXPECT_FALSE(IsBitOn(0x80000000u, 30));
    EXPECT_TRUE(IsBitOn(1, 32));
    EXPECT_TRUE(IsBitOn(4, 34));
    EXPECT_FALSE(IsBitOn(0, 0));
}

TEST(JoinMultiStringTest, JoinsTheTextsUpToTwoNulsInARow) {
    using namespace std::string_view_literals;
    EXPECT_EQ(JoinMultiString("a\0b\0\0c\0\0"sv), "ab");
    EXPECT_EQ(JoinMultiString("PCI\\VEN_8086\0PCI\\CC_0300\0\0"sv), "PCI\\VEN_8086PCI\\CC_0300");
    EXPECT_EQ(JoinMultiString("\0a\0\0"sv), "a");
    EXPECT_EQ(JoinMultiString("\0\0a"sv), "");
    EXPECT_EQ(JoinMultiString(""sv), "");
}

TEST(JoinMultiStringTest, StopsAtTheEndOfTheBytesRead) {
    // Only the first five bytes were read; what follows them is not part of the data.
    const std::vector<uint8_t> buffer = {'a', 'b', 0, 'c', 'd', 'X', 'Y', 0, 0};
    EXPECT_EQ(JoinMultiString(std::span<const uint8_t>(buffer).first(5)), "abcd");
}

TEST(StripBlanksTest, RemovesBlanksAndLineBreakPairs) {
    EXPECT_EQ(StripBlanks("  Intel Pentium 4  "), "IntelPentium4");
    EXPECT_EQ(StripBlanks("a\r\nb"), "ab");
    EXPECT_EQ(StripBlanks("a\rb\nc"), "a\rb\nc");
    EXPECT_EQ(StripBlanks("\t x y \r\n"), "xy");
    EXPECT_EQ(StripBlanks(""), "");
}

}  // namespace
}  // namespace vardak::probes
