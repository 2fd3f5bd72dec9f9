// The platform seam: the only way the portable core reaches the operating system.
// The Win32 backend (platform/win32) implements it with the ANSI API; tests use the
// in-memory fakes of tests/support. Strings are bytes in the ANSI code page.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Aspi.h"
#include "platform/Automation.h"
#include "platform/Display.h"
#include "platform/Firmware.h"
#include "platform/Locale.h"
#include "platform/Network.h"
#include "platform/Multimedia.h"
#include "platform/Power.h"
#include "platform/Printers.h"
#include "platform/Processor.h"
#include "platform/RuntimeLibraries.h"
#include "platform/Shell.h"
#include "platform/SystemTime.h"

namespace vardak::platform {

// ---------------------------------------------------------------- registry

enum class RootKey { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig, DynData };

// Registry value types, with the numbers the registry itself uses.
enum class ValueType : uint32_t {
    None = 0,
    String = 1,
    ExpandString = 2,
    Binary = 3,
    DWord = 4,
    DWordBigEndian = 5,
    Link = 6,
    MultiString = 7,
    ResourceList = 8,
    FullResourceDescriptor = 9,
    ResourceRequirementsList = 10,
    QWord = 11,
};

// A value as the registry stores it: its type and its raw bytes. String data
// carries its terminating NUL where the writer stored one.
struct RegValue {
    ValueType type = ValueType::None;
    std::vector<uint8_t> data;

    static RegValue fromString(const std::string& text, ValueType type = ValueType::String);
    static RegValue fromDWord(uint32_t value);
    static RegValue fromBinary(std::vector<uint8_t> bytes);
    static RegValue fromMultiString(const std::vector<std::string>& texts);

    // The bytes up to the first NUL, or all of them when there is none, as text.
    std::string textUpToNul() const;
    // The number of a DWORD value of exactly four bytes; nothing for any other value.
    std::optional<uint32_t> dword() const;
};

enum class KeyAccess { Read, ReadWrite };

// An open key. Closing happens when the object is destroyed.
class RegistryKey {
public:
    virtual ~RegistryKey() = default;
    virtual std::vector<std::string> subkeyNames() const = 0;
    virtual std::vector<std::string> valueNames() const = 0;
    // The value named `name` ("" is the key's default value), or nothing.
    virtual std::optional<RegValue> queryValue(const std::string& name) const = 0;
    virtual bool setValue(const std::string& name, const RegValue& value) = 0;
    virtual bool deleteValue(const std::string& name) = 0;
};

class Registry {
public:
    virtual ~Registry() = default;
    // Opens an existing key; a leading backslash of `path` is ignored.
    virtual std::unique_ptr<RegistryKey> openKey(RootKey root, const std::string& path,
                                                 KeyAccess access) = 0;
    // Opens the key for writing, creating it and its missing parents.
    virtual std::unique_ptr<RegistryKey> createKey(RootKey root, const std::string& path) = 0;
    // Deletes a key that has no subkeys.
    virtual bool deleteKey(RootKey root, const std::string& path) = 0;
};

// ---------------------------------------------------------------- operating system

enum class PlatformId : uint32_t { Win32s = 0, Windows = 1, NT = 2 };

// The OS version record (the platform's OSVERSIONINFO).
struct OSVersionInfo {
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t build = 0;
    PlatformId platform = PlatformId::Win32s;
    std::string csdVersion;  // the 128-character extra-version text
};

// Product types of the extended version record.
namespace product_type {
inline constexpr uint8_t kWorkstation = 1;
inline constexpr uint8_t kDomainController = 2;
inline constexpr uint8_t kServer = 3;
}  // namespace product_type

// The extended OS version record (the platform's OSVERSIONINFOEX): the basic record,
// the service-pack numbers, the installed suites and the product type.
struct OSVersionInfoEx {
    OSVersionInfo basic;
    uint16_t servicePackMajor = 0;
    uint16_t servicePackMinor = 0;
    uint16_t suiteMask = 0;  // VER_SUITE_* bits
    uint8_t productType = 0;  // product_type, 0 where the system gives none
};

// The legacy memory-status record: every size is a 32-bit count.
struct MemoryStatus {
    uint32_t length = 32;
    uint32_t memoryLoad = 0;
    uint32_t totalPhys = 0;
    uint32_t availPhys = 0;
    uint32_t totalPageFile = 0;
    uint32_t availPageFile = 0;
    uint32_t totalVirtual = 0;
    uint32_t availVirtual = 0;
};

// The extended memory-status record, 64-bit sizes.
struct MemoryStatusEx {
    uint32_t memoryLoad = 0;
    uint64_t totalPhys = 0;
    uint64_t availPhys = 0;
    uint64_t totalPageFile = 0;
    uint64_t availPageFile = 0;
    uint64_t totalVirtual = 0;
    uint64_t availVirtual = 0;
    uint64_t availExtendedVirtual = 0;
};

// The parts of the system information record (the platform's SYSTEM_INFO) that
// the probes read; addresses of the 32-bit address space.
struct SystemInformation {
    uint32_t pageSize = 0;
    uint32_t minimumApplicationAddress = 0;
    uint32_t maximumApplicationAddress = 0;
    uint32_t allocationGranularity = 0;
    uint32_t processorType = 0;  // 386, 486, 586, 2000, 21064...
};

// How the 16-bit free-resources query of the 95/98 line ended.
enum class FreeResourcesStatus {
    Ok,
    NotAvailable,    // no 16-bit subsystem: any other Windows line
    CannotLoadUser,  // the 16-bit USER module did not load
    NoEntry,         // USER has no GetFreeSystemResources
};

struct FreeResources16 {
    FreeResourcesStatus status = FreeResourcesStatus::NotAvailable;
    uint16_t percentFree = 0;
};

// How a call that changes the system ended: the system's error code when it failed.
struct SystemCallResult {
    bool succeeded = false;
    uint32_t errorCode = 0;
};

// How a command run with System::runCommand ended.
struct CommandRun {
    bool started = false;
    bool timedOut = false;  // and so was ended, with every process it started where possible
    uint32_t exitCode = 0;
};

class System {
public:
    virtual ~System() = default;
    virtual OSVersionInfo versionInfo() = 0;
    // Nothing where the system does not take the extended record (the 95/98 line,
    // NT before 4.0 Service Pack 6).
    virtual std::optional<OSVersionInfoEx> versionInfoEx() = 0;
    virtual std::string computerName() = 0;
    virtual std::string userName() = 0;
    virtual std::string windowsDirectory() = 0;
    virtual std::string systemDirectory() = 0;
    virtual std::string tempDirectory() = 0;
    // Full path of the running program (argument 0).
    virtual std::string programPath() = 0;
    // The process environment block: NAME=VALUE entries, each ended by a NUL,
    // the block ended by one more NUL.
    virtual std::string environmentBlock() = 0;
    virtual MemoryStatus memoryStatus() = 0;
    // Nothing where the extended query does not exist (Windows 95/98/NT 4).
    virtual std::optional<MemoryStatusEx> memoryStatusEx() = 0;
    virtual SystemInformation systemInformation() = 0;
    // GetFreeSystemResources of the 16-bit USER, called through the flat thunk, for
    // the system (0), GDI (1) or user (2) heap: the percentage free. Attempted on
    // the 95/98 line only.
    virtual FreeResources16 freeSystemResources16(uint16_t kind) = 0;

