#include "tests/support/FakeFileSystem.h"

#include "tests/support/AsciiCase.h"
#include "tests/support/FakeSystem.h"
#include "tests/support/IniText.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace vardak::testing {

using platform::DriveType;

namespace {

std::string normalisedPath(std::string_view path) {
    std::string normalised = upperAscii(path);
    std::replace(normalised.begin(), normalised.end(), '/', '\\');
    return normalised;
}

// The drive letter of "C:\" (or "C:", "c:/"), or nothing for anything else.
std::optional<char> rootLetter(std::string_view root) {
    if (root.size() < 2 || root.size() > 3 || root[1] != ':') return std::nullopt;
    if (root.size() == 3 && root[2] != '\\' && root[2] != '/') return std::nullopt;
    const char letter = upperAscii(root[0]);
    if (letter < 'A' || letter > 'Z') return std::nullopt;
    return letter;
}

// Whether `name` matches `pattern`, whose "*" stands for any run of characters and
// "?" for one; both are upper case.
bool matchesWildcards(std::string_view name, std::string_view pattern) {
    if (pattern.empty()) return name.empty();
    if (pattern.front() == '*') {
        for (size_t skipped = 0; skipped <= name.size(); ++skipped) {
            if (matchesWildcards(name.substr(skipped), pattern.substr(1))) return true;
        }
        return false;
    }
    if (name.empty() || (pattern.front() != '?' && pattern.front() != name.front())) return false;
    return matchesWildcards(name.substr(1), pattern.substr(1));
}

// The folder part of a normalised path and its last component.
std::pair<std::string, std::string> splitLast(const std::string& path) {
    const size_t separator = path.rfind('\\');
    if (separator == std::string::npos) return {"", path};
    return {path.substr(0, separator), path.substr(separator + 1)};
}

bool hasFolder(std::string_view file) {
    return file.find_first_of("\\/:") != std::string_view::npos;
}

}  // namespace

FakeFileSystem::FakeFileSystem(const FakeSystem& system) : system_(system) {}

const FakeDrive* FakeFileSystem::findDrive(const std::string& root) const {
    const std::optional<char> letter = rootLetter(root);
    if (!letter) return nullptr;
    auto found = drives_.find(*letter);
    return found == drives_.end() ? nullptr : &found->second;
}

const FakeDrive* FakeFileSystem::findPresentDrive(const std::string& root) const {
    const FakeDrive* drive = findDrive(root);
    return drive && drive->present ? drive : nullptr;
}

uint32_t FakeFileSystem::logicalDrives() {
    uint32_t mask = 0;
    for (const auto& [letter, drive] : drives_) mask |= 1u << (letter - 'A');
    return mask;
}

DriveType FakeFileSystem::driveType(const std::string& root) {
    const FakeDrive* drive = findDrive(root);
    return drive ? drive->type : DriveType::NoRootDir;
}

std::optional<platform::ClusterGeometry> FakeFileSystem::clusterGeometry(const std::string& root) {
    const FakeDrive* drive = findPresentDrive(root);
    return drive ? drive->geometry : std::nullopt;
}

std::optional<platform::FreeSpace> FakeFileSystem::freeSpace(const std::string& root) {
    const FakeDrive* drive = findPresentDrive(root);
    return drive ? drive->freeSpace : std::nullopt;
}

std::optional<platform::VolumeInformation> FakeFileSystem::volumeInformation(const std::string& root) {
    const FakeDrive* drive = findPresentDrive(root);
    return drive ? drive->volume : std::nullopt;
}

std::optional<std::string> FakeFileSystem::networkConnection(const std::string& drive) {
    const FakeDrive* found = findDrive(drive);
    return found ? found->networkPath : std::nullopt;
}

platform::SystemCallResult FakeFileSystem::setVolumeLabel(const std::string& root, const std::string& label) {
    constexpr uint32_t kNotReady = 21;
    const std::optional<char> letter = rootLetter(root);
    const auto found = letter ? drives_.find(*letter) : drives_.end();
    if (found == drives_.end() || !found->second.present || !found->second.volume) return {false, kNotReady};
    if (labelWriteError_ != 0) return {false, labelWriteError_};
    found->second.volume->label = label;
    labelWrites_.push_back(root + "=" + label);
    return {true, 0};
}

