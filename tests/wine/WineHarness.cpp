#include "tests/wine/WineHarness.h"

#include "platform/win32/Win32Registry.h"
#include "platform/win32/WinHandles.h"
#include "tests/support/FakeRegistry.h"
#include "tests/support/RegFile.h"

#include <shlobj.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace vardak::winetest {
namespace {

using win32::UniqueHandle;
using win32::UniqueKey;

constexpr char kWineKey[] = "Software\\Wine";
constexpr char kVersionValue[] = "Version";

struct RootName {
    const char* name;
    HKEY root;
};

const std::array<RootName, 10>& rootNames() {
    static const std::array<RootName, 10> names{{
        {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {"HKLM", HKEY_LOCAL_MACHINE},
        {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {"HKCU", HKEY_CURRENT_USER},
        {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {"HKCR", HKEY_CLASSES_ROOT},
        {"HKEY_USERS", HKEY_USERS},
        {"HKU", HKEY_USERS},
        {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
        {"HKCC", HKEY_CURRENT_CONFIG},
    }};
    return names;
}

std::optional<HKEY> rootByName(const std::string& name) {
    for (const RootName& root : rootNames()) {
        if (_stricmp(root.name, name.c_str()) == 0) {
            return root.root;
        }
    }
    return std::nullopt;
}

std::string modulePath() {
    std::string path(MAX_PATH, '\0');
    while (true) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        result.push_back(std::move(line));
        start = end + 1;
    }
    return result;
}

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool setWineVersion(const std::string& version) {
    UniqueKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kWineKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE, nullptr, key.receive(), nullptr) != ERROR_SUCCESS) {
        key.release();
        return false;
    }
    return RegSetValueExA(key.get(), kVersionValue, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(version.c_str()),
                          static_cast<DWORD>(version.size() + 1)) == ERROR_SUCCESS;
}

void clearWineVersion() {
    UniqueKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kWineKey, 0, KEY_WRITE, key.receive()) == ERROR_SUCCESS) {
        RegDeleteValueA(key.get(), kVersionValue);
    } else {
        key.release();
    }
}

// The shortest ancestor of `path` (itself included) that does not exist yet.
std::optional<std::string> firstMissingAncestor(HKEY root, const std::string& path) {
    size_t end = 0;
    while (end != std::string::npos) {
        end = path.find('\\', end + 1);
        const std::string ancestor = path.substr(0, end);
        if (!keyExists(root, ancestor)) {
            return ancestor;
        }
    }
    return std::nullopt;
}

using platform::RootKey;

constexpr std::array<RootKey, 5> kSeedableRoots = {
    RootKey::ClassesRoot, RootKey::CurrentUser, RootKey::LocalMachine, RootKey::Users,
    RootKey::CurrentConfig};

// The value's type and data, or nothing when the key has no such value.
std::optional<std::pair<DWORD, std::vector<BYTE>>> queryRawValue(HKEY key, const std::string& name) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::vector<BYTE> data(size);
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    data.resize(size);
    return std::make_pair(type, std::move(data));
}

// Writes the key `path` of `source` (the whole root for "") with its values and
// everything below it into the real registry; what values of keys that existed
// held before is added to `overwritten`.
bool copyTree(platform::Registry& source, RootKey root, const std::string& path,
              std::vector<OverwrittenValue>& overwritten) {
    const auto key = source.openKey(root, path, platform::KeyAccess::Read);
    if (!key) {
        return path.empty();  // a root the text does not name
    }
    bool copied = true;
    if (!path.empty()) {
        const bool existed = keyExists(win32::rootKeyHandle(root), path);
        UniqueKey target;
        if (RegCreateKeyExA(win32::rootKeyHandle(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_WRITE, nullptr, target.receive(), nullptr) != ERROR_SUCCESS) {
            target.release();
            return false;
        }
        for (const std::string& name : key->valueNames()) {
            if (existed) {
                overwritten.push_back({win32::rootKeyHandle(root), path, name, queryRawValue(target.get(), name)});
            }
            const std::optional<platform::RegValue> value = key->queryValue(name);
            copied = copied && value &&
                     RegSetValueExA(target.get(), name.c_str(), 0, static_cast<DWORD>(value->type),
                                    value->data.data(),
                                    static_cast<DWORD>(value->data.size())) == ERROR_SUCCESS;
        }
    }
    for (const std::string& child : key->subkeyNames()) {
        copied = copyTree(source, root, path.empty() ? child : path + "\\" + child, overwritten) && copied;
    }
    return copied;
}

}  // namespace

std::string_view wineVersionName(WindowsPose pose) {
    switch (pose) {
        case WindowsPose::WindowsXP: return "winxp";
        case WindowsPose::Windows2000: return "win2k";
        case WindowsPose::WindowsNT4: return "nt40";
        case WindowsPose::Windows98: return "win98";
    }
    return "winxp";
}

