// The end-to-end driver: starts the Vardak builds, finds their window, clicks at
// client coordinates with window messages and types on the keyboard, compares the
// button faces on the screen with the face pictures of the build folder, reads
// Trelka.INI from the Windows folder and what the window copies to the clipboard.
// Runs under Wine inside one virtual desktop (see run-e2e.sh).
//
//   VardakDriver.exe [gtest options]   the end-to-end tests
//   VardakDriver.exe --bench PROGRAM   start-up time and working set of one start;
//                                      PROGRAM is a build of the programs folder or
//                                      the Unix path of another program with a window
//   VardakDriver.exe --record-open FILE ADDRESS
//                                      appends ADDRESS to FILE: the web handler the
//                                      link test registers instead of a browser
//
// Environment: VARDAK_E2E_PROGRAMS (folder of the .exe files), VARDAK_E2E_PICTURES
// (folder of the drawn face pictures), VARDAK_E2E_ARTIFACTS (screenshots go there).
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include "probes/overview/win32/Win32OverviewWindow.h"
#include "tests/wine/WineHarness.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>
#include <cstdio>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Under Wine on emulated x86 a start takes tens of seconds.
constexpr auto kStartTimeout = std::chrono::seconds(240);
constexpr auto kExitTimeout = std::chrono::seconds(120);
constexpr auto kPaintTimeout = std::chrono::seconds(60);
constexpr int kWindowWidth = 590;
constexpr int kWindowHeight = 385;
// Panel2's bevels and border put the header 4 pixels into the client area.
constexpr int kHeaderLeft = 4;
constexpr int kHeaderTop = 4;

struct ButtonPlace {
    const char* name;
    int left, top, width, height;
    int upFace;  // the face list index of its up picture; the pressed one follows
};

constexpr ButtonPlace kProgrammer{"Programmer", 105, 58, 112, 26, 0};
constexpr ButtonPlace kPartitioner{"Partitioner", 224, 58, 112, 26, 2};
constexpr ButtonPlace kDetaljer{"Detaljer", 343, 58, 112, 26, 4};
constexpr ButtonPlace kUdskriv{"Udskriv", 469, 58, 91, 26, 6};
constexpr ButtonPlace kAfslut{"Afslut", 469, 26, 91, 26, 8};
// The middle of Shape1, the 97 x 97 corner of the header that carries the hint.
constexpr POINT kShape1Middle{kHeaderLeft + 48, kHeaderTop + 48};
// A point of the header picture, which has no hint.
constexpr POINT kHeaderWithoutHint{kHeaderLeft + 300, kHeaderTop + 20};
// The hint has five lines: well over three lines of the 8-point window font.
constexpr int kFiveLinesHeight = 45;

// A Unix path (as the scripts pass them) on Wine's drive Z:; other text unchanged.
std::string windowsPath(std::string text) {
    if (text.empty() || text[0] != '/') return text;
    for (char& c : text) {
        if (c == '/') c = '\\';
    }
    return "Z:" + text;
}

std::string environment(const char* name) {
    char value[1024] = {};
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    if (length == 0 || length >= sizeof value) return {};
    return windowsPath(std::string(value, length));
}

std::string programsFolder() { return environment("VARDAK_E2E_PROGRAMS"); }
std::string picturesFolder() { return environment("VARDAK_E2E_PICTURES"); }
std::string artifactsFolder() { return environment("VARDAK_E2E_ARTIFACTS"); }

// "WinSta0\\<desktop>" of the driver's own desktop, so that the programs it starts
// open their windows there too.
std::string ownDesktop() {
    char name[256] = {};
    DWORD needed = 0;
    if (!GetUserObjectInformationA(GetThreadDesktop(GetCurrentThreadId()), UOI_NAME, name, sizeof name - 1, &needed)) {
        return {};
    }
    return std::string("WinSta0\\") + name;
}

std::string settingsPath() {
    char folder[MAX_PATH] = {};
    GetWindowsDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\Trelka.INI";
}

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
}

// ---------------------------------------------------------------- pictures

struct ShownRow {
    std::string caption;
    std::string value;
    int image = 0;
};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first

    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// A bottom-up bitmap file of 24 or 8 bits a pixel, as the picture script writes them.
std::optional<Picture> loadBmp(const std::string& path) {
    const std::optional<std::string> bytes = readFile(path);
    if (!bytes || bytes->size() < 54) return std::nullopt;
    auto number = [&](size_t at, int size) {
        uint32_t value = 0;
        for (int i = 0; i < size; ++i) value |= static_cast<uint32_t>(static_cast<uint8_t>((*bytes)[at + i])) << (8 * i);
        return value;
    };
    Picture picture;
    picture.width = static_cast<int>(number(18, 4));
    picture.height = static_cast<int>(number(22, 4));
    const uint32_t bitCount = number(28, 2);
    if ((bitCount != 24 && bitCount != 8) || picture.width <= 0 || picture.height <= 0) return std::nullopt;
    const size_t offset = number(10, 4);
    const size_t paletteAt = 14 + number(14, 4);
    const size_t bytesPerPixel = bitCount / 8;
    const size_t stride = (static_cast<size_t>(picture.width) * bytesPerPixel + 3) / 4 * 4;
    if (offset + stride * picture.height > bytes->size() || (bitCount == 8 && paletteAt + 1024 > offset)) return std::nullopt;
    picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
    for (int y = 0; y < picture.height; ++y) {
        const size_t row = offset + stride * (picture.height - 1 - y);
        for (int x = 0; x < picture.width; ++x) {
            const size_t p = row + static_cast<size_t>(x) * bytesPerPixel;
            picture.pixels[static_cast<size_t>(y) * picture.width + x] =
                bitCount == 8 ? number(paletteAt + 4 * number(p, 1), 3) : number(p, 3);
        }
    }
    return picture;
}

// The screen's pixels in a rectangle.
Picture captureScreen(const RECT& area) {
    Picture picture;
    picture.width = area.right - area.left;
    picture.height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, picture.width, picture.height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    picture.pixels.assign(pixels, pixels + static_cast<size_t>(picture.width) * picture.height);
    for (uint32_t& pixel : picture.pixels) pixel &= 0xFFFFFF;
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return picture;
}

