// The system components on the real backend under Wine: the drive component renames
// the volume of a throwaway drive (a free letter that Wine's mount manager maps to a
// temporary folder of the prefix) and reads the label back, the labels of the
// prefix's C: and Z: stay as they were through the whole run, and an information
// object reads the registry where no more than reading is granted.
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

#include "grell/system/GrellSysDrive.h"
#include "grell/system/GrellSysInfo.h"
#include "platform/win32/Win32Platform.h"
#include "tests/wine/WineHarness.h"

namespace vardak::winetest {
namespace {

using platform::KeyAccess;
using platform::RootKey;

std::string fileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return file ? text.str() : "<none>";
}

// Wine keeps a drive's label in the file ".windows-label" of its root, as a line.
std::string labelFileText(char letter) {
    std::string text = fileText(std::string{letter, ':', '\\'} + ".windows-label");
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
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
    const std::string ownLabels = ownDriveLabels();
    win32::Win32Platform platform(/*console=*/true);
    grell::TGrellSysDrive unread(nullptr, platform);
    EXPECT_THROW(unread.Drive().SetVolumeLabel("RENAMED"), EInvalidOperation);

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
    EXPECT_EQ(ownDriveLabels(), ownLabels);
}

// The real registry as a user without administrator rights meets the machine's
// keys: reading is granted, anything more is refused.
class ReadingOnlyRegistry final : public platform::Registry {
public:
    std::unique_ptr<platform::RegistryKey> openKey(RootKey root, const std::string& path, KeyAccess access) override {
        if (access != KeyAccess::Read) return refuse();
        return real_.openKey(root, path, access);
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

class ReadingOnlyPlatform final : public platform::Platform {
public:
    platform::Registry& registry() override { return registry_; }
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
    platform::UserSettings& settings() override { return real_.settings(); }

    ReadingOnlyRegistry registry_;

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
    EXPECT_EQ(platform.registry_.refusals, 0);
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
    EXPECT_EQ(platform.registry_.refusals, 0);
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