    // Milliseconds since the system started, the 32-bit count that wraps after 49.7 days.
    virtual uint32_t tickCount() = 0;
    virtual SystemTime localTime() = 0;
    // The default date-time text of the user's settings: the short date, then, when
    // `withTime`, a blank and the long time.
    virtual std::string dateTimeText(const SystemTime& moment, bool withTime) = 0;
    // The 256 key states of the calling thread (bit 0: toggled on, bit 7: held down).
    virtual std::vector<uint8_t> keyboardState() = 0;
    // Runs a command line in a new, hidden console and process group and waits at
    // most `timeoutMs` for it; a command still running then is ended.
    virtual CommandRun runCommand(const std::string& commandLine, uint32_t timeoutMs) = 0;
    // The system's text for an error code, without the line end; "" where it has none.
    virtual std::string errorMessage(uint32_t code) = 0;
    // The native system-information query (ntdll's NtQuerySystemInformation) of an
    // information class into a buffer of `length` bytes: the bytes the system
    // filled. Nothing where the query does not exist (the 95/98 line) or fails.
    virtual std::optional<std::vector<uint8_t>> nativeSystemInformation(uint32_t infoClass, uint32_t length) = 0;
};

// ---------------------------------------------------------------- files and drives

// Drive-type codes of the platform's drive-type query.
enum class DriveType : uint32_t {
    Unknown = 0,
    NoRootDir = 1,
    Removable = 2,
    Fixed = 3,
    Remote = 4,
    CDROM = 5,
    RAMDisk = 6,
};

struct ClusterGeometry {
    uint32_t sectorsPerCluster = 0;
    uint32_t bytesPerSector = 0;
    uint32_t freeClusters = 0;
    uint32_t totalClusters = 0;
};

struct FreeSpace {
    uint64_t availableToCaller = 0;
    uint64_t total = 0;
    uint64_t totalFree = 0;
};

struct VolumeInformation {
    std::string label;
    std::string fileSystem;
    uint32_t serial = 0;
    uint32_t maxComponentLength = 0;
    uint32_t flags = 0;
};

// File attributes (the platform's FILE_ATTRIBUTE_* bits) of a file, a folder or a root.
namespace file_attribute {
inline constexpr uint32_t kReadOnly = 0x01;
inline constexpr uint32_t kHidden = 0x02;
inline constexpr uint32_t kSystem = 0x04;
inline constexpr uint32_t kDirectory = 0x10;
inline constexpr uint32_t kArchive = 0x20;
inline constexpr uint32_t kCompressed = 0x800;
}  // namespace file_attribute

// One entry of a folder listing: its name within the folder and its attributes.
struct FoundFile {
    std::string name;
    uint32_t attributes = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Bit n set: drive letter 'A' + n exists.
    virtual uint32_t logicalDrives() = 0;
    // `root` is a root path such as "C:\".
    virtual DriveType driveType(const std::string& root) = 0;
    virtual std::optional<ClusterGeometry> clusterGeometry(const std::string& root) = 0;
    // Nothing where the 64-bit query is missing or fails (no disk in the drive too).
    virtual std::optional<FreeSpace> freeSpace(const std::string& root) = 0;
    virtual std::optional<VolumeInformation> volumeInformation(const std::string& root) = 0;
    // The network path ("\\server\share") a drive such as "X:" is connected to, a
    // remembered connection that is not connected now too; nothing for a drive that
    // is no network connection.
    virtual std::optional<std::string> networkConnection(const std::string& drive) = 0;
    // Names the volume of a root path such as "C:\"; "" removes the label.
    virtual SystemCallResult setVolumeLabel(const std::string& root, const std::string& label) = 0;
    // The attribute bits of a file, a folder or a root path; nothing when the query fails.
    virtual std::optional<uint32_t> fileAttributes(const std::string& path) = 0;
    // The process's current folder.
    virtual std::string currentDirectory() = 0;

