// The system components on the real backend under Wine: the drive component renames
// the volume of a throwaway drive (a free letter that Wine's mount manager maps to a
// temporary folder of the prefix) and reads the label back, the labels of the
// prefix's C: and Z: stay as they were through the whole run, and an information
// object reads the registry where no more than reading is granted. The uninstall list
// matches the prefix's uninstall keys with one seeded entry and writes a change to it,
// the Windows component agrees with the operating-system probe, and the web link asks
// the shell to open its address.
#include <windows.h>
#include <winioctl.h>
// The drive component's setter, not the ANSI name of the system call.
#undef SetVolumeLabel

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "grell/controls/GrellSysURLLabel.h"
#include "grell/system/GrellSysDrive.h"
#include "grell/system/GrellSysUninstall.h"
#include "grell/system/GrellSysWindows.h"
#include "grell/system/GrellSysInfo.h"
#include "platform/win32/Win32Platform.h"
#include "probes/software/Vesk_OS.h"
#include "tests/support/FakePlatform.h"
#include "tests/wine/WineHarness.h"

namespace vardak::winetest {
namespace {

using platform::KeyAccess;
using platform::RootKey;

// Wine keeps a drive's label in the file ".windows-label" of its root, as a line.
std::string labelFileText(char letter) {
    std::ifstream file(std::string{letter, ':', '\\'} + ".windows-label", std::ios::binary);
    std::string text = "<none>";
    if (file) std::getline(file, text);
    while (!text.empty() && text.back() == '\r') text.pop_back();
    return text;
}

// The labels of the prefix's own drives: as the system answers, and their files.
std::string ownDriveLabels() {
    std::string labels;
    for (const char letter : {'C', 'Z'}) {
        char label[MAX_PATH + 1] = {};
        const std::string root{letter, ':', '\\'};
        GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0);
        labels += root + " '" + label + "' file " + labelFileText(letter) + "\n";
    }
    return labels;
}

class OwnDriveLabelsStay : public ::testing::Environment {
public:
    void SetUp() override { before_ = ownDriveLabels(); }
    void TearDown() override { EXPECT_EQ(ownDriveLabels(), before_) << "after the whole run"; }

private:
    std::string before_;
};

[[maybe_unused]] const auto* const kOwnDriveLabelsStay = ::testing::AddGlobalTestEnvironment(new OwnDriveLabelsStay);

// Wine's mount manager request that defines a drive letter by a Unix folder
// (IOCTL_MOUNTMGR_DEFINE_UNIX_DRIVE, as winecfg sends it); the folder's Unix path
// follows the record. A record without a folder takes the letter away.
struct MountManagerUnixDrive {
    ULONG size;
    ULONG type;
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPointOffset;
    USHORT deviceOffset;
    USHORT labelOffset;
};
constexpr DWORD kDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

// A free drive letter mapped to a fresh folder of the prefix's temporary folder for
// the object's life. The mount manager reads a drive's label when the drive is
// defined, so a written label shows after `remount`.
class ThrowawayDrive {
public:
    ThrowawayDrive() : folder_(temporaryFileName()) {
        DeleteFileA(folder_.c_str());
        if (folder_.empty() || !CreateDirectoryA(folder_.c_str(), nullptr)) return;
        letter_ = freeLetter();
        if (letter_ != 0 && !define(unixPath())) letter_ = 0;
    }
    ~ThrowawayDrive() {
        if (letter_ != 0) define("");
        DeleteFileA((folder_ + "\\.windows-label").c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    ThrowawayDrive(const ThrowawayDrive&) = delete;
    ThrowawayDrive& operator=(const ThrowawayDrive&) = delete;

    // 0 when no letter could be mapped.
    char letter() const { return letter_; }
    bool remount() { return define(unixPath()); }

private:
    static char freeLetter() {
        for (char letter = 'Y'; letter >= 'M'; --letter) {
            if (GetDriveTypeA(std::string{letter, ':', '\\'}.c_str()) == DRIVE_NO_ROOT_DIR) return letter;
        }
        return 0;
    }

    std::string unixPath() const {
        using UnixFileNameFn = char*(CDECL*)(LPCWSTR);
        const auto unixFileName = reinterpret_cast<UnixFileNameFn>(
            reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
        std::wstring wide(folder_.begin(), folder_.end());
        char* path = unixFileName != nullptr ? unixFileName(wide.c_str()) : nullptr;
        const std::string unix = path != nullptr ? path : "";
        HeapFree(GetProcessHeap(), 0, path);
        return unix;
    }

    // Maps the letter to the Unix folder, or takes it away for "".
    bool define(const std::string& unixFolder) const {
        std::vector<char> request(sizeof(MountManagerUnixDrive) + unixFolder.size() + 1, '\0');
        MountManagerUnixDrive drive{};
        drive.size = static_cast<ULONG>(request.size());
        drive.letter = static_cast<WCHAR>(letter_ - 'A' + 'a');
        drive.type = unixFolder.empty() ? DRIVE_NO_ROOT_DIR : DRIVE_FIXED;
        drive.mountPointOffset = unixFolder.empty() ? 0 : sizeof(MountManagerUnixDrive);
        std::memcpy(request.data(), &drive, sizeof drive);
        std::memcpy(request.data() + sizeof drive, unixFolder.c_str(), unixFolder.size());
        HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (manager == INVALID_HANDLE_VALUE) return false;
        const BOOL done = DeviceIoControl(manager, kDefineUnixDrive, request.data(), static_cast<DWORD>(request.size()),
                                          nullptr, 0, nullptr, nullptr);
        CloseHandle(manager);
        return done != FALSE;
    }

    std::string folder_;
    char letter_ = 0;
};

TEST(GrellSysDriveWineTest, TheLabelOfAThrowawayDriveIsWrittenAndReadBack) {
    win32::Win32Platform platform(/*console=*/true);
    ThrowawayDrive throwaway;
    ASSERT_NE(throwaway.letter(), 0) << "no drive letter could be mapped";
    grell::TGrellSysDrive component(nullptr, platform);
    grell::TGrellSysLog log(nullptr, platform.system());
    TStringList lines;
    log.SetStrings(&lines);
    component.SetSysLog(&log);
    grell::TGrellSysDriveObject& drive = component.Drive();
    drive.SetDrive(throwaway.letter());
    ASSERT_EQ(drive.DriveType(), grell::TGrellSysDriveType::dtFixed);
    ASSERT_GT(drive.DiskSize(), 0);

    EXPECT_THROW(drive.SetVolumeLabel("TAB\tLABEL"), EInvalidOperation);
    drive.SetVolumeLabel("VARDAK TEST");
    EXPECT_EQ(labelFileText(throwaway.letter()), "VARDAK TEST");
    ASSERT_EQ(lines.count(), 1);
    EXPECT_EQ(lines[0].rfind("Disk:Label: - VARDAK TEST ", 0), 0u) << lines[0];
    ASSERT_TRUE(throwaway.remount());
    component.Refresh();
    EXPECT_EQ(drive.VolumeLabel(), "VARDAK TEST");
    EXPECT_TRUE(drive.PendingChanges().empty());
}

// Wine's registry as a user without administrator rights meets the machine's keys:
// reading is granted, anything more is refused and counted.
class ReadingOnlyRegistry final : public platform::Registry {
public:
    std::unique_ptr<platform::RegistryKey> openKey(RootKey root, const std::string& path, KeyAccess access) override {
        return access == KeyAccess::Read ? real_.openKey(root, path, access) : refuse();
    }
    std::unique_ptr<platform::RegistryKey> createKey(RootKey, const std::string&) override { return refuse(); }
    bool deleteKey(RootKey, const std::string&) override { return refuse() != nullptr; }

    int refusals = 0;

private:
    std::unique_ptr<platform::RegistryKey> refuse() {
        ++refusals;
        return nullptr;
    }
    win32::Win32Registry real_;
};

// Wine's own platform with its registry behind the reading-only gate.
class ReadingOnlyPlatform final : public platform::Platform {
public:
    platform::Registry& registry() override { return readingOnly; }
    platform::System& system() override { return real_.system(); }
    platform::FileSystem& files() override { return real_.files(); }
    platform::UiNotifier& ui() override { return real_.ui(); }
    platform::Shell& shell() override { return real_.shell(); }
    platform::RuntimeLibraries& libraries() override { return real_.libraries(); }
    platform::Processor& processor() override { return real_.processor(); }
    platform::Firmware& firmware() override { return real_.firmware(); }
    platform::Display& display() override { return real_.display(); }
    platform::Power& power() override { return real_.power(); }
    platform::Locale& locale() override { return real_.locale(); }
    platform::Network& network() override { return real_.network(); }
    platform::Printers& printers() override { return real_.printers(); }
    platform::Multimedia& multimedia() override { return real_.multimedia(); }
    platform::Automation& automation() override { return real_.automation(); }
    platform::AspiRequests& aspi() override { return real_.aspi(); }
    platform::UserSettings& settings() override { return real_.settings(); }

    ReadingOnlyRegistry readingOnly;

private:
    win32::Win32Platform real_{/*console=*/true};
};

constexpr char kOwnerKey[] = "\\Software\\VardakWineTest\\GrellSys";

// Reads the registered owner the way the information objects read their keys.
class TOwnerObject final : public grell::TGrellSysObject {
public:
    using TGrellSysObject::TGrellSysObject;
    void Retrieve() override {
        CreateRegistry();
        SetRegistryRootKey(RootKey::LocalMachine);
        if (OpenRegistryKey(kOwnerKey)) owner = Registry()->readText("RegisteredOwner").value_or("");
        CloseRegistryKey();
        FreeRegistry();
    }
    void ApplyChanges() override {}
    std::string owner;
};

TEST(GrellSysObjectWineTest, ReadsWhereOnlyReadingIsGranted) {
    const SeededRegistry seeded("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\VardakWineTest\\GrellSys]\r\n"
                                "\"RegisteredOwner\"=\"Vardak Tester\"\r\n\r\n");
    ASSERT_TRUE(seeded.imported());
    ReadingOnlyPlatform platform;
    TOwnerObject object(platform);
    object.Retrieve();
    EXPECT_EQ(object.owner, "Vardak Tester");
    EXPECT_EQ(platform.readingOnly.refusals, 0);
}


// ---------------------------------------------------------------- uninstall list

constexpr char kUninstallPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

bool hasValue(HKEY key, const char* name) {
    return RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// The value's type and text as the system answers them.
std::pair<DWORD, std::string> storedValue(const std::string& path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return {0, "<no key>"};
    char text[1024] = {};
    DWORD type = 0;
    DWORD size = sizeof text - 1;
    const LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? std::pair<DWORD, std::string>{type, text} : std::pair<DWORD, std::string>{0, "<none>"};
}

// The prefix's programs as the system enumerates them: subkeys with a display name
// and an uninstall command.
std::vector<std::string> listedUninstallKeys() {
    std::vector<std::string> names;
    HKEY list = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallPath, 0, KEY_READ, &list) != ERROR_SUCCESS) return names;
    char name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(list, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        HKEY entry = nullptr;
        if (RegOpenKeyExA(list, name, 0, KEY_READ, &entry) != ERROR_SUCCESS) continue;
        if (hasValue(entry, "DisplayName") && hasValue(entry, "UninstallString")) names.emplace_back(name);
        RegCloseKey(entry);
    }
    RegCloseKey(list);
    return names;
}

TEST(GrellSysUninstallWineTest, ListsThePrefixsProgramsAndWritesAChangeToTheSeededOne) {
    const SeededRegistry seeded(
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
        "VardakWineTest]\r\n\"DisplayName\"=\"Vardak Wine Test\"\r\n\"Publisher\"=\"Vardak\"\r\n"
        // "%SystemRoot%\uninst.exe" as expandable text
        "\"UninstallString\"=hex(2):25,53,79,73,74,65,6d,52,6f,6f,74,25,5c,75,6e,69,6e,73,74,2e,65,78,65,00\r\n\r\n");
    ASSERT_TRUE(seeded.imported());
    const std::vector<std::string> expected = listedUninstallKeys();
    win32::Win32Platform platform(/*console=*/true);
    grell::TGrellSysUninstall component(nullptr, platform);
    component.Refresh();
    grell::TGrellUninstallInfo& list = component.Uninstall();
    std::vector<std::string> keys;
    grell::TGrellUninstallItem* seededItem = nullptr;
    for (int i = 0; i < list.count(); ++i) {
        keys.push_back(list.Items(i)->KeyName());
        if (list.Items(i)->KeyName() == "VardakWineTest") seededItem = list.Items(i);
    }
    EXPECT_EQ(keys, expected);
    ASSERT_NE(seededItem, nullptr);
    EXPECT_EQ(seededItem->ProgramName(), "Vardak Wine Test");
    EXPECT_EQ(seededItem->UninstallPath(), "%SystemRoot%\\uninst.exe");

    seededItem->SetValue(grell::TUninstallValue::Publisher, "Vardak Developers");
    seededItem->SetValue(grell::TUninstallValue::UninstallPath, "%SystemRoot%\\uninst2.exe");
    list.ApplyChanges();
    EXPECT_TRUE(list.PendingChanges().empty());
    const std::string path = std::string(kUninstallPath) + "\\VardakWineTest";
    EXPECT_EQ(storedValue(path, "Publisher"), (std::pair<DWORD, std::string>{REG_SZ, "Vardak Developers"}));
    EXPECT_EQ(storedValue(path, "UninstallString"),
              (std::pair<DWORD, std::string>{REG_EXPAND_SZ, "%SystemRoot%\\uninst2.exe"}));
    EXPECT_EQ(storedValue(path, "DisplayName"), (std::pair<DWORD, std::string>{REG_SZ, "Vardak Wine Test"}));
}

// ---------------------------------------------------------------- Windows, network, web link

TEST(GrellSysWindowsWineTest, EditionAndOwnerAreTheOperatingSystemProbes) {
    const SeededRegistry seeded(
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion]\r\n"
        "\"RegisteredOwner\"=\"Vardak Owner\"\r\n\"RegisteredOrganization\"=\"Vardak Organisation\"\r\n\r\n");
    ASSERT_TRUE(seeded.imported());
    win32::Win32Platform platform(/*console=*/true);
    probes::TOperatingSystem os(platform);
    os.GetInfo();
    grell::TGrellSysWindows component(nullptr, platform);
    component.Refresh();
    const grell::TGrellSysWindowsObject& windows = component.Windows();
    EXPECT_EQ(windows.RegisteredOwner(), "Vardak Owner");
    EXPECT_EQ(windows.RegisteredOwner(), os.RegisteredUser());
    EXPECT_EQ(windows.RegisteredCompany(), os.RegisteredOrg());
    EXPECT_EQ(windows.ProductID(), os.ProductID());
    EXPECT_EQ(windows.CSDVersion(), os.CSD());
    EXPECT_EQ(static_cast<int32_t>(windows.MajorVersion() * 100 + windows.MinorVersion()),
              os.MajorVersion() * 100 + os.MinorVersion());
    EXPECT_EQ(windows.ProductName(), storedValue("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "ProductName").second);
    EXPECT_FALSE(windows.ProductName().empty());
}

// The real shell, except that addresses are recorded instead of opened: no browser
// starts in a test.
class RecordingShell final : public platform::Shell {
public:
    std::optional<std::string> specialFolderPath(platform::WindowHandle owner, int32_t folder) override {
        return real_.specialFolderPath(owner, folder);
    }
    platform::ShellLinkResolution resolveShellLink(const std::string& linkFile) override {
        return real_.resolveShellLink(linkFile);
    }
    uint32_t openAddress(platform::WindowHandle parent, const std::string& target) override {
        opened.push_back(target);
        parents.push_back(parent);
        return 42;
    }
    std::vector<std::string> opened;
    std::vector<platform::WindowHandle> parents;

private:
    win32::Win32Shell real_;
};

TEST(GrellSysURLLabelWineTest, TheLinkAsksTheShellToOpenItsAddress) {
    constexpr char kAddress[] = "https://www.vardak.example/sv/";
    RecordingShell shell;
    HWND window = GetDesktopWindow();
    grell::TGrellSysURLLabel label(nullptr, shell, [window] { return static_cast<platform::WindowHandle>(window); });
    label.SetAllowedTargets({kAddress});
    label.SetJump(kAddress);
    EXPECT_TRUE(label.ExecuteJump());
    EXPECT_EQ(shell.opened, std::vector<std::string>{kAddress});
    EXPECT_EQ(shell.parents, std::vector<platform::WindowHandle>{window});
    label.SetJump("https://elsewhere.example/");
    EXPECT_FALSE(label.ExecuteJump());
    EXPECT_EQ(shell.opened.size(), 1u);

    // The real shell reports a target it cannot open, which disables the label.
    win32::Win32Shell real;
    const std::string missing = "C:\\vardak-no-such-folder\\nothing.vardaktest";
    grell::TGrellSysURLLabel failing(nullptr, real);
    failing.SetAllowedTargets({missing});
    failing.SetJump(missing);
    EXPECT_FALSE(failing.ExecuteJump());
    EXPECT_FALSE(failing.enabled());
}

TEST(GrellSysObjectWineTest, TheProcessorAndTheSystemValuesReadWhereOnlyReadingIsGranted) {
    ReadingOnlyPlatform platform;
    TComponent form(nullptr);
    auto* processor = new grell::TGrellSysProcessor(&form, platform);
    processor->Processor().Retrieve();
    ASSERT_GE(processor->Processor().ProcessorsInfo().count(), 1);
    EXPECT_FALSE(processor->Processor().ProcessorsInfo().Item(0).Identifier.empty());
    auto* info = new grell::TGrellSysInfo(&form, platform);
    EXPECT_NE(info->GetString(2), grell::TGrellSysInfo::kUnknown);
    EXPECT_EQ(platform.readingOnly.refusals, 0);
}

// The report children posed as XP and 98 read the processor component and every
// indexed system value, and write the keyboard delay, read it back and restore it.
struct GrellPose {
    WindowsPose pose;
    const char* version;
    bool nt;
};

class GrellPosedTest : public ::testing::TestWithParam<GrellPose> {};

TEST_P(GrellPosedTest, TheProcessorAndEverySystemValueAreRead) {
    const ProcessResult& child = posedReport(GetParam().pose);
    ASSERT_TRUE(child.started);
    ASSERT_EQ(child.exitCode, 0u) << child.output;
    std::map<std::string, std::string> fields = parseFields(child.output);
    EXPECT_EQ(fields.count("grell.error"), 0u) << fields["grell.error"];
    // The component reads the brand text of AMD processors only, as the CPU probe does.
    EXPECT_EQ(fields["grell.IDString"], fields["grell.probeVendor"]);
    EXPECT_EQ(fields["grell.CPUName"], fields["grell.probeVendor"] == "AuthenticAMD" ? fields["grell.probeBrand"] : "");
    const int usage = std::stoi(fields["grell.ProcessorUsage"]);
    if (GetParam().nt) {
        EXPECT_LE(usage, 100);
        EXPECT_GE(std::stoi(fields["grell.Count"]), 1);
    } else {
        // Wine has no 95/98 performance statistics: not measured, never a wrong number.
        EXPECT_TRUE(usage <= 100 || usage == 255) << usage;
        EXPECT_EQ(fields["grell.Count"], "1");
    }
    std::vector<std::string> values;
    std::istringstream lines(child.output);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("grell.info.", 0) == 0) {
            values.push_back(line.substr(11, line.find_last_not_of("\r") - 10));
        }
    }
    // The component's Name and Tag, About, then the 96 values (ProcessorInfo as its 22).
    ASSERT_EQ(values.size(), 99u) << child.output;
    EXPECT_EQ(values[9], std::string("VersionWIN = ") + GetParam().version);
    EXPECT_EQ(values.back().rfind("SnapToDefaultButton = ", 0), 0u);
    const std::string delay = fields["grell.delay"];
    ASSERT_EQ(delay.size(), 7u) << delay;
    EXPECT_EQ(delay[4], delay[2]) << "written, then read back: " << delay;
    EXPECT_EQ(delay[6], delay[0]) << "restored: " << delay;
}

INSTANTIATE_TEST_SUITE_P(Poses, GrellPosedTest,
                         ::testing::Values(GrellPose{WindowsPose::WindowsXP, "5.1", true},
                                           GrellPose{WindowsPose::Windows98, "4.10", false}),
                         [](const auto& info) { return info.param.nt ? std::string("XP") : std::string("Win98"); });

}  // namespace
}  // namespace vardak::winetest