std::optional<std::string> currentWineVersionSetting() {
    UniqueKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kWineKey, 0, KEY_READ, key.receive()) != ERROR_SUCCESS) {
        key.release();
        return std::nullopt;
    }
    char text[64] = {};
    DWORD size = sizeof(text) - 1;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(key.get(), kVersionValue, nullptr, &type, reinterpret_cast<BYTE*>(text),
                         &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return std::nullopt;
    }
    return std::string(text, strnlen(text, sizeof(text)));
}

PosedWindows::PosedWindows(WindowsPose pose)
    : previous_(currentWineVersionSetting()),
      active_(setWineVersion(std::string(wineVersionName(pose)))) {}

PosedWindows::~PosedWindows() {
    if (previous_) {
        setWineVersion(*previous_);
    } else {
        clearWineVersion();
    }
}

ProcessResult runProcess(const std::string& commandLine, DWORD timeoutMs) {
    ProcessResult result;
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    UniqueHandle readEnd;
    UniqueHandle writeEnd;
    if (!CreatePipe(readEnd.receive(), writeEnd.receive(), &inheritable, 0)) {
        return result;
    }
    SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd.get();
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    std::string mutableLine = commandLine;
    if (!CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return result;
    }
    const UniqueHandle processHandle(process.hProcess);
    const UniqueHandle threadHandle(process.hThread);
    result.started = true;
    writeEnd.reset();

    const DWORD started = GetTickCount();
    bool ended = false;
    char chunk[4096];
    while (true) {
        DWORD available = 0;
        if (PeekNamedPipe(readEnd.get(), nullptr, 0, nullptr, &available, nullptr) && available > 0) {
            DWORD read = 0;
            if (!ReadFile(readEnd.get(), chunk, std::min<DWORD>(available, sizeof(chunk)), &read,
                          nullptr)) {
                break;
            }
            result.output.append(chunk, read);
            continue;
        }
        if (ended) {
            break;  // and the pipe is drained
        }
        if (WaitForSingleObject(processHandle.get(), 50) == WAIT_OBJECT_0) {
            ended = true;
        } else if (GetTickCount() - started > timeoutMs) {
            TerminateProcess(processHandle.get(), 1);
            WaitForSingleObject(processHandle.get(), 10 * 1000);
            result.timedOut = true;
            break;
        }
    }
    GetExitCodeProcess(processHandle.get(), &result.exitCode);
    return result;
}

ProcessResult runChild(std::string_view childName) {
    return runProcess("\"" + modulePath() + "\" --child=" + std::string(childName));
}

const ProcessResult& posedReport(WindowsPose pose) {
    static std::map<WindowsPose, ProcessResult> reports;
    const auto known = reports.find(pose);
    if (known != reports.end()) {
        return known->second;
    }
    const std::string registration = std::string("REGEDIT4\n") +
                                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion]\n"
                                     "\"RegisteredOwner\"=\"" + kPosedOwner + "\"\n"
                                     "\"RegisteredOrganization\"=\"" + kPosedOrganization + "\"\n"
                                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion]\n"
                                     "\"RegisteredOwner\"=\"" + kPosedOwner + "\"\n"
                                     "\"RegisteredOrganization\"=\"" + kPosedOrganization + "\"\n";
    const PosedWindows posed(pose);
    const SeededRegistry registered(registration);
    ProcessResult result;
    if (posed.active()) {
        // The child inherits the variable; no one else sets it.
        SetEnvironmentVariableA(kPosedVariable, std::string(wineVersionName(pose)).c_str());
        result = runChild("report");
        SetEnvironmentVariableA(kPosedVariable, nullptr);
    }
    return reports.emplace(pose, std::move(result)).first->second;
}

std::string captureStandardOutput(void (*action)(void* context), void* context) {
    UniqueHandle readEnd;
    UniqueHandle writeEnd;
    // Large enough for what a test writes, so the writer never waits for a reader.
    if (!CreatePipe(readEnd.receive(), writeEnd.receive(), nullptr, 64 * 1024)) {
        return {};
    }
    const HANDLE original = GetStdHandle(STD_OUTPUT_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, writeEnd.get());
    action(context);
    SetStdHandle(STD_OUTPUT_HANDLE, original);
    writeEnd.reset();

    std::string output;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(readEnd.get(), chunk, sizeof(chunk), &read, nullptr) && read > 0) {
        output.append(chunk, read);
    }
    return output;
}