    virtual bool fileExists(const std::string& path) = 0;
    virtual std::optional<std::string> readFile(const std::string& path) = 0;
    virtual bool writeFile(const std::string& path, const std::string& bytes) = 0;
    virtual bool deleteFile(const std::string& path) = 0;
    // Puts the file `source` in the place of `target` (in the same folder), replacing a
    // file there, so that `target` is never a half-written file. False when the move
    // fails; `source` is then left where it was.
    virtual bool replaceFile(const std::string& source, const std::string& target) = 0;
    virtual bool directoryExists(const std::string& path) = 0;
    // Creates one folder whose parent exists.
    virtual bool createDirectory(const std::string& path) = 0;
    // Removes an empty folder.
    virtual bool removeDirectory(const std::string& path) = 0;
    // The files and folders of one folder whose names match the wildcards ("*", "?")
    // of the pattern's last component ("C:\Folder\*.lnk"), in the order the file
    // system lists them; none where the folder does not exist.
    virtual std::vector<FoundFile> findFiles(const std::string& pattern) = 0;
    // The raw version resource of a file (what GetFileVersionInfo returns).
    virtual std::optional<std::vector<uint8_t>> fileVersionResource(const std::string& path) = 0;

    // Profile (INI) files. A file named without a folder lives in the Windows folder.
    virtual std::string profileString(const std::string& file, const std::string& section,
                                      const std::string& key, const std::string& fallback) = 0;
    virtual std::vector<std::string> profileSectionNames(const std::string& file) = 0;
    virtual std::vector<std::string> profileKeyNames(const std::string& file,
                                                     const std::string& section) = 0;
    // `value` nothing deletes the key; `key` nothing deletes the section.
    virtual bool writeProfileString(const std::string& file, const std::string& section,
                                    const std::optional<std::string>& key,
                                    const std::optional<std::string>& value) = 0;
};

// ---------------------------------------------------------------- user notifications

class UiNotifier {
public:
    virtual ~UiNotifier() = default;
    // True in a console program: messages go to standard output, not to a box.
    virtual bool isConsole() const = 0;
    // The modal message box without owner, an error icon and an OK button.
    virtual void showError(const std::string& caption, const std::string& text) = 0;
    virtual void writeLine(const std::string& text) = 0;
};

// ---------------------------------------------------------------- the whole seam

class UserSettings;  // platform/UserSettings.h

class Platform {
public:
    virtual ~Platform() = default;
    virtual Registry& registry() = 0;
    virtual System& system() = 0;
    virtual FileSystem& files() = 0;
    virtual UiNotifier& ui() = 0;
    virtual Shell& shell() = 0;
    virtual RuntimeLibraries& libraries() = 0;
    virtual Processor& processor() = 0;
    virtual Firmware& firmware() = 0;
    virtual Display& display() = 0;
    virtual Power& power() = 0;
    virtual Locale& locale() = 0;
    virtual Network& network() = 0;
    virtual Printers& printers() = 0;
    virtual Multimedia& multimedia() = 0;
    virtual Automation& automation() = 0;
    virtual AspiRequests& aspi() = 0;
    virtual UserSettings& settings() = 0;
};

}  // namespace vardak::platform