void saveBmp(const Picture& picture, const std::string& path) {
    const size_t stride = (static_cast<size_t>(picture.width) * 3 + 3) & ~size_t{3};
    std::string file(54 + stride * picture.height, '\0');
    auto put = [&](size_t at, uint32_t value, int size) {
        for (int i = 0; i < size; ++i) file[at + i] = static_cast<char>(value >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put(2, static_cast<uint32_t>(file.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(picture.width), 4);
    put(22, static_cast<uint32_t>(picture.height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (int y = 0; y < picture.height; ++y) {
        const size_t row = 54 + stride * (picture.height - 1 - y);
        for (int x = 0; x < picture.width; ++x) put(row + static_cast<size_t>(x) * 3, picture.at(x, y), 3);
    }
    writeFile(path, file);
}

// ---------------------------------------------------------------- the program

class RunningVardak {
public:
    // `windowClass` names the window to wait for; null takes any visible top-level
    // window of the program.
    explicit RunningVardak(const std::string& program, const char* windowClass = "TVardak")
        : windowClass_(windowClass) {
        const bool ownPath = program.find_first_of("/\\") != std::string::npos;
        const std::string path = ownPath ? windowsPath(program) : programsFolder() + "\\" + program;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string desktop = ownDesktop();
        if (!desktop.empty()) startup.lpDesktop = desktop.data();
        std::string commandLine = "\"" + path + "\"";
        started_ = Clock::now();
        if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process_)) {
            process_ = {};
        }
    }
    ~RunningVardak() {
        if (process_.hProcess == nullptr) return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    RunningVardak(const RunningVardak&) = delete;
    RunningVardak& operator=(const RunningVardak&) = delete;

    bool started() const { return process_.hProcess != nullptr; }
    HANDLE process() const { return process_.hProcess; }
    HWND window() const { return window_; }
    Clock::time_point startedAt() const { return started_; }

    // Waits for the visible summary window of this process.
    bool waitForWindow() {
        const auto deadline = Clock::now() + kStartTimeout;
        while (Clock::now() < deadline) {
            window_ = visibleWindow([this](const std::string& className) {
                return windowClass_ == nullptr || className == windowClass_;
            });
            if (window_ != nullptr) {
                shownAt_ = Clock::now();
                // Let the first paint happen before anyone looks or clicks.
                SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 30000, nullptr);
                return true;
            }
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0) return false;
            Sleep(100);
        }
        return false;
    }
    Clock::time_point shownAt() const { return shownAt_; }

    // A click of the left button at a point of the client area.
    void clickClient(int x, int y) {
        const LPARAM at = MAKELPARAM(x, y);
        DWORD_PTR result = 0;
        SendMessageTimeoutA(window_, WM_MOUSEMOVE, 0, at, SMTO_NORMAL, 30000, &result);
        SendMessageTimeoutA(window_, WM_LBUTTONDOWN, MK_LBUTTON, at, SMTO_NORMAL, 30000, &result);
        SendMessageTimeoutA(window_, WM_LBUTTONUP, 0, at, SMTO_NORMAL, 30000, &result);
    }

    // Rests the mouse on a point of the client area: the cursor goes there and the
    // window hears the move.
    void hoverClient(POINT at) {
        POINT screen = at;
        ClientToScreen(window_, &screen);
        SetCursorPos(screen.x, screen.y);
        SendMessageTimeoutA(window_, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y), SMTO_NORMAL, 30000, nullptr);
    }

    // The visible tooltip window of this program, waiting for it to appear (or,
    // with `shown` false, to go); null when it does not.
    HWND waitForHint(bool shown = true) const {
        const auto deadline = Clock::now() + kPaintTimeout;
        do {
            const HWND hint = visibleWindow(
                [](const std::string& className) { return lstrcmpiA(className.c_str(), TOOLTIPS_CLASSA) == 0; });
            if ((hint != nullptr) == shown) return hint;
            Sleep(100);
        } while (Clock::now() < deadline);
        return shown ? nullptr : HWND(-1);
    }

    void clickButton(const ButtonPlace& button) {
        clickClient(kHeaderLeft + button.left + button.width / 2, kHeaderTop + button.top + button.height / 2);
    }

    // A click posted, not sent: for a click whose handler shows a modal box.
    void postClickButton(const ButtonPlace& button) {
        const LPARAM at =
            MAKELPARAM(kHeaderLeft + button.left + button.width / 2, kHeaderTop + button.top + button.height / 2);
        PostMessageA(window_, WM_MOUSEMOVE, 0, at);
        PostMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(window_, WM_LBUTTONUP, 0, at);
    }

    // Ctrl and a letter typed on the keyboard once the window is in front (the window
    // system brings it there in its own time); false when it never came.
    bool pressCtrlAnd(char letter) {
        const auto deadline = Clock::now() + kPaintTimeout;
        SetForegroundWindow(window_);
        while (GetForegroundWindow() != window_) {
            if (Clock::now() > deadline) return false;
            Sleep(100);
            SetForegroundWindow(window_);
        }
        SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 30000, nullptr);
        const auto key = [](BYTE code, DWORD flags) {
            keybd_event(code, static_cast<BYTE>(MapVirtualKeyA(code, MAPVK_VK_TO_VSC)), flags, 0);
            Sleep(50);
        };
        key(VK_CONTROL, 0);
        key(static_cast<BYTE>(letter), 0);
        key(static_cast<BYTE>(letter), KEYEVENTF_KEYUP);
        key(VK_CONTROL, KEYEVENTF_KEYUP);
        return true;
    }

    // Whether the program still answers its window's messages.
    bool responsive() const {
        return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT &&
               SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 30000, nullptr) != 0;
    }

    // The title bar's close box.
    void closeBox() { PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0); }

    bool waitForExit() {
        const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(kExitTimeout).count();
        return WaitForSingleObject(process_.hProcess, static_cast<DWORD>(milliseconds)) == WAIT_OBJECT_0;
    }

    RECT windowRect() const {
        RECT rect{};
        GetWindowRect(window_, &rect);
        return rect;
    }

    POINT clientOrigin() const {
        POINT origin{0, 0};
        ClientToScreen(window_, &origin);
        return origin;
    }

    // Moves the window so several can be seen at once.
    void moveTo(int left, int top) {
        SetWindowPos(window_, HWND_TOP, left, top, 0, 0, SWP_NOSIZE);
        SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 30000, nullptr);
    }

    Picture screenshot() const { return captureScreen(windowRect()); }

    HANDLE mainThread() const { return process_.hThread; }

    // The rows of the window's list: caption, value and icon of each, read through
    // buffers in the program's own memory (the list lives in another process).
    std::vector<ShownRow> listRows() const {
        std::vector<ShownRow> rows;
        const HWND list = FindWindowExA(window_, nullptr, WC_LISTVIEWA, nullptr);
        if (list == nullptr) return rows;
        constexpr SIZE_T kTextBytes = 512;
        char* remote = static_cast<char*>(
            VirtualAllocEx(process_.hProcess, nullptr, sizeof(LVITEMA) + kTextBytes, MEM_COMMIT, PAGE_READWRITE));
        if (remote == nullptr) return rows;
        const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        for (int index = 0; index < count; ++index) {
            ShownRow row;
            for (int column = 0; column < 2; ++column) {
                LVITEMA item{};
                item.mask = LVIF_TEXT | LVIF_IMAGE;
                item.iItem = index;
                item.iSubItem = column;
                item.pszText = remote + sizeof(LVITEMA);
                item.cchTextMax = static_cast<int>(kTextBytes);
                WriteProcessMemory(process_.hProcess, remote, &item, sizeof item, nullptr);
                SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote));
                char text[kTextBytes] = {};
                ReadProcessMemory(process_.hProcess, remote, &item, sizeof item, nullptr);
                ReadProcessMemory(process_.hProcess, remote + sizeof(LVITEMA), text, kTextBytes - 1, nullptr);
                (column == 0 ? row.caption : row.value) = text;
                if (column == 0) row.image = item.iImage;
            }
            rows.push_back(row);
        }
        VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
        return rows;
    }

    // A visible top-level window of this program of class `className`, or null.
    HWND visibleWindowOfClass(const char* className) const {
        return visibleWindow([className](const std::string& found) { return lstrcmpiA(found.c_str(), className) == 0; });
    }

    Picture buttonOnScreen(const ButtonPlace& button) const {
        const POINT origin = clientOrigin();
        const RECT area{origin.x + kHeaderLeft + button.left, origin.y + kHeaderTop + button.top,
                        origin.x + kHeaderLeft + button.left + button.width,
                        origin.y + kHeaderTop + button.top + button.height};
        return captureScreen(area);
    }