std::map<std::string, std::string> parseFields(const std::string& output) {
    std::map<std::string, std::string> fields;
    for (const std::string& line : lines(output)) {
        const size_t equals = line.find('=');
        if (equals != std::string::npos) {
            fields[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return fields;
}

std::vector<std::pair<HKEY, std::string>> regTextKeys(const std::string& regText) {
    std::vector<std::pair<HKEY, std::string>> keys;
    for (const std::string& rawLine : lines(regText)) {
        const std::string line = trimmed(rawLine);
        if (line.size() < 3 || line.front() != '[' || line.back() != ']' || line[1] == '-') {
            continue;
        }
        const std::string name = line.substr(1, line.size() - 2);
        const size_t slash = name.find('\\');
        const std::optional<HKEY> root = rootByName(name.substr(0, slash));
        if (!root || slash == std::string::npos || slash + 1 == name.size()) {
            continue;
        }
        keys.emplace_back(*root, name.substr(slash + 1));
    }
    return keys;
}

bool keyExists(HKEY root, const std::string& path) {
    UniqueKey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.receive()) != ERROR_SUCCESS) {
        key.release();
        return false;
    }
    return true;
}

bool deleteKeyTree(HKEY root, const std::string& path) {
    std::vector<std::string> children;
    {
        UniqueKey key;
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.receive()) != ERROR_SUCCESS) {
            key.release();
            return false;
        }
        char name[1024];
        for (DWORD index = 0;; ++index) {
            DWORD length = sizeof(name);
            if (RegEnumKeyExA(key.get(), index, name, &length, nullptr, nullptr, nullptr,
                              nullptr) != ERROR_SUCCESS) {
                break;
            }
            children.emplace_back(name, length);
        }
    }
    for (const std::string& child : children) {
        deleteKeyTree(root, path + "\\" + child);
    }
    return RegDeleteKeyA(root, path.c_str()) == ERROR_SUCCESS;
}

bool wineRunsUnderCpuEmulation() {
    // Set by scripts/wine-run from what the set-up found out about this machine.
    char value[8] = {};
    return GetEnvironmentVariableA("VARDAK_I386_EMULATED", value, sizeof value) == 1 &&
           value[0] == '1';
}

std::string temporaryFileName() {
    char folder[MAX_PATH + 1] = {};
    char name[MAX_PATH + 1] = {};
    if (GetTempPathA(sizeof(folder), folder) == 0 ||
        GetTempFileNameA(folder, "vdk", 0, name) == 0) {
        return {};
    }
    return name;
}

std::string winePathOf(std::string unixPath) {
    std::replace(unixPath.begin(), unixPath.end(), '/', '\\');
    return "Z:" + unixPath;
}

CurrentFolder::CurrentFolder(const std::string& folder) {
    char previous[MAX_PATH + 1] = {};
    const DWORD length = GetCurrentDirectoryA(sizeof previous, previous);
    previous_.assign(previous, length < sizeof previous ? length : 0);
    SetCurrentDirectoryA(folder.c_str());
}

CurrentFolder::~CurrentFolder() {
    if (!previous_.empty()) {
        SetCurrentDirectoryA(previous_.c_str());
    }
}

HRESULT createShellLink(const std::string& linkFile, const std::string& target, const std::string& arguments) {
    const win32::ComInitialised com;
    win32::ComReference<IShellLinkA> link;
    HRESULT status =
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.receive());
    if (FAILED(status)) {
        return status;
    }
    link->SetPath(target.c_str());
    link->SetArguments(arguments.c_str());
    win32::ComReference<IPersistFile> file;
    status = link->QueryInterface(IID_IPersistFile, file.receive());
    if (FAILED(status)) {
        return status;
    }
    wchar_t wideName[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, linkFile.c_str(), -1, wideName, MAX_PATH);
    return file->Save(wideName, TRUE);
}

SeededRegistry::SeededRegistry(const std::string& regText) {
    testing::FakeRegistry parsed;
    try {
        parsed.loadRegText(regText, "seeded registry");
    } catch (const testing::RegFileError&) {
        return;
    }
    for (const auto& [root, path] : regTextKeys(regText)) {
        const std::optional<std::string> missing = firstMissingAncestor(root, path);
        const auto known = [&](const std::pair<HKEY, std::string>& created) {
            return created.first == root && _stricmp(created.second.c_str(), missing->c_str()) == 0;
        };
        if (missing && std::none_of(createdKeys_.begin(), createdKeys_.end(), known)) {
            createdKeys_.emplace_back(root, *missing);
        }
    }
    imported_ = std::all_of(kSeedableRoots.begin(), kSeedableRoots.end(), [&](RootKey root) {
        return copyTree(parsed, root, "", overwritten_);
    });
}

SeededRegistry::~SeededRegistry() {
    for (auto value = overwritten_.rbegin(); value != overwritten_.rend(); ++value) {
        UniqueKey key;
        if (RegOpenKeyExA(value->root, value->path.c_str(), 0, KEY_WRITE, key.receive()) != ERROR_SUCCESS) {
            key.release();
            continue;
        }
        if (value->previous) {
            RegSetValueExA(key.get(), value->name.c_str(), 0, value->previous->first, value->previous->second.data(),
                           static_cast<DWORD>(value->previous->second.size()));
        } else {
            RegDeleteValueA(key.get(), value->name.c_str());
        }
    }
    for (const auto& [root, path] : createdKeys_) {
        deleteKeyTree(root, path);
    }
}

}  // namespace vardak::winetest
