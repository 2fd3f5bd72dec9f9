#include "probes/core/Ostrel_Routines.h"

#include "framework/Exception.h"
#include "framework/Registry.h"
#include "framework/SysUtils.h"
#include "platform/Bytes.h"
#include "probes/core/Format.h"
#include "probes/core/VersionResource.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>

namespace vardak::probes {
namespace {

using platform::Platform;
using platform::PlatformId;
using platform::RootKey;
using platform::ValueType;

// ---------------------------------------------------------------- registry values

std::optional<std::string> readText(Platform& platform, RootKey root, std::string_view path, std::string_view name) {
    TRegistry key(platform.registry(), root);
    return key.openKeyReadOnly(path) ? key.readText(name) : std::nullopt;
}

// ---------------------------------------------------------------- start-up facts


struct StartedFacts {
    std::optional<TOstrelFacts> facts;
    int starts = 0;
};

StartedFacts& startedFacts() {
    static StartedFacts started;
    return started;
}

TOSKind ntKind(const platform::OSVersionInfo& version) {
    switch (version.major) {
        case 3:
            return TOSKind::osWinNT3;
        case 4:
            return TOSKind::osWinNT4;
        case 5:
            return version.minor == 1 ? TOSKind::osWinXP : TOSKind::osWin2000;
        default:
            return TOSKind::osUnknown;
    }
}

TOSKind windows9xKind(const platform::OSVersionInfo& version) {
    const std::string letter = trim(version.csdVersion);
    if (version.major != 4) {
        return TOSKind::osUnknown;
    }
    switch (version.minor) {
        case 0:
            return letter == "B" ? TOSKind::osWin95OSR2 : TOSKind::osWin95;
        case 10:
            return letter == "A" ? TOSKind::osWin98SE : TOSKind::osWin98;
        case 90:
            return TOSKind::osWinME;
        default:
            return TOSKind::osUnknown;
    }
}

struct OSNameRow {
    TOSKind kind;
    std::string_view shortName;
    std::string_view longName;
    bool withServicePack;
};

constexpr std::array<OSNameRow, 9> kOSNames = {{
    {TOSKind::osWin95, "Windows 95", "Windows 95", false},
    {TOSKind::osWin95OSR2, "Windows 95", "Windows 95 OSR2", false},
    {TOSKind::osWin98, "Windows 98", "Windows 98", false},
    {TOSKind::osWin98SE, "Windows 98", "Windows 98 Second Edition", false},
    {TOSKind::osWinME, "Windows Millenium Edition", "Windows Millenium Edition", false},
    {TOSKind::osWinNT3, "Windows NT", "Windows NT 3.x ", true},
    {TOSKind::osWinNT4, "Windows NT", "Windows NT 4.x ", true},
    {TOSKind::osWin2000, "Windows 2000", "Windows 2000 ", true},
    {TOSKind::osWinXP, "Windows XP", "Windows XP ", true},
}};

int64_t totalPhysicalMemory(platform::System& system, const platform::MemoryStatus& snapshot) {
    const std::optional<platform::MemoryStatusEx> extended = system.memoryStatusEx();
    if (extended && extended->totalPhys > 0) {
        return static_cast<int64_t>(extended->totalPhys);
    }
    return snapshot.totalPhys;
}

// ---------------------------------------------------------------- environment

constexpr size_t kLargestEnvironmentListing = 4096;
constexpr size_t kLongestTextAfterReplacement = 1024;

struct Variable {
    std::string name;
    std::string value;
};

// The variables of the whole block; entries without a name ("=C:=C:\\" and the
// like) are left out.
std::vector<Variable> environmentVariables(Platform& platform) {
    std::vector<Variable> variables;
    for (const std::string& entry : EnvironmentEntries(platform.system().environmentBlock())) {
        const size_t equals = entry.find('=');
        if (equals != std::string::npos && equals > 0) {
            variables.push_back({entry.substr(0, equals), entry.substr(equals + 1)});
        }
    }
    return variables;
}

bool startsAPath(char before) {
    return before == ' ' || before == '\t' || before == '"' || before == '=' || before == ';' || before == ',';
}

bool endsAComponent(char after) {
    return after == '\\' || after == ' ' || after == '\t' || after == '"' || after == ';' || after == ',';
}

// The position of "\NAME" as the first, whole component of a path in `upperText`.
size_t findLeadingComponent(const std::string& upperText, const std::string& upperName) {
    const std::string pattern = "\\" + upperName;
    for (size_t at = upperText.find(pattern); at != std::string::npos; at = upperText.find(pattern, at + 1)) {
        const size_t after = at + pattern.size();
        const bool leading = at == 0 || startsAPath(upperText[at - 1]);
        const bool whole = after == upperText.size() || endsAComponent(upperText[after]);
        if (leading && whole) {
            return at;
        }
    }
    return std::string::npos;
}

std::string replaced(const std::string& text, size_t at, size_t length, const std::string& value) {
    return text.substr(0, at) + value + text.substr(at + length, kLongestTextAfterReplacement);
}

// ---------------------------------------------------------------- drives

struct FileFlagBit {
    uint32_t systemFlag;
    TFileFlag flag;
};

// The file-system flags of the volume-information query.
constexpr std::array<FileFlagBit, 11> kFileFlagBits = {{
    {0x00000001, TFileFlag::fsCaseSensitive},
    {0x00000002, TFileFlag::fsCaseIsPreserved},
    {0x00000004, TFileFlag::fsUnicodeStoredOnDisk},
    {0x00000008, TFileFlag::fsPersistentAcls},
    {0x00000010, TFileFlag::fsFileCompression},
    {0x00008000, TFileFlag::fsVolumeIsCompressed},
    {0x00000020, TFileFlag::fsDiskQuotasSupport},
    {0x00000040, TFileFlag::fsSparseFilesSupport},
    {0x00000080, TFileFlag::fsReparsePointsSupport},
    {0x00010000, TFileFlag::fsObjectIDsSupport},
    {0x00020000, TFileFlag::fsEncryptedFileSystemSupport},
}};
constexpr uint32_t kLongFileNameLength = 255;
// What a failed file-system attribute query leaves: no volume has every flag.
constexpr uint32_t kFailedFileSystemFlags = 0xFFFFFFFF;

TFileFlags fileFlagsOf(const platform::VolumeInformation& volume) {
    TFileFlags flags;
    if (volume.flags == kFailedFileSystemFlags) {
        return flags;
    }
    for (const FileFlagBit& bit : kFileFlagBits) {
        if ((volume.flags & bit.systemFlag) != 0) {
            flags.include(bit.flag);
        }
    }
    if (volume.maxComponentLength == kLongFileNameLength) {
        flags.include(TFileFlag::fsLongFileNames);
    }
    return flags;
}

std::string rootOf(const TDiskSign& drive) {
    return drive.substr(0, 2) + "\\";
}

// The cluster geometry, which only a drive with a disk in it answers; the backend
// keeps the system's "insert a disk" boxes away meanwhile.
std::optional<platform::ClusterGeometry> diskGeometry(Platform& platform, const TDiskSign& drive) {
    try {
        return platform.files().clusterGeometry(rootOf(drive));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// ---------------------------------------------------------------- connections

constexpr std::string_view kInternetSettingsKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet settings";
constexpr std::string_view kRasLibrary = "rasapi32.dll";
constexpr std::string_view kRasEnumConnections = "RasEnumConnectionsA";
constexpr uint32_t kRasConnectionRecordSize = 412;
constexpr uint32_t kRasConnectionRecords = 4;
constexpr uint32_t kRasBufferTooSmall = 603;

using RasEnumConnectionsFn = uint32_t(VARDAK_WINAPI*)(void* connections, uint32_t* bufferSize, uint32_t* count);

// "ProxyEnable": four bytes of binary data, or a DWORD read as a Boolean.
bool proxyEnabled(const TRegistry& key) {
    if (key.valueType("ProxyEnable") == ValueType::Binary) {
        const std::vector<uint8_t> data = key.readBytes("ProxyEnable").value_or(std::vector<uint8_t>());
        return data.size() <= 4 && bytes::littleEndian(data, 0, data.size()).value_or(0) != 0;
    }
    return key.readDWord("ProxyEnable").value_or(0) != 0;
}

// ---------------------------------------------------------------- performance statistics

constexpr std::string_view kPerfStartKey = "\\PerfStats\\StartStat";
constexpr std::string_view kPerfDataKey = "\\PerfStats\\StatData";
constexpr std::string_view kPerfStopKey = "\\PerfStats\\StopStat";

// ---------------------------------------------------------------- device classes

void harvestInstances(Platform& platform, const std::string& classPath, std::string_view valueName, TStrings& list) {
    TRegistry deviceClass(platform.registry(), RootKey::LocalMachine);
    if (!deviceClass.openKeyReadOnly("\\" + classPath)) {
        return;
    }
    for (const std::string& instanceName : deviceClass.subkeyNames()) {
        const std::optional<std::string> text =
            readText(platform, RootKey::LocalMachine, "\\" + classPath + "\\" + instanceName, valueName);
        if (text && list.indexOf(*text) < 0) {
            list.add(*text);
        }
    }
}

}  // namespace

// ---------------------------------------------------------------- facts

bool HotfixQ246009Installed(platform::Registry& registry) {
    const std::string path = std::string(kNTCurrentVersionKey) + "\\" + std::string(kHotfixQ246009Subkey);
    const std::unique_ptr<TRegistry> key = TRegistry::openReadOnly(registry, RootKey::LocalMachine, path);
    return key && key->readDWord("Installed") == 1u;
}

TOSKind DetectOSKind(const platform::OSVersionInfo& version, platform::Registry& registry, std::string& servicePack) {
    servicePack = version.csdVersion;
    if (version.platform != PlatformId::NT) {
        return windows9xKind(version);
    }
    if (servicePack == "Service Pack 6" && HotfixQ246009Installed(registry)) {
        servicePack = "Service Pack 6a";
    }
    return ntKind(version);
}

TOSKind DetectOSKind(Platform& platform, std::string& servicePack) {
    return DetectOSKind(platform.system().versionInfo(), platform.registry(), servicePack);
}

OSNames OSNamesOf(TOSKind kind, std::string_view servicePack) {
    for (const OSNameRow& row : kOSNames) {
        if (row.kind == kind) {
            std::string longName(row.longName);
            if (row.withServicePack) {
                longName += servicePack;
            }
            return {std::string(row.shortName), longName};
        }
    }
    return {};
}

TOstrelFacts ComputeOstrelFacts(Platform& platform) {
    TOstrelFacts facts;
    const platform::OSVersionInfo version = platform.system().versionInfo();
    facts.OSKind = DetectOSKind(version, platform.registry(), facts.ServicePack);
    facts.IsNT = version.platform == PlatformId::NT;
    facts.Is95 = facts.OSKind == TOSKind::osWin95;
    facts.IsOSR2 = facts.OSKind == TOSKind::osWin95OSR2;
    facts.Is98 = facts.OSKind == TOSKind::osWin98;
    facts.Is98SE = facts.OSKind == TOSKind::osWin98SE;
    facts.IsME = facts.OSKind == TOSKind::osWinME;
    facts.Is2K = facts.OSKind == TOSKind::osWin2000;
    facts.IsXP = facts.OSKind == TOSKind::osWinXP;
    facts.UserName = ReadUserName(platform);
    facts.MachineName = ansiUpperCase(ReadComputerName(platform));
    facts.ProfilePath = GetProfilePath(platform);
    OSNames names = OSNamesOf(facts.OSKind, facts.ServicePack);
    facts.OSShortName = std::move(names.shortName);
    facts.OSLongName = std::move(names.longName);
    facts.ClassKey = ClassKeyOf(facts.IsNT);
    facts.MemoryStatusSnapshot = platform.system().memoryStatus();
    facts.TotalPhysMem = totalPhysicalMemory(platform.system(), facts.MemoryStatusSnapshot);
    facts.ProgramVersion = GetFileVersion(platform, platform.system().programPath());
    return facts;
}

void StartOstrelRoutines(Platform& platform) {
    StartedFacts& started = startedFacts();
    if (started.starts == 0) {
        started.facts = ComputeOstrelFacts(platform);
    }
    ++started.starts;
}

void StopOstrelRoutines() {
    StartedFacts& started = startedFacts();
    if (started.starts > 0 && --started.starts == 0) {
        started.facts.reset();
    }
}

void ResetOstrelRoutines() {
    startedFacts() = StartedFacts{};
}

bool OstrelRoutinesStarted() {
    return startedFacts().facts.has_value();
}

const TOstrelFacts& OstrelFacts() {
    const StartedFacts& started = startedFacts();
    if (!started.facts) {
        throw EInvalidOperation("The shared system routines have not been started");
    }
    return *started.facts;
}

bool IsNTLine(Platform& platform) {
    return OstrelRoutinesStarted() ? OstrelFacts().IsNT : platform.system().versionInfo().platform == PlatformId::NT;
}

char UserDecimalSeparator(Platform& platform) {
    const std::optional<std::string> separator =
        platform.locale().localeInfo(platform::kLocaleUserDefault, platform::locale_item::kDecimalSeparator);
    return separator && !separator->empty() ? separator->front() : '.';
}

TOSKind RunningOSKind(Platform& platform) {
    if (OstrelRoutinesStarted()) {
        return OstrelFacts().OSKind;
    }
    std::string servicePack;
    return DetectOSKind(platform, servicePack);
}

std::unique_ptr<TRegistry> OpenCurrentVersionKey(Platform& platform) {
    return TRegistry::openReadOnly(platform.registry(), RootKey::LocalMachine, CurrentVersionKeyOf(IsNTLine(platform)));
}

TWindowsRegistration ReadWindowsRegistration(const TRegistry& versionKey) {
    return {versionKey.readText("RegisteredOwner"), versionKey.readText("RegisteredOrganization"),
            versionKey.readText("ProductID"), versionKey.readText("ProductName")};
}

std::string CSDVersionText(const platform::OSVersionInfo& record) {
    return record.csdVersion.substr(0, kLongestCSDVersion);
}

std::string ReadComputerName(Platform& platform) {
    std::string name = platform.system().computerName();
    if (std::optional<std::string> registered =
            readText(platform, RootKey::LocalMachine, kComputerNameKey, "ComputerName")) {
        name = std::move(*registered);
    }
    return name;
}

std::string ReadUserName(Platform& platform) {
    return platform.system().userName();
}

// ---------------------------------------------------------------- files

bool GetFileVerInfo(Platform& platform, const std::string& fileName, TVersionInfo& info) {
    info.FileName = fileName;
    const std::optional<std::vector<uint8_t>> bytes = platform.files().fileVersionResource(fileName);
    if (!bytes || bytes->empty()) {
        return false;
    }
    const std::optional<VersionResource> resource = VersionResource::parse(*bytes);
    if (!resource) {
        return false;
    }
    if (const std::optional<FixedFileInfo> fixed = resource->fixedFileInfo()) {
        info.Major = fixed->fileVersionMS >> 16;
        info.Minor = fixed->fileVersionMS & 0xFFFF;
        info.Release = fixed->fileVersionLS >> 16;
        info.Build = fixed->fileVersionLS & 0xFFFF;
        info.Version = Format("%d.%d.%d.%d", {info.Major, info.Minor, info.Release, info.Build});
    }
    const std::string table = "\\StringFileInfo\\" + resource->firstTranslation().value_or("");
    const std::pair<std::string_view, std::string*> entries[] = {
        {"FileDescription", &info.Description}, {"LegalCopyright", &info.Copyright},
        {"Comments", &info.Comments},           {"ProductName", &info.ProductName},
        {"CompanyName", &info.CompanyName},
    };
    for (const auto& [entry, field] : entries) {
        if (std::optional<std::string> text = resource->text(table + "\\" + std::string(entry))) {
            *field = std::move(*text);
        }
    }
    return true;
}

std::string GetFileVersion(Platform& platform, const std::string& fileName) {
    TVersionInfo info;
    return GetFileVerInfo(platform, fileName, info) ? info.Version : std::string();
}

// ---------------------------------------------------------------- registry

void GetClassDevices(Platform& platform, std::string_view classKey, std::string_view className,
                     std::string_view valueName, std::string& classId, TStrings& list) {
    list.clear();
    classId.clear();
    const std::string classRoot(classKey);
    if (!IsNTLine(platform)) {
        harvestInstances(platform, classRoot + "\\" + std::string(className), valueName, list);
        return;
    }
    TRegistry classes(platform.registry(), RootKey::LocalMachine);
    if (!classes.openKeyReadOnly("\\" + classRoot)) {
        return;
    }
    for (const std::string& candidate : classes.subkeyNames()) {
        const std::string candidatePath = classRoot + "\\" + candidate;
        const std::optional<std::string> name =
            readText(platform, RootKey::LocalMachine, "\\" + candidatePath, "Class");
        if (name && sameText(*name, className)) {
            classId = candidate;
            harvestInstances(platform, candidatePath, valueName, list);
            return;
        }
    }
}

std::string GetDefaultMailClient(Platform& platform) {
    const std::optional<std::string> command =
        readText(platform, RootKey::ClassesRoot, "\\mailto\\shell\\open\\command", "");
    return command ? ExtractFileFromCommand(platform, *command) : std::string();
}

std::string GetDefaultBrowser(Platform& platform) {
    const std::optional<std::string> command =
        readText(platform, RootKey::ClassesRoot, "\\htmlfile\\shell\\open\\command", "");
    return command ? ExtractFileFromCommand(platform, *command) : std::string();
}

int32_t GetRASConnectionCount(Platform& platform) {
    const platform::LoadedLibrary ras(platform.libraries(), std::string(kRasLibrary));
    const auto enumerate = ras.entry<RasEnumConnectionsFn>(std::string(kRasEnumConnections));
    if (enumerate == nullptr) {
        return 0;
    }
    std::array<uint8_t, kRasConnectionRecordSize * kRasConnectionRecords> connections{};
    for (int shift = 0; shift < 32; shift += 8) {
        connections[static_cast<size_t>(shift / 8)] = static_cast<uint8_t>(kRasConnectionRecordSize >> shift);
    }
    uint32_t bufferSize = static_cast<uint32_t>(connections.size());
    uint32_t count = 0;
    const uint32_t result = enumerate(connections.data(), &bufferSize, &count);
    if (result != 0 && result != kRasBufferTooSmall) {
        return 0;
    }
    return static_cast<int32_t>(count);
}

TConnectionType GetConnectionType(Platform& platform) {
    TConnectionType type = TConnectionType::ctNone;
    TRegistry key(platform.registry(), RootKey::CurrentUser);
    if (key.openKeyReadOnly(kInternetSettingsKey)) {
        const std::string proxy = key.readText("ProxyServer").value_or("");
        if (proxyEnabled(key) && !proxy.empty()) {
            type = TConnectionType::ctLAN;
        }
    }
    if (type == TConnectionType::ctNone && GetRASConnectionCount(platform) > 0) {
        type = TConnectionType::ctDialup;
    }
    return type;
}

std::string GetProxyServer(Platform& platform) {
    return readText(platform, RootKey::CurrentUser, kInternetSettingsKey, "ProxyServer").value_or("");
}

bool PerfStatStart(Platform& platform, std::string_view counter) {
    TRegistry key(platform.registry(), RootKey::DynData);
    if (!key.openKeyReadOnly(kPerfStartKey)) {
        throw Exception("Unable to start performance monitoring");
    }
    // Reading the counter's value in StartStat is what starts it.
    if (!key.readBytes(counter)) {
        throw Exception("Unable to read performance data");
    }
    return true;
}

std::string UserThousandSeparator(Platform& platform) {
    const std::optional<std::string> setting =
        platform.locale().localeInfo(platform::kLocaleUserDefault, platform::locale_item::kThousandSeparator);
    return setting ? setting->substr(0, 1) : std::string(",");
}

int64_t PerfStatRead(Platform& platform, std::string_view counter) {
    TRegistry key(platform.registry(), RootKey::DynData);
    const std::optional<std::vector<uint8_t>> data =
        key.openKeyReadOnly(kPerfDataKey) ? key.readBytes(counter) : std::nullopt;
    if (!data || data->size() != 4) {
        return -1;
    }
    return bytes::le32(*data, 0);
}

bool PerfStatStop(Platform& platform, std::string_view counter) {
    TRegistry key(platform.registry(), RootKey::DynData);
    return key.openKeyReadOnly(kPerfStopKey) && key.readBytes(counter).has_value();
}

// ---------------------------------------------------------------- environment and folders

std::vector<std::string> EnvironmentEntries(std::string_view block) {
    std::vector<std::string> entries;
    size_t start = 0;
    while (start < block.size() && block[start] != '\0') {
        const size_t end = std::min(block.find('\0', start), block.size());
        entries.emplace_back(block.substr(start, end - start));
        start = end + 1;
    }
    return entries;
}

void GetEnvironment(Platform& platform, TStrings& list) {
    list.clear();
    const std::string block = platform.system().environmentBlock();
    std::string_view listed = std::string_view(block).substr(0, kLargestEnvironmentListing);
    // The listing shows the entries that end within its 4096 characters.
    if (listed.size() < block.size()) {
        listed = listed.substr(0, listed.rfind('\0') + 1);
    }
    for (const std::string& entry : EnvironmentEntries(listed)) {
        list.add(entry);
    }
}

std::string GetEnvironmentValue(Platform& platform, std::string_view name) {
    for (const Variable& variable : environmentVariables(platform)) {
        if (sameText(variable.name, name)) {
            return variable.value;
        }
    }
    return {};
}

std::string GetWinDir(Platform& platform) {
    return platform.system().windowsDirectory();
}

std::string GetSysDir(Platform& platform) {
    return platform.system().systemDirectory();
}

std::string GetWinSysDir(Platform& platform) {
    return GetWinDir(platform) + ";" + GetSysDir(platform) + ";";
}

std::string ExpandEnvVars(Platform& platform, std::string_view text) {
    std::string result(text);
    for (const Variable& variable : environmentVariables(platform)) {
        if (variable.name.empty()) {
            continue;
        }
        const std::string upperText = ansiUpperCase(result);
        const std::string upperName = ansiUpperCase(variable.name);
        const size_t enclosed = upperText.find("%" + upperName + "%");
        if (enclosed != std::string::npos) {
            result = replaced(result, enclosed, upperName.size() + 2, variable.value);
            continue;
        }
        const size_t component = findLeadingComponent(upperText, upperName);
        if (component != std::string::npos) {
            result = replaced(result, component, upperName.size() + 1, variable.value);
        }
    }
    return result;
}

std::string Dequote(std::string_view text, char quote) {
    if (text.size() > 1 && text.front() == quote && text.back() == quote) {
        return std::string(text.substr(1, text.size() - 2));
    }
    return std::string(text);
}

std::string ExtractFileFromCommand(Platform& platform, std::string_view command) {
    // A quoted file with nothing after it is found at once.
    std::string text = Dequote(ExpandEnvVars(platform, command), '"');
    while (!text.empty() && !platform.files().fileExists(text)) {
        text.pop_back();
        text = Dequote(text, '"');
    }
    return text;
}

int32_t ResolveShellLink(Platform& platform, const std::string& linkFile, std::string& target,
                         std::string& arguments) {
    platform::ShellLinkResolution resolution = platform.shell().resolveShellLink(linkFile);
    target = std::move(resolution.target);
    arguments = std::move(resolution.arguments);
    return resolution.status;
}

std::string GetSpecialFolder(Platform& platform, platform::WindowHandle window, int32_t folder) {
    return platform.shell().specialFolderPath(window, folder).value_or("");
}

std::string GetProfilePath(Platform& platform) {
    const std::string desktop = GetSpecialFolder(platform, nullptr, platform::special_folder::kDesktop);
    const size_t lastSeparator = desktop.rfind('\\');
    if (lastSeparator == std::string::npos) {
        return {};
    }
    // A desktop right below a drive's root leaves the root, "C:\".
    const bool belowRoot = lastSeparator == 2 && desktop[1] == ':';
    return desktop.substr(0, belowRoot ? lastSeparator + 1 : lastSeparator);
}

// ---------------------------------------------------------------- drives

bool DiskInDrive(Platform& platform, const TDiskSign& drive) {
    return diskGeometry(platform, drive).has_value();
}

bool GetDiskInfo(Platform& platform, const TDiskSign& drive, TDiskInfo& info) {
    info = TDiskInfo{};
    info.Sign = drive.substr(0, 2);
    const std::string root = rootOf(drive);
    platform::FileSystem& files = platform.files();
    info.MediaType = static_cast<TMediaType>(files.driveType(root));
    // One query tells whether a disk is in and gives the geometry: a second would
    // spin an empty floppy drive again.
    const std::optional<platform::ClusterGeometry> found = diskGeometry(platform, drive);
    if (!found) {
        return false;
    }
    const platform::ClusterGeometry& geometry = *found;
    info.SectorsPerCluster = geometry.sectorsPerCluster;
    info.BytesPerSector = geometry.bytesPerSector;
    info.FreeClusters = geometry.freeClusters;
    info.TotalClusters = geometry.totalClusters;
    if (const std::optional<platform::FreeSpace> space = files.freeSpace(root)) {
        info.FreeSpace = static_cast<int64_t>(space->availableToCaller);
        info.Capacity = static_cast<int64_t>(space->total);
    } else {
        const int64_t clusterBytes = int64_t{geometry.sectorsPerCluster} * geometry.bytesPerSector;
        info.Capacity = int64_t{geometry.totalClusters} * clusterBytes;
        info.FreeSpace = int64_t{geometry.freeClusters} * clusterBytes;
    }
    if (const std::optional<platform::VolumeInformation> volume = files.volumeInformation(root)) {
        info.VolumeLabel = volume->label;
        info.FileSystem = volume->fileSystem;
        info.Serial = volume->serial;
        info.SerialNumber = Format("%.4x-%.4x", {volume->serial >> 16, volume->serial & 0xFFFF});
        info.FileFlags = fileFlagsOf(*volume);
        info.MaximumLength = volume->maxComponentLength;
    }
    return true;
}

// ---------------------------------------------------------------- small helpers

std::string JoinMultiString(std::span<const uint8_t> bytes) {
    std::string joined;
    int nulsInARow = 0;
    for (const uint8_t byte : bytes) {
        if (byte != 0) {
            joined.push_back(static_cast<char>(byte));
            nulsInARow = 0;
        } else if (++nulsInARow == 2) {
            break;
        }
    }
    return joined;
}

std::string JoinMultiString(std::string_view bytes) {
    return JoinMultiString(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

std::string StripBlanks(std::string_view text) {
    const std::string trimmed = trim(text);
    std::string stripped;
    for (size_t at = 0; at < trimmed.size(); ++at) {
        if (trimmed[at] == ' ') {
            continue;
        }
        if (trimmed[at] == '\r' && at + 1 < trimmed.size() && trimmed[at + 1] == '\n') {
            ++at;
            continue;
        }
        stripped.push_back(trimmed[at]);
    }
    return stripped;
}

}  // namespace vardak::probes