private:
    struct WindowSearch {
        DWORD processId;
        const std::function<bool(const std::string&)>& wanted;
        HWND found;
    };

    static BOOL CALLBACK matchWindow(HWND window, LPARAM context) {
        auto* search = reinterpret_cast<WindowSearch*>(context);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        char className[64] = {};
        GetClassNameA(window, className, sizeof className);
        if (owner != search->processId || !IsWindowVisible(window) || !search->wanted(className)) return TRUE;
        search->found = window;
        return FALSE;
    }

    // The first visible top-level window of this program whose class `wanted` accepts.
    HWND visibleWindow(const std::function<bool(const std::string& className)>& wanted) const {
        WindowSearch search{process_.dwProcessId, wanted, nullptr};
        EnumWindows(&RunningVardak::matchWindow, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    const char* windowClass_;
    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
    Clock::time_point started_;
    Clock::time_point shownAt_;
};

Picture facePicture(const std::string& language, int index) {
    const std::string path = picturesFolder() + "\\knap_" + language + "_" + std::to_string(index) + ".bmp";
    std::optional<Picture> picture = loadBmp(path);
    if (!picture) ADD_FAILURE() << "cannot read " << path;
    return picture.value_or(Picture{});
}

// Whether the screen shows the face `index` of `language` at the button's place,
// waiting for a repaint.
::testing::AssertionResult showsFace(const RunningVardak& vardak, const ButtonPlace& button,
                                     const std::string& language, int index) {
    const Picture expected = facePicture(language, index);
    const auto deadline = Clock::now() + kPaintTimeout;
    int differing = 0;
    do {
        const Picture shown = vardak.buttonOnScreen(button);
        differing = 0;
        if (shown.width == expected.width && shown.height == expected.height) {
            for (size_t i = 0; i < shown.pixels.size(); ++i) differing += shown.pixels[i] != expected.pixels[i];
        } else {
            differing = -1;
        }
        if (differing == 0) return ::testing::AssertionSuccess();
        Sleep(250);
    } while (Clock::now() < deadline);
    return ::testing::AssertionFailure() << button.name << " does not show knap_" << language << "_" << index
                                         << " (" << differing << " pixels differ)";
}

void saveScreenshot(const Picture& picture, const std::string& name) {
    const std::string folder = artifactsFolder();
    if (folder.empty()) return;
    CreateDirectoryA(folder.c_str(), nullptr);
    saveBmp(picture, folder + "\\" + name + ".bmp");
}

void saveScreenshot(const RunningVardak& vardak, const std::string& name) {
    saveScreenshot(vardak.screenshot(), name);
}

// "Section/Key=Value" for every entry of an INI text, in file order.
std::vector<std::string> iniEntries(const std::optional<std::string>& text) {
    std::vector<std::string> entries;
    if (!text) return entries;
    std::istringstream lines(*text);
    std::string line;
    std::string section;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
        } else {
            entries.push_back(section + "/" + line);
        }
    }
    return entries;
}

const std::vector<std::string> kSavedEntries{"TrelkaUtility/Programmer=0", "TrelkaUtility/Partitioner=0",
                                             "TrelkaUtility/Detaljer=1"};

void removeSettings() {
    DeleteFileA(settingsPath().c_str());
}

// ---------------------------------------------------------------- reading the list

// A string of a program's string table, loaded from the program file.
class ProgramStrings {
public:
    explicit ProgramStrings(const std::string& program)
        : module_(LoadLibraryExA((programsFolder() + "\\" + program).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~ProgramStrings() {
        if (module_ != nullptr) FreeLibrary(module_);
    }
    std::string operator()(UINT id) const {
        char text[256] = {};
        LoadStringA(module_, id, text, sizeof text);
        return text;
    }

private:
    HMODULE module_;
};

std::vector<std::string> captionsOf(const std::vector<ShownRow>& rows) {
    std::vector<std::string> captions;
    for (const ShownRow& row : rows) captions.push_back(row.caption);
    return captions;
}

const ShownRow* rowCaptioned(const std::vector<ShownRow>& rows, const std::string& caption) {
    for (const ShownRow& row : rows) {
        if (row.caption == caption) return &row;
    }
    return nullptr;
}

// Seconds of an uptime text such as "2 Days, 6 Hours, 31 Minutes, 3 Seconds.".
int64_t secondsOf(const std::string& uptime) {
    static const std::pair<const char*, int64_t> kUnits[] = {
        {"Week", 7 * 86400}, {"Day", 86400}, {"Hour", 3600}, {"Minute", 60}, {"Second", 1}};
    int64_t seconds = 0;
    std::istringstream words(uptime);
    int64_t number = 0;
    std::string unit;
    while (words >> number >> unit) {
        for (const auto& [name, size] : kUnits) {
            if (unit.rfind(name, 0) == 0) seconds += number * size;
        }
    }
    return seconds;
}

// The host's uptime in seconds, from /proc through Wine's drive Z:.
std::optional<double> hostUptime() {
    const std::optional<std::string> text = readFile("Z:\\proc\\uptime");
    if (!text) return std::nullopt;
    return std::stod(*text);
}

// The drive letters the list must show: fixed and network drives from C on.
std::string usedDriveLetters(bool legacy) {
    std::string letters;
    for (char letter = 'C'; letter <= 'Z'; ++letter) {
        const UINT type = GetDriveTypeA(std::string{letter, ':', '\\'}.c_str());
        if (type == DRIVE_FIXED || (type == DRIVE_REMOTE && !legacy)) letters += letter;
    }
    return letters;
}

// ---------------------------------------------------------------- the tests

constexpr char kSavedDetaljer[] = "[TrelkaUtility]\r\nProgrammer=0\r\nPartitioner=0\r\nDetaljer=1\r\n";

TEST(SummaryWindow, FirstStartIsCentredWithTogglesUpAndTheCloseBoxSavesNothing) {
    removeSettings();
    RunningVardak vardak("Vardak.exe");
    ASSERT_TRUE(vardak.started());
    ASSERT_TRUE(vardak.waitForWindow());
    const RECT rect = vardak.windowRect();
    EXPECT_EQ(rect.right - rect.left, kWindowWidth);
    EXPECT_EQ(rect.bottom - rect.top, kWindowHeight);
    EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - kWindowWidth) / 2);
    EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - kWindowHeight) / 2);
    EXPECT_TRUE(showsFace(vardak, kProgrammer, "da", 0));
    EXPECT_TRUE(showsFace(vardak, kPartitioner, "da", 2));
    EXPECT_TRUE(showsFace(vardak, kDetaljer, "da", 4));
    EXPECT_TRUE(showsFace(vardak, kUdskriv, "da", 6));
    EXPECT_TRUE(showsFace(vardak, kAfslut, "da", 8));
    saveScreenshot(vardak, "vardak-da");

    vardak.clickButton(kPartitioner);
    EXPECT_TRUE(showsFace(vardak, kPartitioner, "da", 3)) << "the toggle latches";
    vardak.closeBox();
    ASSERT_TRUE(vardak.waitForExit());
    EXPECT_FALSE(readFile(settingsPath())) << "closing with the close box writes no settings";
}

TEST(SummaryWindow, DetaljerThenAfslutWritesTheThreeKeysInOrder) {
    removeSettings();
    RunningVardak vardak("Vardak.exe");
    ASSERT_TRUE(vardak.waitForWindow());
    ASSERT_TRUE(showsFace(vardak, kDetaljer, "da", 4));
    vardak.clickButton(kDetaljer);
    EXPECT_TRUE(showsFace(vardak, kDetaljer, "da", 5));
    vardak.clickButton(kAfslut);
    ASSERT_TRUE(vardak.waitForExit()) << "Afslut ends the program";
    EXPECT_EQ(iniEntries(readFile(settingsPath())), kSavedEntries);
}

TEST(SummaryWindow, NextStartShowsDetaljerPressedAndAfslutWritesItBack) {
    writeFile(settingsPath(), kSavedDetaljer);
    RunningVardak vardak("Vardak.exe");
    ASSERT_TRUE(vardak.waitForWindow());
    EXPECT_TRUE(showsFace(vardak, kDetaljer, "da", 5));
    EXPECT_TRUE(showsFace(vardak, kProgrammer, "da", 0));
    saveScreenshot(vardak, "vardak-da-detaljer");
    vardak.clickButton(kAfslut);
    ASSERT_TRUE(vardak.waitForExit());
    EXPECT_EQ(iniEntries(readFile(settingsPath())), kSavedEntries);
}

