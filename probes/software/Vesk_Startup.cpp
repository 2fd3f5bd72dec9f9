#include "probes/software/Vesk_Startup.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>

#include "framework/IniFiles.h"
#include "framework/Registry.h"
#include "framework/SysUtils.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/core/Vesk_Common.h"

namespace vardak::probes {
namespace {

using platform::RootKey;
namespace folder = platform::special_folder;
namespace attribute = platform::file_attribute;

// The command an entry's line carries.
class StartupCommand : public TObject {
public:
    explicit StartupCommand(std::string text) : text(std::move(text)) {}
    std::string_view className() const override { return "TStartupCommand"; }
    const std::string text;
};

struct RunSource {
    RootKey root;
    std::string_view path;
    TStartupKind kind;
};
constexpr RunSource kRunSources[] = {
    {RootKey::CurrentUser, kRunKey, TStartupKind::HKCURun},
    {RootKey::LocalMachine, kRunKey, TStartupKind::HKLMRun},
    {RootKey::CurrentUser, kRunOnceKey, TStartupKind::RunOnce},
    {RootKey::LocalMachine, kRunOnceKey, TStartupKind::RunOnce},
};

struct FolderSource {
    int32_t folder;
    TStartupKind kind;
};
constexpr FolderSource kFolderSources[] = {
    {folder::kCommonStartup, TStartupKind::CommonStartup},
    {folder::kStartup, TStartupKind::UserStartup},
};

struct ReportedList {
    std::string_view section;
    TStartupKind kind;
};
constexpr ReportedList kReportedLists[] = {
    {"User Startup", TStartupKind::UserStartup}, {"Common Startup", TStartupKind::CommonStartup},
    {"HKLM Run", TStartupKind::HKLMRun},         {"HKCU Run", TStartupKind::HKCURun},
    {"Run Once", TStartupKind::RunOnce},
};

constexpr std::string_view kLinkExtension = ".lnk";
// A start-up folder's shortcuts are its ordinary, read-only and archive files.
constexpr uint32_t kIgnoredAttributes = attribute::kHidden | attribute::kSystem | attribute::kDirectory;

constexpr std::string_view kWinIni = "WIN.INI";
constexpr std::string_view kWinIniSection = "windows";
constexpr std::string_view kWinIniStartNames[] = {"run", "load"};

bool isWinIniStartName(std::string_view name) {
    return std::any_of(std::begin(kWinIniStartNames), std::end(kWinIniStartNames),
                       [name](std::string_view start) { return sameText(name, start); });
}

std::string withoutLinkExtension(const std::string& fileName) {
    return fileName.substr(0, fileName.size() - std::min(fileName.size(), kLinkExtension.size()));
}

// The target and its arguments; a broken link or a file that is no link at all is
// still started by Windows, as the file itself, so its path stands for the command.
std::string shortcutCommand(platform::Platform& platform, const std::string& linkFile) {
    std::string target;
    std::string arguments;
    if (ResolveShellLink(platform, linkFile, target, arguments) < 0) {
        return linkFile;
    }
    return target + " " + arguments;
}

}  // namespace

void TStartup::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.integer("RunsCount", RunsCount());
}

void TStartup::GetInfo() {
    for (TStringList& entries : lists_) {
        entries.clear();
    }
    for (const RunSource& source : kRunSources) {
        readRunValues(source.root, source.path, source.kind);
    }
    for (const FolderSource& source : kFolderSources) {
        readStartupFolder(source.folder, source.kind);
    }
    readWinIni();
}

void TStartup::add(TStartupKind kind, std::string_view name, std::string command) {
    list(kind).addObject(name, std::make_unique<StartupCommand>(std::move(command)));
}

void TStartup::readRunValues(RootKey root, std::string_view path, TStartupKind kind) {
    const auto key = TRegistry::openReadOnly(platform_.registry(), root, path);
    if (!key) {
        return;
    }
    for (const std::string& name : key->valueNames()) {
        // A number or binary value starts nothing and is left out.
        if (std::optional<std::string> command = key->readText(name)) {
            add(kind, name, std::move(*command));
        }
    }
}

void TStartup::readStartupFolder(int32_t folderId, TStartupKind kind) {
    std::string folder = GetSpecialFolder(platform_, nullptr, folderId);
    if (!folder.empty() && folder.back() == '\\') {
        folder.pop_back();
    }
    // Without a folder the pattern would name the current drive's root.
    if (folder.empty()) {
        return;
    }
    const std::string pattern = folder + "\\*" + std::string(kLinkExtension);
    for (const platform::FoundFile& file : platform_.files().findFiles(pattern)) {
        if ((file.attributes & kIgnoredAttributes) == 0) {
            add(kind, withoutLinkExtension(file.name), shortcutCommand(platform_, folder + "\\" + file.name));
        }
    }
}

void TStartup::readWinIni() {
    TStringList lines;
    TIniFile(platform_.files(), std::string(kWinIni)).readSectionValues(kWinIniSection, lines);
    for (int index = 0; index < lines.count(); ++index) {
        const std::string name = lines.names(index);
        if (!isWinIniStartName(name)) {
            continue;
        }
        std::string command = StripBlanks(lines.valueFromIndex(index));
        if (!command.empty()) {
            add(TStartupKind::WinIni, name, std::move(command));
        }
    }
}

std::string TStartup::Name(TStartupKind kind, int index) const {
    const TStrings& entries = Entries(kind);
    return index >= 0 && index < entries.count() ? entries[index] : std::string();
}

std::string TStartup::Command(TStartupKind kind, int index) const {
    const TStrings& entries = Entries(kind);
    if (index < 0 || index >= entries.count()) {
        return {};
    }
    const auto* command = dynamic_cast<const StartupCommand*>(entries.object(index));
    return command ? command->text : std::string();
}

int32_t TStartup::RunsCount() const {
    int32_t count = 0;
    for (const TStringList& entries : lists_) {
        count += entries.count();
    }
    return count;
}

void TStartup::Report(TStrings& report) const {
    for (const ReportedList& reported : kReportedLists) {
        const TStrings& entries = Entries(reported.kind);
        addReportSection(report, reported.section);
        addReportEntry(report, "Count", entries.count());
        for (int index = 0; index < entries.count(); ++index) {
            addReportEntry(report, entries[index], Command(reported.kind, index));
        }
    }
}

}  // namespace vardak::probes
