// Helpers for tests that run the Win32 backend under Wine: posing the prefix as an
// older Windows, running this test program again as a child that sees the pose,
// and seeding registry contents from REGEDIT4 text.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vardak::winetest {

enum class WindowsPose { WindowsXP, Windows2000, WindowsNT4, Windows98 };

// The name Wine knows the version by ("winxp", "win2k", "nt40", "win98").
std::string_view wineVersionName(WindowsPose pose);

// Sets HKCU\Software\Wine "Version" for the processes started while this object
// lives (Wine reads it at process start, so the pose takes effect in children only)
// and puts the previous setting back afterwards.
class PosedWindows {
public:
    explicit PosedWindows(WindowsPose pose);
    ~PosedWindows();
    PosedWindows(const PosedWindows&) = delete;
    PosedWindows& operator=(const PosedWindows&) = delete;

    bool active() const { return active_; }

private:
    std::optional<std::string> previous_;
    bool active_ = false;
};

// The previous "Version" setting of the prefix, or nothing when none is set.
std::optional<std::string> currentWineVersionSetting();

struct ProcessResult {
    bool started = false;
    bool timedOut = false;  // and so was ended
    DWORD exitCode = 0;
    std::string output;  // everything the process wrote to standard output
};

// Where Wine itself runs under CPU emulation a process start takes minutes.
constexpr DWORD kProcessTimeoutMs = 15 * 60 * 1000;

// Runs `commandLine`, waits for it and captures its standard output through a pipe.
// Reading stops when the process has ended, even where a process it started (a
// crash debugger, say) still holds the pipe.
ProcessResult runProcess(const std::string& commandLine, DWORD timeoutMs = kProcessTimeoutMs);

// Runs this test program again as `--child=NAME` (see WineChildren.h).
ProcessResult runChild(std::string_view childName);

// The "report" child's output under `pose`. Each pose runs once per program run
// and is remembered: under Wine every process start is expensive. Besides the pose,
// the child finds kPosedOwner and kPosedOrganization registered in both lines'
// version keys and the variable kPosedVariable, whose value is the pose's name, in
// its environment. It runs in this program's host time zone: Wine's children take
// TZ from the Unix side, which a Windows program cannot change.
const ProcessResult& posedReport(WindowsPose pose);

inline constexpr char kPosedOwner[] = "Vardak Tester";
inline constexpr char kPosedOrganization[] = "Vardak Test Bench";
inline constexpr char kPosedVariable[] = "VARDAK_POSED_CHILD";

// What `action` writes to the standard output handle, caught through a pipe
// put in its place for the time of the call.
std::string captureStandardOutput(void (*action)(void* context), void* context);

template <typename Action>
std::string captureStandardOutput(Action action) {
    return captureStandardOutput([](void* context) { (*static_cast<Action*>(context))(); },
                                 &action);
}

// "name=value" lines of a child's output; CR LF and LF line ends both end a line.
std::map<std::string, std::string> parseFields(const std::string& output);

// A value of a key that existed before it was seeded over: what it held, if anything.
struct OverwrittenValue {
    HKEY root = nullptr;
    std::string path;
    std::string name;
    std::optional<std::pair<DWORD, std::vector<BYTE>>> previous;
};

// Writes the keys and values of REGEDIT4 text into the registry and undoes that when
// destroyed: values written into keys that existed before get their previous
// contents back (or go), and every key it created is deleted. The text is read by
// the tests' own .reg loader and written in this process: Wine's reg.exe would cost
// a process start, and under CPU emulation its crash handling can hang.
class SeededRegistry {
public:
    explicit SeededRegistry(const std::string& regText);
    ~SeededRegistry();
    SeededRegistry(const SeededRegistry&) = delete;
    SeededRegistry& operator=(const SeededRegistry&) = delete;

    bool imported() const { return imported_; }

private:
    std::vector<std::pair<HKEY, std::string>> createdKeys_;
    std::vector<OverwrittenValue> overwritten_;
    bool imported_ = false;
};

// The key paths named by the section headers of REGEDIT4 text, with their roots;
// deletion sections ("[-HKEY_...]") and unknown roots are left out.
std::vector<std::pair<HKEY, std::string>> regTextKeys(const std::string& regText);

// Deletes a key with everything below it.
bool deleteKeyTree(HKEY root, const std::string& path);

bool keyExists(HKEY root, const std::string& path);

// True where Wine itself runs under user-mode CPU emulation (qemu-user registered
// for 32-bit Linux programs), as on machines whose kernel runs no 32-bit code.
// There CPUID answers with the emulator's processor, and the machine's memory size
// reaches 32-bit programs modulo 4 GB.
bool wineRunsUnderCpuEmulation();

// A file that is deleted when the object goes.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
    ~TemporaryFile() { DeleteFileA(path_.c_str()); }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Writes a shell link with the system's own link object: the status of the last step.
HRESULT createShellLink(const std::string& linkFile, const std::string& target, const std::string& arguments);

// A fresh file name in the temporary folder.
std::string temporaryFileName();

// A path of the build machine as Wine shows it: drive Z: is the root folder.
std::string winePathOf(std::string unixPath);

// Makes `folder` the current folder for the object's lifetime (children started
// meanwhile inherit it).
class CurrentFolder {
public:
    explicit CurrentFolder(const std::string& folder);
    ~CurrentFolder();
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    std::string previous_;
};

}  // namespace vardak::winetest