TEST(SummaryWindow, ClosingAfterAToggleLeavesTheFileAsItWas) {
    writeFile(settingsPath(), kSavedDetaljer);
    RunningVardak vardak("Vardak.exe");
    ASSERT_TRUE(vardak.waitForWindow());
    vardak.clickButton(kProgrammer);
    EXPECT_TRUE(showsFace(vardak, kProgrammer, "da", 1));
    vardak.closeBox();
    ASSERT_TRUE(vardak.waitForExit());
    EXPECT_EQ(readFile(settingsPath()).value_or("<no file>"), kSavedDetaljer);
}

TEST(SummaryWindow, RestingOnTheCornerShowsTheFiveLineHint) {
    removeSettings();
    RunningVardak vardak("Vardak.exe");
    ASSERT_TRUE(vardak.waitForWindow());
    vardak.hoverClient(kShape1Middle);
    const HWND hint = vardak.waitForHint();
    ASSERT_NE(hint, nullptr) << "no hint after resting on Shape1";
    RECT hintRect{};
    GetWindowRect(hint, &hintRect);
    EXPECT_GT(hintRect.bottom - hintRect.top, kFiveLinesHeight);
    RECT shot{};
    const RECT window = vardak.windowRect();
    UnionRect(&shot, &window, &hintRect);
    saveScreenshot(captureScreen(shot), "vardak-da-hint");

    vardak.hoverClient(kHeaderWithoutHint);
    EXPECT_EQ(vardak.waitForHint(false), nullptr) << "the hint stays after leaving Shape1";
    vardak.closeBox();
    EXPECT_TRUE(vardak.waitForExit());
}

struct LanguageBuild {
    const char* program;
    const char* faces;  // the face pictures it must show
    const char* shot;
};

TEST(LanguageBuilds, EachBuildShowsItsFacesAndListWithAllTogglesDown) {
    writeFile(settingsPath(), "[TrelkaUtility]\r\nProgrammer=1\r\nPartitioner=1\r\nDetaljer=1\r\n");
    const LanguageBuild builds[] = {
        {"VardakNo.exe", "no", "vardak-no"},
        {"VardakSv.exe", "sv", "vardak-sv"},
        {"VardakFi.exe", "fi", "vardak-fi"},
        {"VardakTestLang.exe", "da", "vardak-testlang"},
    };
    // All four start at once; each is moved to a corner of its own to be seen.
    std::vector<std::unique_ptr<RunningVardak>> running;
    for (const LanguageBuild& build : builds) running.push_back(std::make_unique<RunningVardak>(build.program));
    const POINT corners[] = {{0, 0}, {600, 0}, {0, 400}, {600, 400}};
    for (size_t i = 0; i < running.size(); ++i) {
        SCOPED_TRACE(builds[i].program);
        ASSERT_TRUE(running[i]->waitForWindow());
        running[i]->moveTo(corners[i].x, corners[i].y);
    }
    for (size_t i = 0; i < running.size(); ++i) {
        SCOPED_TRACE(builds[i].program);
        const std::string faces = builds[i].faces;
        EXPECT_TRUE(showsFace(*running[i], kProgrammer, faces, 1));
        EXPECT_TRUE(showsFace(*running[i], kPartitioner, faces, 3));
        EXPECT_TRUE(showsFace(*running[i], kDetaljer, faces, 5));
        EXPECT_TRUE(showsFace(*running[i], kUdskriv, faces, 6));
        EXPECT_TRUE(showsFace(*running[i], kAfslut, faces, 8));
        const ProgramStrings text(builds[i].program);
        EXPECT_NE(rowCaptioned(running[i]->listRows(), text(65214)), nullptr) << "the programs are listed";
        saveScreenshot(*running[i], builds[i].shot);
    }
    for (auto& vardak : running) {
        vardak->closeBox();
        EXPECT_TRUE(vardak->waitForExit());
    }
    removeSettings();
}

// ---------------------------------------------------------------- the overview list

class OverviewList : public ::testing::TestWithParam<vardak::winetest::WindowsPose> {};

TEST_P(OverviewList, ShowsTheMachineAndEachToggleRebuildsIt) {
    const bool legacy = GetParam() == vardak::winetest::WindowsPose::Windows98;
    const vardak::winetest::PosedWindows posed(GetParam());
    ASSERT_TRUE(posed.active());
    removeSettings();
    const ProgramStrings text("Vardak.exe");
    RunningVardak vardak("Vardak.exe");
    ASSERT_TRUE(vardak.waitForWindow());

    // No toggle down: the rows every machine has, in their order.
    const std::vector<ShownRow> plain = vardak.listRows();
    std::vector<std::string> expected{text(65240)};
    if (plain.size() > 1 && plain[1].caption == text(65241)) expected.push_back(text(65241));
    expected.insert(expected.end(), {"", text(65220)});
    if (!legacy) expected.push_back(text(65225));
    expected.insert(expected.end(), {"", "", text(65212)});
    const ShownRow* networkTotal = rowCaptioned(plain, text(65213));
    if (networkTotal != nullptr) expected.push_back(text(65213));
    expected.insert(expected.end(), {"", text(65200), text(65204), "", text(65246)});
    EXPECT_EQ(captionsOf(plain), expected);
    EXPECT_FALSE(legacy && networkTotal != nullptr) << "95 and 98 leave the network drives out";

    // Detaljer: the details, among them DirectX and the time since start-up.
    vardak.clickButton(kDetaljer);
    const std::vector<ShownRow> detailed = vardak.listRows();
    EXPECT_GT(detailed.size(), plain.size());
    char version[64] = {};
    DWORD size = sizeof version - 1;
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\DirectX", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegQueryValueExA(key, "Version", nullptr, nullptr, reinterpret_cast<BYTE*>(version), &size);
    RegCloseKey(key);
    const ShownRow* directX = rowCaptioned(detailed, text(65203));
    ASSERT_NE(directX, nullptr);
    EXPECT_EQ(directX->value, std::string(version).substr(3));
    const ShownRow* uptime = rowCaptioned(detailed, text(65244));
    const std::optional<double> host = hostUptime();
    ASSERT_NE(uptime, nullptr);
    ASSERT_TRUE(host.has_value());
    // The tick count is 32 bits of milliseconds.
    const double wrapped = *host - 4294967.296 * static_cast<int64_t>(*host / 4294967.296);
    EXPECT_NEAR(static_cast<double>(secondsOf(uptime->value)), wrapped, 30.0) << uptime->value;

    // Partitioner: a row per fixed (and, but on 95 and 98, network) drive.
    vardak.clickButton(kPartitioner);
    std::string letters;
    for (const ShownRow& row : vardak.listRows()) {
        const std::string stem = text(65210);
        if (row.caption.rfind(stem, 0) == 0 && row.caption.size() > stem.size()) letters += row.caption[stem.size()];
    }
    EXPECT_EQ(letters, usedDriveLetters(legacy));

    // Programmer: the header row and the programs after it; up again, they go.
    const size_t withDrives = vardak.listRows().size();
    vardak.clickButton(kProgrammer);
    const std::vector<ShownRow> withPrograms = vardak.listRows();
    const ShownRow* header = rowCaptioned(withPrograms, text(65214));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->value, text(65215));
    EXPECT_GE(withPrograms.size(), withDrives + 2);
    vardak.clickButton(kProgrammer);
    EXPECT_EQ(vardak.listRows().size(), withDrives);
    vardak.clickButton(kPartitioner);
    vardak.clickButton(kDetaljer);
    EXPECT_EQ(captionsOf(vardak.listRows()), captionsOf(plain));
    vardak.closeBox();
    EXPECT_TRUE(vardak.waitForExit());
}

INSTANTIATE_TEST_SUITE_P(Poses, OverviewList,
                         ::testing::Values(vardak::winetest::WindowsPose::WindowsXP,
                                           vardak::winetest::WindowsPose::Windows98));

// ---------------------------------------------------------------- the refresh's splash window

constexpr WPARAM kHentInfoClickCommand = 0x8006;
constexpr int kSplashWidth = 360;
constexpr int kSplashHeight = 144;

