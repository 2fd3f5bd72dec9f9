// Drives, files, version resources and profile files through kernel32 and version.dll;
// the network connections of drives through the multiple-provider router (mpr.dll).
#pragma once

#include "platform/Platform.h"

namespace vardak::win32 {

class Win32FileSystem final : public platform::FileSystem {
public:
    uint32_t logicalDrives() override;
    platform::DriveType driveType(const std::string& root) override;
    std::optional<platform::ClusterGeometry> clusterGeometry(const std::string& root) override;
    std::optional<platform::FreeSpace> freeSpace(const std::string& root) override;
    std::optional<platform::VolumeInformation> volumeInformation(const std::string& root) override;
    std::optional<std::string> networkConnection(const std::string& drive) override;
    platform::SystemCallResult setVolumeLabel(const std::string& root, const std::string& label) override;
    std::optional<uint32_t> fileAttributes(const std::string& path) override;
    std::string currentDirectory() override;

    bool fileExists(const std::string& path) override;
    std::optional<std::string> readFile(const std::string& path) override;
    bool writeFile(const std::string& path, const std::string& bytes) override;
    bool deleteFile(const std::string& path) override;
    bool replaceFile(const std::string& source, const std::string& target) override;
    // The 95/98 line's way, which lacks MoveFileEx: the old file steps aside (under the
    // source's name and ".old"), the new one takes its name, the old one comes back if
    // that fails.
    static bool replaceByMovingAside(const std::string& source, const std::string& target);
    bool directoryExists(const std::string& path) override;
    bool createDirectory(const std::string& path) override;
    bool removeDirectory(const std::string& path) override;
    std::vector<platform::FoundFile> findFiles(const std::string& pattern) override;
    std::optional<std::vector<uint8_t>> fileVersionResource(const std::string& path) override;

    std::string profileString(const std::string& file, const std::string& section,
                              const std::string& key, const std::string& fallback) override;
    std::vector<std::string> profileSectionNames(const std::string& file) override;
    std::vector<std::string> profileKeyNames(const std::string& file,
                                             const std::string& section) override;
    bool writeProfileString(const std::string& file, const std::string& section,
                            const std::optional<std::string>& key,
                            const std::optional<std::string>& value) override;
};

}  // namespace vardak::win32