std::optional<uint32_t> FakeFileSystem::fileAttributes(const std::string& path) {
    if (rootLetter(path)) {
        const FakeDrive* drive = findPresentDrive(path);
        return drive ? drive->rootAttributes : std::nullopt;
    }
    const auto set = attributes_.find(normalisedPath(path));
    if (directoryExists(path)) return set == attributes_.end() ? platform::file_attribute::kDirectory : set->second;
    if (fileExists(path)) return set == attributes_.end() ? platform::file_attribute::kArchive : set->second;
    return std::nullopt;
}

bool FakeFileSystem::fileExists(const std::string& path) {
    return files_.count(normalisedPath(path)) != 0;
}

std::optional<std::string> FakeFileSystem::readFile(const std::string& path) {
    auto found = files_.find(normalisedPath(path));
    if (found == files_.end()) return std::nullopt;
    return found->second;
}

bool FakeFileSystem::writeFile(const std::string& path, const std::string& bytes) {
    const std::string key = normalisedPath(path);
    if (key.empty() || readOnly_.count(key) != 0) return false;
    if (writeLimit_ && bytes.size() > *writeLimit_) {
        files_[key] = bytes.substr(0, *writeLimit_);
        return false;
    }
    files_[key] = bytes;
    rememberSpelling(path);
    return true;
}

bool FakeFileSystem::deleteFile(const std::string& path) {
    const std::string key = normalisedPath(path);
    if (readOnly_.count(key) != 0) return false;
    return files_.erase(key) != 0;
}

bool FakeFileSystem::replaceFile(const std::string& source, const std::string& target) {
    const std::string from = normalisedPath(source);
    const std::string to = normalisedPath(target);
    const auto found = files_.find(from);
    if (found == files_.end() || to.empty() || readOnly_.count(to) != 0 || readOnly_.count(from) != 0) return false;
    std::string bytes = std::move(found->second);
    files_.erase(found);
    files_[to] = std::move(bytes);
    rememberSpelling(target);
    return true;
}

bool FakeFileSystem::directoryExists(const std::string& path) {
    std::string key = normalisedPath(path);
    while (key.size() > 3 && key.back() == '\\') key.pop_back();
    return directories_.count(key) != 0;
}

bool FakeFileSystem::createDirectory(const std::string& path) {
    std::string key = normalisedPath(path);
    while (key.size() > 3 && key.back() == '\\') key.pop_back();
    if (key.empty() || directories_.count(key) != 0 || files_.count(key) != 0) return false;
    directories_.insert(key);
    rememberSpelling(path);
    return true;
}

bool FakeFileSystem::removeDirectory(const std::string& path) {
    std::string key = normalisedPath(path);
    while (key.size() > 3 && key.back() == '\\') key.pop_back();
    const std::string prefix = key + "\\";
    for (const auto& file : files_) {
        if (file.first.rfind(prefix, 0) == 0) return false;
    }
    return directories_.erase(key) != 0;
}

void FakeFileSystem::addDirectory(const std::string& path) {
    std::string key = normalisedPath(path);
    while (key.size() > 3 && key.back() == '\\') key.pop_back();
    directories_.insert(key);
    rememberSpelling(path);
}

void FakeFileSystem::rememberSpelling(const std::string& path) {
    std::string spelled = path;
    std::replace(spelled.begin(), spelled.end(), '/', '\\');
    while (spelled.size() > 3 && spelled.back() == '\\') spelled.pop_back();
    spellings_[normalisedPath(spelled)] = spelled;
}

std::vector<platform::FoundFile> FakeFileSystem::findFiles(const std::string& pattern) {
    const auto [folder, mask] = splitLast(normalisedPath(pattern));
    std::map<std::string, uint32_t> found;  // by normalised path
    for (const auto& file : files_) found.emplace(file.first, platform::file_attribute::kArchive);
    for (const std::string& directory : directories_) found.emplace(directory, platform::file_attribute::kDirectory);
    std::vector<platform::FoundFile> listing;
    for (const auto& [path, defaultAttributes] : found) {
        const auto [parent, name] = splitLast(path);
        if (parent != folder || !matchesWildcards(name, mask)) continue;
        const auto spelled = spellings_.find(path);
        const auto attributes = attributes_.find(path);
        listing.push_back({spelled == spellings_.end() ? name : splitLast(spelled->second).second,
                           attributes == attributes_.end() ? defaultAttributes : attributes->second});
    }
    return listing;
}