// Black frame, white panel, black strip with white text: the splash as painted.
bool looksPainted(const Picture& splash) {
    if (splash.width != kSplashWidth || splash.height != kSplashHeight) return false;
    const uint32_t black = 0;
    const uint32_t white = 0xFFFFFF;
    int whiteInStrip = 0;
    for (int x = 0; x < kSplashWidth; ++x) whiteInStrip += splash.at(x, kSplashHeight - 10) == white;
    return splash.at(1, 1) == black && splash.at(kSplashWidth - 2, 70) == black && splash.at(200, 100) == white &&
           splash.at(5, kSplashHeight - 2) == black && whiteInStrip > 0;
}

struct SplashSeen {
    bool shown = false;
    bool painted = false;
    bool topmost = false;
    RECT rect{};
    std::string errorBox;  // the text of an error box, if one came up
};

std::string windowText(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Runs the refresh and watches for the splash until it goes; the program's main thread
// is held while the screen is read, so a short refresh cannot end under the camera.
SplashSeen watchRefresh(RunningVardak& vardak, const std::string& shotName) {
    SplashSeen seen;
    PostMessageA(vardak.window(), WM_COMMAND, kHentInfoClickCommand, 0);
    const auto deadline = Clock::now() + kStartTimeout;
    bool gone = false;
    while (Clock::now() < deadline && !gone) {
        if (const HWND box = vardak.visibleWindowOfClass("#32770")) {
            seen.errorBox = windowText(box);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        const HWND splash = vardak.visibleWindowOfClass("TscrVesk_Splash");
        if (splash == nullptr) {
            gone = seen.shown;
            Sleep(5);
            continue;
        }
        seen.shown = true;
        if (seen.painted) continue;
        SuspendThread(vardak.mainThread());
        GetWindowRect(splash, &seen.rect);
        seen.topmost = (GetWindowLongA(splash, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        const Picture shot = captureScreen(seen.rect);
        seen.painted = looksPainted(shot);
        saveScreenshot(shot, shotName);  // the last one seen, painted or not
        ResumeThread(vardak.mainThread());
    }
    return seen;
}

class RefreshSplash : public ::testing::TestWithParam<vardak::winetest::WindowsPose> {};

TEST_P(RefreshSplash, HentInfoClickShowsTheSplashCentredOnTopAndNoErrorBox) {
    const std::string pose(vardak::winetest::wineVersionName(GetParam()));
    const vardak::winetest::PosedWindows posed(GetParam());
    ASSERT_TRUE(posed.active());
    RunningVardak vardak("Vardak.exe");
    ASSERT_TRUE(vardak.waitForWindow());
    const SplashSeen seen = watchRefresh(vardak, "vardak-splash-" + pose);
    EXPECT_TRUE(seen.shown);
    EXPECT_TRUE(seen.painted) << "the splash was not seen painted";
    EXPECT_TRUE(seen.topmost);
    EXPECT_EQ(seen.rect.right - seen.rect.left, kSplashWidth);
    EXPECT_EQ(seen.rect.bottom - seen.rect.top, kSplashHeight);
    EXPECT_EQ(seen.rect.left, (GetSystemMetrics(SM_CXSCREEN) - kSplashWidth) / 2);
    EXPECT_EQ(seen.errorBox, "") << "an error box came up";
    vardak.closeBox();
    EXPECT_TRUE(vardak.waitForExit());
}

INSTANTIATE_TEST_SUITE_P(Poses, RefreshSplash,
                         ::testing::Values(vardak::winetest::WindowsPose::WindowsXP,
                                           vardak::winetest::WindowsPose::Windows98));

// ---------------------------------------------------------------- the overview window

constexpr WPARAM kImage2ClickCommand = 0x8005;
// Report lines that change between two refreshes a few seconds apart: clocks, free
// amounts, and the APIC number of whichever processor ran the CPUID instruction.
constexpr const char* kChangingKeys[] = {"Last Boot",   "System Up Time", "EBX",       "PhysMemFree", "PageFileFree",
                                         "VirtMemFree", "MemoryLoad",     "FreeSpace", "FreeClusters"};

struct ChildSearch {
    int id;
    HWND found;
};

BOOL CALLBACK matchChildId(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<ChildSearch*>(context);
    if (GetDlgCtrlID(window) != search->id) return TRUE;
    search->found = window;
    return FALSE;
}

// The first descendant window of `parent` with that control identifier.
HWND descendantWithId(HWND parent, int id) {
    ChildSearch search{id, nullptr};
    EnumChildWindows(parent, &matchChildId, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string controlText(HWND overview, vardak::probes::OverviewPage page, const char* name) {
    const HWND control = descendantWithId(overview, vardak::probes::win32::overviewControlId(page, name));
    char text[512] = {};
    if (control != nullptr) {
        SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 30000,
                            nullptr);
    }
    return text;
}

// Opens the overview window from the summary window's Image2Click and waits until it
// shows, its pages filled (it shows only after its refresh); null when it does not.
// The texts of message boxes on the way are answered and kept in `boxes`.
HWND openOverview(RunningVardak& vardak, std::vector<std::string>* boxes = nullptr) {
    PostMessageA(vardak.window(), WM_COMMAND, kImage2ClickCommand, 0);
    const auto deadline = Clock::now() + kStartTimeout;
    while (Clock::now() < deadline) {
        if (const HWND overview = vardak.visibleWindowOfClass(vardak::probes::win32::kOverviewWindowClass)) {
            SendMessageTimeoutA(overview, WM_NULL, 0, 0, SMTO_NORMAL, 30000, nullptr);
            return overview;
        }
        if (const HWND box = vardak.visibleWindowOfClass("#32770")) {
            char message[512] = {};
            GetDlgItemTextA(box, 0xFFFF, message, sizeof message);
            if (boxes != nullptr) boxes->push_back(message);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            while (IsWindow(box) && Clock::now() < deadline) Sleep(50);
        }
        Sleep(50);
    }
    saveScreenshot(captureScreen(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}),
                   "overview-did-not-open");
    return nullptr;
}

// "OK", then waits until the window is gone (not only hidden).
bool closeOverview(HWND overview) {
    PostMessageA(overview, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    const auto deadline = Clock::now() + kPaintTimeout;
    while (Clock::now() < deadline) {
        if (!IsWindow(overview)) return true;
        Sleep(20);
    }
    return false;
}

// Answers the save dialog of "All Topics" with `path`; false when none came up.
bool saveAllTopics(RunningVardak& vardak, HWND overview, const std::string& path) {
    PostMessageA(overview, WM_COMMAND, vardak::probes::win32::kAllTopicsCommand, 0);
    const auto deadline = Clock::now() + kPaintTimeout;
    while (Clock::now() < deadline) {
        const HWND dialog = vardak.visibleWindowOfClass("#32770");
        if (dialog == nullptr || windowText(dialog) != "Select file") {
            Sleep(50);
            continue;
        }
        // The file-name field of the explorer-style dialog: an edit, or a combo box.
        HWND name = GetDlgItem(dialog, 0x480);
        if (name == nullptr) name = GetDlgItem(dialog, 0x47C);
        SendMessageTimeoutA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), SMTO_NORMAL, 30000, nullptr);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        return true;
    }
    return false;
}

std::vector<std::string> steadyLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        const std::string key = line.substr(0, line.find('='));
        const bool changing = std::any_of(std::begin(kChangingKeys), std::end(kChangingKeys),
                                          [&](const char* changingKey) { return key == changingKey; });
        if (!changing) lines.push_back(line);
    }
    return lines;
}

std::optional<std::string> runReportProgram(const std::string& output) {
    const std::string path = programsFolder() + "\\VardakReport.exe";
    std::string commandLine = "\"" + path + "\" --silent --output \"" + output + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process)) {
        return std::nullopt;
    }
    WaitForSingleObject(process.hProcess, 240000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return readFile(output);
}

