// The shared system routines of the probe library: the process-wide operating-system
// facts, file version records, computer and user names, environment and folders,
// drive information, device classes in the registry, default mail client and
// browser, connection kind and proxy, and the 95/98 performance statistics.
//
// The facts are computed by StartOstrelRoutines from the platform it is given, once
// for the process (a second start only counts), before any probe runs; the matching
// StopOstrelRoutines forgets them again. Everything else is stateless and reaches the
// system through the platform passed in. Failures give empty, zero or default results;
// only PerfStatStart raises.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Classes.h"
#include "framework/Registry.h"
#include "framework/Sets.h"
#include "platform/Platform.h"

namespace vardak::probes {

// ---------------------------------------------------------------- types

enum class TConnectionType : uint8_t { ctNone, ctLAN, ctDialup };
inline constexpr std::string_view kConnectionTypeNames[] = {"ctNone", "ctLAN", "ctDialup"};
// The words of the report and the overview window, by ordinal.
inline constexpr std::string_view kConnectionTypeTexts[] = {"None", "LAN", "Dialup"};

// The same ordinals as the platform's drive-type codes 0..6.
enum class TMediaType : uint8_t { dtUnknown, dtNotExists, dtRemovable, dtFixed, dtRemote, dtCDROM, dtRAMDisk };
inline constexpr std::string_view kMediaTypeNames[] = {"dtUnknown", "dtNotExists", "dtRemovable", "dtFixed",
                                                       "dtRemote",  "dtCDROM",     "dtRAMDisk"};

enum class TFileFlag : uint8_t {
    fsCaseIsPreserved,
    fsCaseSensitive,
    fsUnicodeStoredOnDisk,
    fsPersistentAcls,
    fsFileCompression,
    fsVolumeIsCompressed,
    fsLongFileNames,
    fsEncryptedFileSystemSupport,
    fsObjectIDsSupport,
    fsReparsePointsSupport,
    fsSparseFilesSupport,
    fsDiskQuotasSupport,
};

inline constexpr std::string_view kFileFlagNames[] = {
    "fsCaseIsPreserved",    "fsCaseSensitive",       "fsUnicodeStoredOnDisk",        "fsPersistentAcls",
    "fsFileCompression",    "fsVolumeIsCompressed",  "fsLongFileNames",              "fsEncryptedFileSystemSupport",
    "fsObjectIDsSupport",   "fsReparsePointsSupport", "fsSparseFilesSupport",        "fsDiskQuotasSupport",
};

using TFileFlags = TSet<TFileFlag, uint16_t>;

enum class TOSKind : uint8_t {
    osUnknown,
    osWin95,
    osWin95OSR2,
    osWin98,
    osWin98SE,
    osWinME,
    osWinNT3,
    osWinNT4,
    osWin2000,
    osWinXP,
};
inline constexpr std::string_view kOSKindNames[] = {"osUnknown", "osWin95",  "osWin95OSR2", "osWin98",   "osWin98SE",
                                                    "osWinME",   "osWinNT3", "osWinNT4",    "osWin2000", "osWinXP"};

// A drive designation such as "C:".
using TDiskSign = std::string;

struct TVersionInfo {
    std::string FileName;
    std::string Version;  // "major.minor.release.build"
    std::string ProductName;
    std::string CompanyName;
    std::string Description;
    std::string Comments;
    std::string Copyright;
    uint32_t Major = 0;
    uint32_t Minor = 0;
    uint32_t Release = 0;
    uint32_t Build = 0;
};

struct TDiskInfo {
    TDiskSign Sign;
    TMediaType MediaType = TMediaType::dtUnknown;
    TFileFlags FileFlags;
    uint32_t SectorsPerCluster = 0;
    uint32_t BytesPerSector = 0;
    uint32_t FreeClusters = 0;
    uint32_t TotalClusters = 0;
    uint32_t Serial = 0;
    int64_t Capacity = 0;
    int64_t FreeSpace = 0;  // bytes available to the caller
    std::string VolumeLabel;
    std::string SerialNumber;  // "1A2B-3C4D"
    std::string FileSystem;
    uint32_t MaximumLength = 0;  // the longest file-name component the file system takes
};

// ---------------------------------------------------------------- process-wide facts

inline constexpr std::string_view kNTClassKey = "SYSTEM\\CurrentControlSet\\Control\\Class";
inline constexpr std::string_view k9xClassKey = "SYSTEM\\CurrentControlSet\\Services\\Class";
// The class root of the NT or the 95/98 line.
constexpr std::string_view ClassKeyOf(bool isNT) { return isNT ? kNTClassKey : k9xClassKey; }
// The NT line's hardware description: BIOS and video BIOS texts, and the processors
// below "CentralProcessor".
inline constexpr std::string_view kHardwareDescriptionKey = "\\HARDWARE\\DESCRIPTION\\System";
inline constexpr std::string_view kComputerNameKey = "\\SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName";
// The services' keys below it, each under the service's key name.
inline constexpr std::string_view kServicesKey = "\\SYSTEM\\CurrentControlSet\\Services\\";
// The version key of the NT line (edition, registration, hotfixes, time zones) and of
// the 95/98 line (the same), which on the NT line too holds the installation's folders.
inline constexpr std::string_view kNTCurrentVersionKey = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
inline constexpr std::string_view kWindowsCurrentVersionKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr std::string_view CurrentVersionKeyOf(bool isNT) {
    return isNT ? kNTCurrentVersionKey : kWindowsCurrentVersionKey;
}
// Below the local-machine root: one subkey per program that can be uninstalled.
inline constexpr std::string_view kUninstallKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// Below the NT version key: the hotfix that makes Service Pack 6 into 6a.
inline constexpr std::string_view kHotfixQ246009Subkey = "Hotfix\\Q246009";

struct TOstrelFacts {
    TOSKind OSKind = TOSKind::osUnknown;
    // The NT line by the version record's platform, so later NT versions, whose kind
    // is osUnknown, count as NT too.
    bool IsNT = false;
    bool Is95 = false;
    bool IsOSR2 = false;
    bool Is98 = false;
    bool Is98SE = false;
    bool IsME = false;
    bool Is2K = false;
    bool IsXP = false;
    std::string ServicePack;
    std::string OSShortName;
    std::string OSLongName;
    std::string ClassKey;  // below the local-machine root
    std::string MachineName;  // upper case
    std::string UserName;
    std::string ProfilePath;
    platform::MemoryStatus MemoryStatusSnapshot;
    // Bytes; from the 64-bit memory query where there is one, so it is right above
    // 2 GB as well, else from the snapshot.
    int64_t TotalPhysMem = 0;
    std::string ProgramVersion;  // of the running program, empty without a version resource
};

// Computes the facts from the platform, without keeping them.
TOstrelFacts ComputeOstrelFacts(platform::Platform& platform);

// The first start computes the facts; later starts only count. Each start is
// matched by one stop; the last stop forgets the facts.
void StartOstrelRoutines(platform::Platform& platform);
void StopOstrelRoutines();
// Forgets the facts whatever the count, so a test can start on another machine.
void ResetOstrelRoutines();
bool OstrelRoutinesStarted();
// The facts of the start; raises EInvalidOperation before the start.
const TOstrelFacts& OstrelFacts();

// Whether the system is on the NT line: the started facts' answer, or, before the
// start (a probe used on its own), the version record's platform. Every NT/9x
// branch asks this.
bool IsNTLine(platform::Platform& platform);
// The user's decimal separator (its first character; "." when the locale has none).
char UserDecimalSeparator(platform::Platform& platform);

// The kind of the running Windows: the started facts' kind, or, before the start,
// the detection's.
TOSKind RunningOSKind(platform::Platform& platform);

// Starts the routines for its lifetime.
class OstrelRoutinesSession {
public:
    explicit OstrelRoutinesSession(platform::Platform& platform) { StartOstrelRoutines(platform); }
    ~OstrelRoutinesSession() { StopOstrelRoutines(); }
    OstrelRoutinesSession(const OstrelRoutinesSession&) = delete;
    OstrelRoutinesSession& operator=(const OstrelRoutinesSession&) = delete;
};

// ---------------------------------------------------------------- operating system

// The kind of the running Windows and its service-pack text: on NT "Service Pack 6"
// becomes "Service Pack 6a" where hotfix Q246009 is installed; on 95/98 the raw
// extra-version text.
TOSKind DetectOSKind(platform::Platform& platform, std::string& servicePack);
TOSKind DetectOSKind(const platform::OSVersionInfo& version, platform::Registry& registry,
                     std::string& servicePack);

// Whether hotfix Q246009 is installed: its key below the NT version key holds the
// integer "Installed" = 1.
bool HotfixQ246009Installed(platform::Registry& registry);

struct OSNames {
    std::string shortName;
    std::string longName;
};
// The service pack is appended to the long names of the NT line.
OSNames OSNamesOf(TOSKind kind, std::string_view servicePack);

// The registration texts of the running line's version key; each is nothing where
// the key lacks it (or holds it as no text).
struct TWindowsRegistration {
    std::optional<std::string> RegisteredOwner;
    std::optional<std::string> RegisteredOrganization;
    std::optional<std::string> ProductID;
    std::optional<std::string> ProductName;
};
// The version key of the running line (NT or 95/98), open for reading; nullptr when
// it does not open.
std::unique_ptr<TRegistry> OpenCurrentVersionKey(platform::Platform& platform);
TWindowsRegistration ReadWindowsRegistration(const TRegistry& versionKey);
// The most the version record's service-pack text holds.
inline constexpr size_t kLongestCSDVersion = 128;
// The version record's service-pack text, at most kLongestCSDVersion characters.
std::string CSDVersionText(const platform::OSVersionInfo& record);

std::string ReadComputerName(platform::Platform& platform);
std::string ReadUserName(platform::Platform& platform);

// ---------------------------------------------------------------- files

// True when the file has a version resource, which then fills `info`; the fields
// of entries the resource lacks keep what they held. FileName is set in any case.
bool GetFileVerInfo(platform::Platform& platform, const std::string& fileName, TVersionInfo& info);
// "major.minor.release.build", or empty.
std::string GetFileVersion(platform::Platform& platform, const std::string& fileName);

// ---------------------------------------------------------------- registry

// Collects the text of the value `valueName` of every device instance of one device
// class, each text once (compared without case). The NT line finds the class below
// `classKey` by its "Class" value and returns the class's key name (its GUID) in
// `classId`; the 95/98 line reads the key named `className` and leaves `classId`
// empty. The list is cleared first.
void GetClassDevices(platform::Platform& platform, std::string_view classKey, std::string_view className,
                     std::string_view valueName, std::string& classId, TStrings& list);

// The default handlers' executables, or empty.
std::string GetDefaultMailClient(platform::Platform& platform);
std::string GetDefaultBrowser(platform::Platform& platform);

// Open dial-up connections, 0 where rasapi32.dll or its entry is missing.
int32_t GetRASConnectionCount(platform::Platform& platform);
TConnectionType GetConnectionType(platform::Platform& platform);
std::string GetProxyServer(platform::Platform& platform);

// The 95/98 performance statistics of the dynamic-data root. PerfStatStart raises
// Exception "Unable to start performance monitoring" when statistics cannot be
// started and "Unable to read performance data" when the counter is unknown.
bool PerfStatStart(platform::Platform& platform, std::string_view counter);
bool PerfStatStop(platform::Platform& platform, std::string_view counter);
// The counter's 32-bit value, -1 when it cannot be read.
int64_t PerfStatRead(platform::Platform& platform, std::string_view counter);

// ---------------------------------------------------------------- environment and folders

// The NAME=value entries of an environment block, in order, up to the empty entry
// that ends the block (or its end).
std::vector<std::string> EnvironmentEntries(std::string_view block);
// Clears the list, then adds the process's variables as "NAME=value" lines: those
// that end within the first 4096 characters of the environment.
void GetEnvironment(platform::Platform& platform, TStrings& list);
// The value of a variable of the whole environment (name compared without case), or "".
std::string GetEnvironmentValue(platform::Platform& platform, std::string_view name);
std::string GetWinDir(platform::Platform& platform);
std::string GetSysDir(platform::Platform& platform);
// Windows folder + ";" + system folder + ";".
std::string GetWinSysDir(platform::Platform& platform);

// Replaces, for each variable of the whole environment in its order, its first "%NAME%" (names
// compared without case) or else a "\NAME" that starts a path and is a whole
// component of it ("\SystemRoot\System32" but not "C:\Temp" nor "\SystemRootX") by
// the variable's value. Variables without a name are skipped. What follows a
// replacement is cut to 1024 characters.
std::string ExpandEnvVars(platform::Platform& platform, std::string_view text);
// The text between two `quote` characters that begin and end it, else the text.
std::string Dequote(std::string_view text, char quote);
// The existing file a command line starts with, quoted or not, its environment
// variables expanded; empty when none exists.
std::string ExtractFileFromCommand(platform::Platform& platform, std::string_view command);

// The status of the last step of the resolution; target and arguments as read.
int32_t ResolveShellLink(platform::Platform& platform, const std::string& linkFile, std::string& target,
                         std::string& arguments);
// The path of a special folder (platform::special_folder), empty when it has none.
std::string GetSpecialFolder(platform::Platform& platform, platform::WindowHandle window, int32_t folder);
// The folder that holds the user's desktop folder.
std::string GetProfilePath(platform::Platform& platform);

// ---------------------------------------------------------------- drives

bool DiskInDrive(platform::Platform& platform, const TDiskSign& drive);
// Fills the whole record: fields that cannot be read are zero or empty, and a drive
// that is not ready (no disk, an unreachable share) reads as empty. Sizes are 64-bit.
// File-system flags of all ones are a failed query: no flags. True when the drive
// was ready.
bool GetDiskInfo(platform::Platform& platform, const TDiskSign& drive, TDiskInfo& info);

// The first character of the user's thousands separator, as sizes are grouped for
// people: "," where the settings give none, nothing where the setting is empty.
std::string UserThousandSeparator(platform::Platform& platform);

// ---------------------------------------------------------------- small helpers

// The bit number is taken modulo 32.
constexpr bool IsBitOn(uint32_t value, int bit) {
    return ((value >> (static_cast<unsigned>(bit) & 31u)) & 1u) != 0;
}

// The texts of NUL-separated data joined with nothing between them, up to two NULs
// in a row or the end of the bytes.
std::string JoinMultiString(std::span<const uint8_t> bytes);
std::string JoinMultiString(std::string_view bytes);

// The text trimmed, without any blank and without any CR LF pair.
std::string StripBlanks(std::string_view text);

}  // namespace vardak::probes
