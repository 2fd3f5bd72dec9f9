#include "platform/win32/Win32FileSystem.h"

#include "platform/win32/WinHandles.h"

#include <windows.h>
#include <winnetwk.h>

#include <algorithm>
#include <cstring>

namespace vardak::win32 {
namespace {

using platform::ClusterGeometry;
using platform::DriveType;
using platform::FreeSpace;
using platform::VolumeInformation;

// Profile texts larger than this are not profiles we read.
constexpr DWORD kLargestProfileBuffer = 1024 * 1024;
constexpr DWORD kFileChunk = 64 * 1024;
// The second attempt has the buffer the first one asked for; a third covers a
// connection that changed in between.
constexpr int kNetworkConnectionAttempts = 3;

uint64_t combine(const ULARGE_INTEGER& value) {
    return (static_cast<uint64_t>(value.HighPart) << 32) | value.LowPart;
}

// Reads from GetPrivateProfileStringA, growing the buffer while the answer fills
// it. A full buffer reads as its size less one for a single value and less two
// for a name list (the list's own NUL pair).
std::string readProfile(const char* section, const char* key, const char* fallback,
                        const std::string& file) {
    std::string buffer(1024, '\0');
    while (true) {
        const DWORD copied = GetPrivateProfileStringA(section, key, fallback, buffer.data(),
                                                      static_cast<DWORD>(buffer.size()),
                                                      file.c_str());
        if (copied + 2 < buffer.size() || buffer.size() >= kLargestProfileBuffer) {
            buffer.resize(std::min<size_t>(copied, buffer.size()));
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

// Splits a NUL-separated name list.
std::vector<std::string> splitNames(const std::string& list) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find('\0', start);
        if (end == std::string::npos) {
            end = list.size();
        }
        if (end > start) {
            names.push_back(list.substr(start, end - start));
        }
        start = end + 1;
    }
    return names;
}

UniqueFile openFile(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
    return UniqueFile(CreateFileA(path.c_str(), access, share, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

uint32_t Win32FileSystem::logicalDrives() {
    return GetLogicalDrives();
}

DriveType Win32FileSystem::driveType(const std::string& root) {
    const CriticalErrorsSuppressed quiet;
    const UINT type = GetDriveTypeA(root.c_str());
    return type <= static_cast<UINT>(DriveType::RAMDisk) ? static_cast<DriveType>(type)
                                                         : DriveType::Unknown;
}

std::optional<ClusterGeometry> Win32FileSystem::clusterGeometry(const std::string& root) {
    const CriticalErrorsSuppressed quiet;
    DWORD sectorsPerCluster = 0;
    DWORD bytesPerSector = 0;
    DWORD freeClusters = 0;
    DWORD totalClusters = 0;
    if (!GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                           &totalClusters)) {
        return std::nullopt;
    }
    return ClusterGeometry{sectorsPerCluster, bytesPerSector, freeClusters, totalClusters};
}

std::optional<FreeSpace> Win32FileSystem::freeSpace(const std::string& root) {
    // Windows 95 before OSR2 has no 64-bit query.
    using GetDiskFreeSpaceExFn =
        BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
    const auto query = kernelEntry<GetDiskFreeSpaceExFn>("GetDiskFreeSpaceExA");
    if (query == nullptr) {
        return std::nullopt;
    }
    const CriticalErrorsSuppressed quiet;
    ULARGE_INTEGER available{};
    ULARGE_INTEGER total{};
    ULARGE_INTEGER totalFree{};
    if (!query(root.c_str(), &available, &total, &totalFree)) {
        return std::nullopt;
    }
    return FreeSpace{combine(available), combine(total), combine(totalFree)};
}

std::optional<VolumeInformation> Win32FileSystem::volumeInformation(const std::string& root) {
    const CriticalErrorsSuppressed quiet;
    char label[MAX_PATH + 1] = {};
    char fileSystem[MAX_PATH + 1] = {};
    VolumeInformation info;
    DWORD serial = 0;
    DWORD maxComponentLength = 0;
    DWORD flags = 0;
    if (!GetVolumeInformationA(root.c_str(), label, sizeof(label), &serial, &maxComponentLength,
                               &flags, fileSystem, sizeof(fileSystem))) {
        return std::nullopt;
    }
    info.label = bufferText(label);
    info.fileSystem = bufferText(fileSystem);
    info.serial = serial;
    info.maxComponentLength = maxComponentLength;
    info.flags = flags;
    return info;
}

std::optional<std::string> Win32FileSystem::networkConnection(const std::string& drive) {
    const CriticalErrorsSuppressed quiet;
    std::string remote(MAX_PATH, '\0');
    for (int attempt = 0; attempt < kNetworkConnectionAttempts; ++attempt) {
        DWORD length = static_cast<DWORD>(remote.size());
        const DWORD status = WNetGetConnectionA(drive.c_str(), remote.data(), &length);
        // A remembered connection that is not connected now still names its path.
        if (status == NO_ERROR || status == ERROR_CONNECTION_UNAVAIL) {
            remote.resize(strnlen(remote.data(), remote.size()));
            return remote;
        }
        if (status != ERROR_MORE_DATA || length <= remote.size()) {
            return std::nullopt;
        }
        remote.assign(length, '\0');
    }
    return std::nullopt;
}

platform::SystemCallResult Win32FileSystem::setVolumeLabel(const std::string& root, const std::string& label) {
    const CriticalErrorsSuppressed quiet;
    // Always a text, never NULL: Wine reads the label without looking for NULL.
    if (SetVolumeLabelA(root.c_str(), label.c_str())) {
        return {true, 0};
    }
    return {false, GetLastError()};
}

std::optional<uint32_t> Win32FileSystem::fileAttributes(const std::string& path) {
    const CriticalErrorsSuppressed quiet;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return std::nullopt;
    }
    return attributes;
}

std::string Win32FileSystem::currentDirectory() {
    char folder[MAX_PATH + 1] = {};
    const DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
    // 0 is a failure; a longer folder does not fit and leaves the buffer as it was.
    return length < sizeof folder ? std::string(folder, length) : std::string();
}

bool Win32FileSystem::fileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::optional<std::string> Win32FileSystem::readFile(const std::string& path) {
    const UniqueFile file =
        openFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    if (!file) {
        return std::nullopt;
    }
    // Read to the end rather than trusting the size: files such as
    // /proc/meminfo seen through Wine report a size of 0.
    std::string bytes;
    std::string chunk(kFileChunk, '\0');
    while (true) {
        DWORD read = 0;
        if (!ReadFile(file.get(), chunk.data(), kFileChunk, &read, nullptr)) {
            return std::nullopt;
        }
        if (read == 0) {
            return bytes;
        }
        bytes.append(chunk.data(), std::min<size_t>(read, chunk.size()));
    }
}

bool Win32FileSystem::writeFile(const std::string& path, const std::string& bytes) {
    const UniqueFile file = openFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
    if (!file) {
        return false;
    }
    size_t written = 0;
    while (written < bytes.size()) {
        const DWORD portion = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, kFileChunk));
        DWORD done = 0;
        if (!WriteFile(file.get(), bytes.data() + written, portion, &done, nullptr) || done == 0) {
            return false;
        }
        written += done;
    }
    return true;
}

bool Win32FileSystem::deleteFile(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }

bool Win32FileSystem::replaceFile(const std::string& source, const std::string& target) {
    if (MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE) {
        return true;
    }
    if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) {
        return false;
    }
    return replaceByMovingAside(source, target);
}

bool Win32FileSystem::replaceByMovingAside(const std::string& source, const std::string& target) {
    if (GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return MoveFileA(source.c_str(), target.c_str()) != FALSE;
    }
    const std::string aside = source + ".old";
    DeleteFileA(aside.c_str());
    if (MoveFileA(target.c_str(), aside.c_str()) == FALSE) {
        return false;
    }
    if (MoveFileA(source.c_str(), target.c_str()) == FALSE) {
        MoveFileA(aside.c_str(), target.c_str());
        return false;
    }
    DeleteFileA(aside.c_str());
    return true;
}

bool Win32FileSystem::directoryExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32FileSystem::createDirectory(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

bool Win32FileSystem::removeDirectory(const std::string& path) {
    return RemoveDirectoryA(path.c_str()) != FALSE;
}

std::vector<platform::FoundFile> Win32FileSystem::findFiles(const std::string& pattern) {
    std::vector<platform::FoundFile> found;
    const CriticalErrorsSuppressed quiet;
    WIN32_FIND_DATAA entry{};
    const UniqueFind search(FindFirstFileA(pattern.c_str(), &entry));
    if (!search) {
        return found;
    }
    do {
        found.push_back({bufferText(entry.cFileName), entry.dwFileAttributes});
    } while (FindNextFileA(search.get(), &entry));
    return found;
}

std::optional<std::vector<uint8_t>> Win32FileSystem::fileVersionResource(const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) {
        return std::nullopt;
    }
    std::vector<uint8_t> resource(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, resource.data())) {
        return std::nullopt;
    }
    return resource;
}

std::string Win32FileSystem::profileString(const std::string& file, const std::string& section,
                                           const std::string& key, const std::string& fallback) {
    return readProfile(section.c_str(), key.c_str(), fallback.c_str(), file);
}

std::vector<std::string> Win32FileSystem::profileSectionNames(const std::string& file) {
    return splitNames(readProfile(nullptr, nullptr, "", file));
}

std::vector<std::string> Win32FileSystem::profileKeyNames(const std::string& file,
                                                          const std::string& section) {
    return splitNames(readProfile(section.c_str(), nullptr, "", file));
}

bool Win32FileSystem::writeProfileString(const std::string& file, const std::string& section,
                                         const std::optional<std::string>& key,
                                         const std::optional<std::string>& value) {
    const char* const keyText = key ? key->c_str() : nullptr;
    const char* const valueText = key && value ? value->c_str() : nullptr;
    const bool written =
        WritePrivateProfileStringA(section.c_str(), keyText, valueText, file.c_str()) != FALSE;
    // Windows 95 caches profile files; three NULs write the cache out.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
    return written;
}

}  // namespace vardak::win32