class OverviewWindow : public ::testing::TestWithParam<vardak::winetest::WindowsPose> {};

TEST_P(OverviewWindow, OpensFromTheSummaryWindowShowsEveryPageLiveAndSavesTheReport) {
    using vardak::probes::OverviewPage;
    const std::string pose(vardak::winetest::wineVersionName(GetParam()));
    const vardak::winetest::PosedWindows posed(GetParam());
    ASSERT_TRUE(posed.active());
    const bool legacy = GetParam() == vardak::winetest::WindowsPose::Windows98;
    RunningVardak vardak("Vardak.exe");
    ASSERT_TRUE(vardak.waitForWindow());
    std::vector<std::string> boxes;
    const HWND overview = openOverview(vardak, &boxes);
    ASSERT_NE(overview, nullptr);
    // Wine has no performance statistics for 95/98: the usage meter says so, the window opens.
    EXPECT_EQ(boxes, legacy ? std::vector<std::string>{"Unable to start performance monitoring"}
                            : std::vector<std::string>{});
    EXPECT_EQ(windowText(overview), "Ostrel System Information");
    RECT client{};
    GetClientRect(overview, &client);
    EXPECT_EQ(client.right, 399);
    EXPECT_EQ(client.bottom, 509);
    EXPECT_FALSE(IsWindowEnabled(vardak.window())) << "the summary window waits while the overview is open";

    // Every page in turn, as the arrow key moves along the tabs.
    const HWND tabs = FindWindowExA(overview, nullptr, WC_TABCONTROLA, nullptr);
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 16);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 0);
    for (size_t number = 0; number < vardak::probes::kOverviewPageCount; ++number) {
        const std::string name(vardak::probes::kOverviewPages[number].name);
        if (number > 0) {
            SendMessageTimeoutA(tabs, WM_KEYDOWN, VK_RIGHT, 0, SMTO_NORMAL, 30000, nullptr);
            SendMessageTimeoutA(tabs, WM_KEYUP, VK_RIGHT, 0xC0000001, SMTO_NORMAL, 30000, nullptr);
        }
        EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), static_cast<LRESULT>(number));
        const HWND page = FindWindowExA(overview, nullptr, vardak::probes::win32::kOverviewPageClass, name.c_str());
        EXPECT_TRUE(page != nullptr && IsWindowVisible(page)) << name;
        RedrawWindow(overview, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        SendMessageTimeoutA(overview, WM_NULL, 0, 0, SMTO_NORMAL, 30000, nullptr);
        char shot[64];
        std::snprintf(shot, sizeof shot, "overview-%s-%02u-%s", pose.c_str(), static_cast<unsigned>(number),
                      name.c_str() + 2);
        RECT frame{};
        GetWindowRect(overview, &frame);
        saveScreenshot(captureScreen(frame), shot);
    }

    // Filled from the refresh, and live once a second.
    char computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = sizeof computer;
    GetComputerNameA(computer, &length);
    EXPECT_EQ(controlText(overview, OverviewPage::Wksta, "eWksta"), computer);
    // The memory totals come with the first tick of the usage meter.
    std::string physicalTotal;
    for (const auto deadline = Clock::now() + std::chrono::seconds(10); physicalTotal.empty() && Clock::now() < deadline;
         Sleep(100)) {
        physicalTotal = controlText(overview, OverviewPage::Memory, "ePhysTotal");
    }
    EXPECT_NE(physicalTotal, "");
    const std::string uptime = controlText(overview, OverviewPage::Wksta, "eSysTime");
    const std::string physicalFree = controlText(overview, OverviewPage::Memory, "ePhysFree");
    Sleep(3000);
    if (!legacy) {
        EXPECT_NE(controlText(overview, OverviewPage::Wksta, "eSysTime"), uptime) << "the uptime stood still";
        std::printf("free memory %s, three seconds later %s\n", physicalFree.c_str(),
                    controlText(overview, OverviewPage::Memory, "ePhysFree").c_str());
    }

    // "All Topics" writes what the report program writes, but for what changes by the second.
    const std::string saved = artifactsFolder() + "\\overview-all-topics-" + pose + ".txt";
    const std::string printed = artifactsFolder() + "\\report-program-" + pose + ".txt";
    DeleteFileA(saved.c_str());
    ASSERT_TRUE(saveAllTopics(vardak, overview, saved));
    std::optional<std::string> window;
    for (const auto deadline = Clock::now() + kPaintTimeout; !window && Clock::now() < deadline; Sleep(100)) {
        window = readFile(saved);
    }
    ASSERT_TRUE(window.has_value()) << "no report was saved";
    const std::optional<std::string> program = runReportProgram(printed);
    ASSERT_TRUE(program.has_value());
    EXPECT_GT(steadyLines(*window).size(), 100u);
    EXPECT_EQ(steadyLines(*window), steadyLines(*program));

    EXPECT_TRUE(closeOverview(overview));
    EXPECT_TRUE(IsWindowEnabled(vardak.window()));
    EXPECT_TRUE(vardak.responsive());
    vardak.closeBox();
    EXPECT_TRUE(vardak.waitForExit());
}

INSTANTIATE_TEST_SUITE_P(Poses, OverviewWindow,
                         ::testing::Values(vardak::winetest::WindowsPose::WindowsXP,
                                           vardak::winetest::WindowsPose::Windows98));

// The kernel handles a process holds, counted in the system's handle table (Wine's
// GetProcessHandleCount counts none); nothing when the table cannot be read.
std::optional<size_t> kernelHandleCount(DWORD processId) {
    using Query = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
    const auto query =
        reinterpret_cast<Query>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation"));
    if (query == nullptr) return std::nullopt;
    struct Entry {
        ULONG process;
        BYTE type;
        BYTE flags;
        USHORT handle;
        void* object;
        ULONG access;
    };
    constexpr ULONG kSystemHandleInformation = 16;
    constexpr LONG kLengthMismatch = static_cast<LONG>(0xC0000004);
    std::vector<char> buffer(1 << 16);
    for (int attempt = 0; attempt < 16; ++attempt) {
        ULONG needed = 0;
        const LONG status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == kLengthMismatch) {
            buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
            continue;
        }
        if (status != 0 || buffer.size() < sizeof(ULONG)) return std::nullopt;
        ULONG count = 0;
        std::memcpy(&count, buffer.data(), sizeof count);
        const size_t fits = (buffer.size() - sizeof(ULONG)) / sizeof(Entry);
        size_t owned = 0;
        for (size_t index = 0; index < std::min<size_t>(count, fits); ++index) {
            Entry entry;
            std::memcpy(&entry, buffer.data() + sizeof(ULONG) + index * sizeof(Entry), sizeof entry);
            owned += entry.process == processId;
        }
        return owned;
    }
    return std::nullopt;
}

BOOL CALLBACK countWindow(HWND window, LPARAM context);

struct WindowCount {
    DWORD processId;
    size_t count;
};

BOOL CALLBACK countChildWindow(HWND, LPARAM context) {
    ++reinterpret_cast<WindowCount*>(context)->count;
    return TRUE;
}

BOOL CALLBACK countWindow(HWND window, LPARAM context) {
    auto* windows = reinterpret_cast<WindowCount*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != windows->processId) return TRUE;
    ++windows->count;
    EnumChildWindows(window, &countChildWindow, context);
    return TRUE;
}

// The windows of a process, top-level and child, hidden or not.
size_t windowCount(DWORD processId) {
    WindowCount windows{processId, 0};
    EnumWindows(&countWindow, reinterpret_cast<LPARAM>(&windows));
    return windows.count;
}

