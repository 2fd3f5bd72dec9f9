// Files, drives and profile files for tests, all in memory.
#pragma once

#include "platform/Platform.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vardak::testing {

class FakeSystem;

struct FakeDrive {
    platform::DriveType type = platform::DriveType::Fixed;
    std::optional<platform::ClusterGeometry> geometry{};
    std::optional<platform::FreeSpace> freeSpace{};
    std::optional<platform::VolumeInformation> volume{};
    // False: a removable drive without a disk, whose queries fail.
    bool present = true;
    // The network path of a mapped drive ("\\server\share"), present or not.
    std::optional<std::string> networkPath{};
    // The root folder's attributes; nothing: the query fails.
    std::optional<uint32_t> rootAttributes = 0x10;
};

// Paths compare without regard to ASCII case, "/" standing for "\". A profile file
// named without a folder lives in the Windows folder of the FakeSystem given.
class FakeFileSystem : public platform::FileSystem {
public:
    explicit FakeFileSystem(const FakeSystem& system);

    uint32_t logicalDrives() override;
    // An unknown root is NoRootDir, as the real query answers.
    platform::DriveType driveType(const std::string& root) override;
    std::optional<platform::ClusterGeometry> clusterGeometry(const std::string& root) override;
    std::optional<platform::FreeSpace> freeSpace(const std::string& root) override;
    std::optional<platform::VolumeInformation> volumeInformation(const std::string& root) override;
    std::optional<std::string> networkConnection(const std::string& drive) override;
    // Changes the label of a present drive with volume information, and records
    // "ROOT=LABEL"; fails with ERROR_NOT_READY (21) for any other drive.
    platform::SystemCallResult setVolumeLabel(const std::string& root, const std::string& label) override;
    // Roots of present drives, folders and files (as setAttributes set them, else
    // folder or archive); nothing for anything else.
    std::optional<uint32_t> fileAttributes(const std::string& path) override;
    std::string currentDirectory() override { return currentDirectory_; }

    bool fileExists(const std::string& path) override;
    std::optional<std::string> readFile(const std::string& path) override;
    // Fails for a file marked read-only.
    bool writeFile(const std::string& path, const std::string& bytes) override;
    bool deleteFile(const std::string& path) override;
    bool replaceFile(const std::string& source, const std::string& target) override;
    bool directoryExists(const std::string& path) override;
    // Fails where the folder or a file of that name exists already.
    bool createDirectory(const std::string& path) override;
    // Fails for a folder that still holds files.
    bool removeDirectory(const std::string& path) override;
    // Names as they were given, in ASCII-case order; files are archives unless a
    // test set their attributes.
    std::vector<platform::FoundFile> findFiles(const std::string& pattern) override;
    std::optional<std::vector<uint8_t>> fileVersionResource(const std::string& path) override;

    std::string profileString(const std::string& file, const std::string& section, const std::string& key,
                              const std::string& fallback) override;
    std::vector<std::string> profileSectionNames(const std::string& file) override;
    std::vector<std::string> profileKeyNames(const std::string& file, const std::string& section) override;
    bool writeProfileString(const std::string& file, const std::string& section,
                            const std::optional<std::string>& key,
                            const std::optional<std::string>& value) override;

    // Set-up for tests.
    void addDrive(char letter, FakeDrive drive);
    void removeDrive(char letter);
    void addFile(const std::string& path, std::string bytes);
    bool removeFile(const std::string& path);
    void markReadOnly(const std::string& path);
    // The attributes a listing and fileAttributes report for a file or folder.
    void setAttributes(const std::string& path, uint32_t attributes);
    void addDirectory(const std::string& path);
    // Every file and folder path, normalised, for tests that check what was left behind.
    std::vector<std::string> filePaths() const;
    std::vector<std::string> directoryPaths() const;
    // Each writeFile from now on stores only the first `bytes` bytes and fails (a full disk).
    void limitWrites(size_t bytes) { writeLimit_ = bytes; }
    // Registers a file's version resource; the file exists from then on.
    void setVersionResource(const std::string& path, std::vector<uint8_t> resource);
    void setCurrentDirectory(std::string folder) { currentDirectory_ = std::move(folder); }
    // Every label write from now on fails with this error code.
    void failVolumeLabelWrites(uint32_t errorCode) { labelWriteError_ = errorCode; }
    const std::vector<std::string>& volumeLabelWrites() const { return labelWrites_; }
    // The full path a profile file name stands for.
    std::string profilePath(const std::string& file) const;

private:
    const FakeDrive* findDrive(const std::string& root) const;
    const FakeDrive* findPresentDrive(const std::string& root) const;
    void rememberSpelling(const std::string& path);

    const FakeSystem& system_;
    std::map<char, FakeDrive> drives_;
    std::map<std::string, std::string> files_;  // by normalised path
    std::map<std::string, std::vector<uint8_t>> versionResources_;
    std::set<std::string> readOnly_;
    std::set<std::string> directories_;  // by normalised path
    std::map<std::string, std::string> spellings_;  // paths as given, by normalised path
    std::map<std::string, uint32_t> attributes_;  // by normalised path
    std::optional<size_t> writeLimit_;
    std::string currentDirectory_ = "C:\\";
    uint32_t labelWriteError_ = 0;
    std::vector<std::string> labelWrites_;
};

}  // namespace vardak::testing