void FakeFileSystem::setAttributes(const std::string& path, uint32_t attributes) {
    attributes_[normalisedPath(path)] = attributes;
}

std::vector<std::string> FakeFileSystem::filePaths() const {
    std::vector<std::string> paths;
    for (const auto& file : files_) paths.push_back(file.first);
    return paths;
}

std::vector<std::string> FakeFileSystem::directoryPaths() const {
    return {directories_.begin(), directories_.end()};
}

std::optional<std::vector<uint8_t>> FakeFileSystem::fileVersionResource(const std::string& path) {
    auto found = versionResources_.find(normalisedPath(path));
    if (found == versionResources_.end()) return std::nullopt;
    return found->second;
}

std::string FakeFileSystem::profilePath(const std::string& file) const {
    if (hasFolder(file)) return file;
    const std::string& folder = system_.windowsFolder;
    const bool endsWithSeparator = !folder.empty() && (folder.back() == '\\' || folder.back() == '/');
    return endsWithSeparator ? folder + file : folder + "\\" + file;
}

std::string FakeFileSystem::profileString(const std::string& file, const std::string& section,
                                          const std::string& key, const std::string& fallback) {
    const std::optional<std::string> text = readFile(profilePath(file));
    if (text) {
        if (std::optional<std::string> value = IniText(*text).value(section, key)) return *value;
    }
    // The real call drops trailing blanks of the default too.
    const size_t last = fallback.find_last_not_of(' ');
    return last == std::string::npos ? std::string() : fallback.substr(0, last + 1);
}

std::vector<std::string> FakeFileSystem::profileSectionNames(const std::string& file) {
    const std::optional<std::string> text = readFile(profilePath(file));
    return text ? IniText(*text).sectionNames() : std::vector<std::string>{};
}

std::vector<std::string> FakeFileSystem::profileKeyNames(const std::string& file, const std::string& section) {
    const std::optional<std::string> text = readFile(profilePath(file));
    return text ? IniText(*text).keyNames(section) : std::vector<std::string>{};
}

bool FakeFileSystem::writeProfileString(const std::string& file, const std::string& section,
                                        const std::optional<std::string>& key,
                                        const std::optional<std::string>& value) {
    const std::string path = profilePath(file);
    const std::optional<std::string> existing = readFile(path);
    if (!existing && !(key && value)) return true;  // nothing to delete
    IniText ini(existing.value_or(std::string()));
    if (!key) {
        ini.removeSection(section);
    } else if (!value) {
        ini.removeKey(section, *key);
    } else {
        ini.setValue(section, *key, *value);
    }
    return writeFile(path, ini.text());
}

void FakeFileSystem::addDrive(char letter, FakeDrive drive) {
    const char upper = upperAscii(letter);
    if (upper < 'A' || upper > 'Z') throw std::invalid_argument("drive letter out of A..Z");
    drives_[upper] = std::move(drive);
}

void FakeFileSystem::removeDrive(char letter) { drives_.erase(upperAscii(letter)); }

void FakeFileSystem::addFile(const std::string& path, std::string bytes) {
    files_[normalisedPath(path)] = std::move(bytes);
    rememberSpelling(path);
}

bool FakeFileSystem::removeFile(const std::string& path) {
    const std::string key = normalisedPath(path);
    versionResources_.erase(key);
    return files_.erase(key) != 0;
}

void FakeFileSystem::markReadOnly(const std::string& path) { readOnly_.insert(normalisedPath(path)); }

void FakeFileSystem::setVersionResource(const std::string& path, std::vector<uint8_t> resource) {
    const std::string key = normalisedPath(path);
    files_.try_emplace(key);
    versionResources_[key] = std::move(resource);
}

}  // namespace vardak::testing