TEST(OverviewWindowCycles, TenOpensAndClosesLeaveNoHandlesBehind) {
    RunningVardak vardak("Vardak.exe");
    ASSERT_TRUE(vardak.waitForWindow());
    const DWORD processId = GetProcessId(vardak.process());
    const size_t windowsAtStart = windowCount(processId);
    // The first opening loads what stays loaded (libraries, window classes).
    HWND overview = openOverview(vardak);
    ASSERT_NE(overview, nullptr);
    ASSERT_TRUE(closeOverview(overview));
    const std::optional<size_t> handlesBefore = kernelHandleCount(processId);
    const size_t windowsBefore = windowCount(processId);
    for (int cycle = 0; cycle < 10; ++cycle) {
        overview = openOverview(vardak);
        ASSERT_NE(overview, nullptr) << "cycle " << cycle;
        ASSERT_TRUE(closeOverview(overview)) << "cycle " << cycle;
    }
    const std::optional<size_t> handlesAfter = kernelHandleCount(processId);
    ASSERT_TRUE(handlesBefore && handlesAfter) << "the system's handle table could not be read";
    EXPECT_GT(*handlesBefore, 0u);
    EXPECT_LE(*handlesAfter, *handlesBefore) << "kernel handles after ten cycles";
    EXPECT_EQ(windowsBefore, windowsAtStart) << "windows after the first opening";
    EXPECT_EQ(windowCount(processId), windowsAtStart) << "windows after ten cycles";
    std::printf("kernel handles %u -> %u, windows %u\n", static_cast<unsigned>(*handlesBefore),
                static_cast<unsigned>(*handlesAfter), static_cast<unsigned>(windowsAtStart));
    vardak.closeBox();
    EXPECT_TRUE(vardak.waitForExit());
}

// ---------------------------------------------------------------- printing and copying

constexpr char kUninstallKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
// A program whose name holds letters of the four languages and what rich text escapes.
constexpr char kOddProgram[] = "Vardak pr\xF8ve \xE6\xF8\xE5 \xC6\xD8\xC5 \xE4\xF6 \xC4\xD6 {C:\\Tr\xE6} \\par";
// Enough programs of long names to take the document well past 32 KB.
constexpr int kFillerPrograms = 600;

// REGEDIT4 text of the uninstall entries: the odd one and the fillers.
std::string uninstallEntries() {
    std::string escaped;
    for (char c : std::string(kOddProgram)) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    std::string text = "REGEDIT4\r\n\r\n[" + std::string(kUninstallKey) + "VardakE2EOdd]\r\n\"DisplayName\"=\"" + escaped +
                       "\"\r\n\"UninstallString\"=\"remove.exe\"\r\n\"Publisher\"=\"Vardak {\\\\}\"\r\n";
    for (int i = 0; i < kFillerPrograms; ++i) {
        text += "\r\n[" + std::string(kUninstallKey) + "VardakE2EFiller" + std::to_string(i) +
                "]\r\n\"DisplayName\"=\"Vardak filler program " + std::to_string(i) +
                " with a long name to fill the printed list\"\r\n\"UninstallString\"=\"remove.exe\"\r\n";
    }
    return text;
}

std::string trimmed(const std::string& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
    return text.substr(first, last - first);
}

// The document's lines as plain text: the heading; a separator an empty line; a caption
// line and a value line per fact; from the programs' header on the names alone.
std::string documentText(const std::vector<ShownRow>& rows, const ProgramStrings& text) {
    std::string document = text(65184);
    bool programs = false;
    for (const ShownRow& row : rows) {
        document += "\r\n";
        if (row.image == -1 && !programs) continue;
        programs = programs || trimmed(row.caption) == text(65214);
        document += programs ? trimmed(row.caption) : row.caption + ":\r\n" + trimmed(row.value);
    }
    return document;
}

// The text as rich text writes it: backslash and braces escaped, letters past ASCII
// as hexadecimal bytes.
std::string richTextOf(const std::string& text) {
    std::string rich;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '{' || c == '}') {
            rich += '\\';
            rich += c;
        } else if (byte >= 0x80) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\'%02x", byte);
            rich += hex;
        } else {
            rich += c;
        }
    }
    return rich;
}

std::string lowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

struct ClipboardTexts {
    std::optional<std::string> plain;
    std::optional<std::string> rich;
};

std::optional<std::string> clipboardText(UINT format) {
    HANDLE data = GetClipboardData(format);
    if (data == nullptr) return std::nullopt;
    const auto* bytes = static_cast<const char*>(GlobalLock(data));
    if (bytes == nullptr) return std::nullopt;
    std::string text(bytes, strnlen(bytes, GlobalSize(data)));
    GlobalUnlock(data);
    return text;
}

// What the clipboard holds as plain and as rich text, waiting up to `timeout` for both.
ClipboardTexts readClipboard(std::chrono::seconds timeout) {
    const UINT richFormat = RegisterClipboardFormatA("Rich Text Format");
    const auto deadline = Clock::now() + timeout;
    ClipboardTexts texts;
    do {
        if (IsClipboardFormatAvailable(CF_TEXT) && IsClipboardFormatAvailable(richFormat) && OpenClipboard(nullptr)) {
            texts.plain = clipboardText(CF_TEXT);
            texts.rich = clipboardText(richFormat);
            CloseClipboard();
            return texts;
        }
        Sleep(100);
    } while (Clock::now() < deadline);
    return texts;
}

void emptyClipboard() {
    for (int attempt = 0; attempt < 50 && !OpenClipboard(nullptr); ++attempt) Sleep(100);
    EmptyClipboard();
    CloseClipboard();
}

void expectTheDocumentOnTheClipboard(const ClipboardTexts& copied, const std::vector<ShownRow>& rows,
                                     const ProgramStrings& text) {
    ASSERT_TRUE(copied.plain.has_value()) << "no plain text on the clipboard";
    ASSERT_TRUE(copied.rich.has_value()) << "no rich text on the clipboard";
    std::string plain = *copied.plain;
    // The control's last paragraph mark may come along.
    if (plain.size() >= 2 && plain.compare(plain.size() - 2, 2, "\r\n") == 0) plain.resize(plain.size() - 2);
    EXPECT_EQ(plain, documentText(rows, text));
    EXPECT_GT(plain.size(), 32u * 1024) << "the long list is copied whole";
    EXPECT_NE(plain.find(std::string("\r\n") + kOddProgram), std::string::npos) << "the odd name is a line of its own";
    const std::string rich = lowerCase(*copied.rich);
    EXPECT_EQ(rich.rfind("{\\rtf", 0), 0u);
    for (const char* size : {"\\fs28", "\\fs20", "\\fs24"}) EXPECT_NE(rich.find(size), std::string::npos) << size;
    EXPECT_NE(rich.find(lowerCase(richTextOf(kOddProgram))), std::string::npos) << *copied.rich;
    EXPECT_NE(rich.find(lowerCase(richTextOf(text(65214)))), std::string::npos);
}

TEST(PrintAndCopy, CtrlCAndTheCopyMessagePutTheWholeListOnTheClipboard) {
    const vardak::winetest::SeededRegistry seeded(uninstallEntries());
    ASSERT_TRUE(seeded.imported());
    writeFile(settingsPath(), "[TrelkaUtility]\r\nProgrammer=1\r\nPartitioner=0\r\nDetaljer=1\r\n");
    const ProgramStrings text("Vardak.exe");
    RunningVardak vardak("Vardak.exe");
    ASSERT_TRUE(vardak.waitForWindow());
    const std::vector<ShownRow> rows = vardak.listRows();
    ASSERT_NE(rowCaptioned(rows, kOddProgram), nullptr) << "the seeded program is listed";

    emptyClipboard();
    DWORD_PTR answer = 0;
    ASSERT_NE(SendMessageTimeoutA(vardak.window(), WM_COPY, 0, 0, SMTO_NORMAL, 60000, &answer), 0);
    {
        SCOPED_TRACE("WM_COPY");
        expectTheDocumentOnTheClipboard(readClipboard(std::chrono::seconds(10)), rows, text);
    }

    emptyClipboard();
    ASSERT_TRUE(vardak.pressCtrlAnd('C')) << "the window did not come to the front";
    {
        SCOPED_TRACE("Ctrl+C");
        expectTheDocumentOnTheClipboard(readClipboard(std::chrono::seconds(60)), rows, text);
    }
    EXPECT_EQ(vardak.listRows().size(), rows.size()) << "copying leaves the list as it was";
    vardak.closeBox();
    EXPECT_TRUE(vardak.waitForExit());
    removeSettings();
}

// Caption and text of the message box of this program that comes up within the time,
// once the box is closed with OK; nothing when none came.
std::optional<std::pair<std::string, std::string>> answerMessageBox(const RunningVardak& vardak) {
    const auto deadline = Clock::now() + kPaintTimeout;
    do {
        if (const HWND box = vardak.visibleWindowOfClass("#32770")) {
            char message[512] = {};
            GetDlgItemTextA(box, 0xFFFF, message, sizeof message);  // the message box's text
            const std::pair<std::string, std::string> shown{windowText(box), message};
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            while (IsWindow(box) && Clock::now() < deadline) Sleep(100);
            return shown;
        }
        Sleep(100);
    } while (Clock::now() < deadline);
    return std::nullopt;
}

TEST(PrintAndCopy, PrintingWithoutAPrinterSaysSoAndTheWindowCarriesOn) {
    DWORD needed = 0;
    DWORD printers = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, nullptr, 0, &needed, &printers);
    if (needed > 0) GTEST_SKIP() << "this prefix has a printer";
    removeSettings();
    const ProgramStrings text("Vardak.exe");
    RunningVardak vardak("Vardak.exe");
    ASSERT_TRUE(vardak.waitForWindow());
    const std::vector<ShownRow> rows = vardak.listRows();

    ASSERT_TRUE(vardak.pressCtrlAnd('P')) << "the window did not come to the front";
    const auto byKey = answerMessageBox(vardak);
    ASSERT_TRUE(byKey.has_value()) << "Ctrl+P showed no message";
    EXPECT_EQ(byKey->first, text(65185));
    EXPECT_EQ(byKey->second, text(65186));
    EXPECT_EQ(byKey->second, "Der er ikke installeret nogen printer.");

    vardak.postClickButton(kUdskriv);
    const auto byButton = answerMessageBox(vardak);
    ASSERT_TRUE(byButton.has_value()) << "Udskriv showed no message";
    EXPECT_EQ(byButton->second, text(65186));

    ASSERT_TRUE(vardak.responsive()) << "the program ended or hangs";
    EXPECT_EQ(captionsOf(vardak.listRows()), captionsOf(rows));
    vardak.closeBox();
    EXPECT_TRUE(vardak.waitForExit());
}

// ---------------------------------------------------------------- the publisher's web link

// Where the handler of web addresses that the test registers writes what it is given.
std::string openedAddressesFile() {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + "vardak-e2e-opened.txt";
}

// Registers this driver (--record-open) as the handler of https addresses while the
// object lives: no browser starts, and the address the shell was asked to open lands
// in a file.
class RecordingWebHandler {
public:
    RecordingWebHandler() : seeded_(regText()) {}
    bool active() const { return seeded_.imported(); }

private:
    static std::string regText() {
        char driver[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, driver, MAX_PATH);
        const std::string command = "\"" + std::string(driver) + "\" --record-open \"" + openedAddressesFile() + "\" \"%1\"";
        std::string escaped;
        for (char c : command) escaped += c == '\\' || c == '"' ? std::string{'\\', c} : std::string(1, c);
        return "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Classes\\https\\shell\\open\\command]\r\n@=\"" + escaped +
               "\"\r\n";
    }
    vardak::winetest::SeededRegistry seeded_;
};

// The lines the handler wrote, waiting for the first.
std::vector<std::string> waitForOpenedAddresses() {
    const auto deadline = Clock::now() + kStartTimeout;
    do {
        if (const std::optional<std::string> text = readFile(openedAddressesFile()); text && !text->empty()) {
            Sleep(500);  // a second opening would have come by now
            std::vector<std::string> lines;
            std::istringstream stream(*readFile(openedAddressesFile()));
            for (std::string line; std::getline(stream, line);) {
                if (!line.empty() && line.back() == '\r') line.pop_back();
                lines.push_back(line);
            }
            return lines;
        }
        Sleep(200);
    } while (Clock::now() < deadline);
    return {};
}

TEST(PublisherLink, TheCornerOpensTheSiteOfEachLanguageBuild) {
    const RecordingWebHandler handler;
    ASSERT_TRUE(handler.active());
    removeSettings();
    const std::pair<const char*, const char*> builds[] = {
        {"Vardak.exe", "https://www.vardak.example/da/"},
        {"VardakNo.exe", "https://www.vardak.example/no/"},
        {"VardakSv.exe", "https://www.vardak.example/sv/"},
        {"VardakFi.exe", "https://www.vardak.example/fi/"},
    };
    for (const auto& [program, address] : builds) {
        SCOPED_TRACE(program);
        DeleteFileA(openedAddressesFile().c_str());
        RunningVardak vardak(program);
        ASSERT_TRUE(vardak.waitForWindow());
        vardak.clickClient(kShape1Middle.x, kShape1Middle.y);
        EXPECT_EQ(waitForOpenedAddresses(), std::vector<std::string>{address});
        vardak.closeBox();
        EXPECT_TRUE(vardak.waitForExit());
    }
    DeleteFileA(openedAddressesFile().c_str());
}

// --record-open FILE ADDRESS: the web handler of the test above.
int recordOpenedAddress(const std::string& file, const std::string& address) {
    std::ofstream(file, std::ios::binary | std::ios::app) << address << "\n";
    return 0;
}

// ---------------------------------------------------------------- benchmark

int bench(const std::string& program) {
    RunningVardak vardak(program, nullptr);
    if (!vardak.started() || !vardak.waitForWindow()) {
        std::printf("the window of %s did not appear\n", program.c_str());
        return 1;
    }
    const auto shown = std::chrono::duration_cast<std::chrono::milliseconds>(vardak.shownAt() - vardak.startedAt());
    Sleep(2000);  // settled after the first paint
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(vardak.process(), &memory, sizeof memory);
    std::ostringstream lines;
    lines << "start-to-window-ms=" << shown.count() << "\n"
          << "working-set-kb=" << memory.WorkingSetSize / 1024 << "\n"
          << "peak-working-set-kb=" << memory.PeakWorkingSetSize / 1024 << "\n";
    // The summary window fills its list before it shows; a click on Detaljer builds it
    // again with the details, a second one without (each click returns once built).
    char className[64] = {};
    GetClassNameA(vardak.window(), className, sizeof className);
    if (std::string(className) == "TVardak") {
        for (const char* name : {"rebuild-with-details-ms=", "rebuild-without-details-ms="}) {
            const auto clicked = Clock::now();
            vardak.clickButton(kDetaljer);
            lines << name
                  << std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - clicked).count() << "\n";
        }
        // The list as a document on the clipboard: built once, then built again over
        // the first (the control is emptied and filled anew).
        for (const char* name : {"copy-ms=", "copy-again-ms="}) {
            const auto sent = Clock::now();
            SendMessageTimeoutA(vardak.window(), WM_COPY, 0, 0, SMTO_NORMAL, 600000, nullptr);
            lines << name << std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - sent).count() << "\n";
        }
    }
    std::fputs(lines.str().c_str(), stdout);
    std::fflush(stdout);
    // Under a virtual desktop standard output may go nowhere: the script reads this file.
    if (!artifactsFolder().empty()) writeFile(artifactsFolder() + "\\bench.txt", lines.str());
    vardak.closeBox();
    vardak.waitForExit();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--bench") return bench(argv[2]);
    if (argc == 4 && std::string(argv[1]) == "--record-open") return recordOpenedAddress(argv[2], argv[3]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
