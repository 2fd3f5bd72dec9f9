// The shell part of the platform seam: special folders, shell links and opening an
// address with its default handler.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vardak::platform {

// A window of the platform (an HWND on Windows); null stands for no window.
using WindowHandle = void*;

// Special-folder identifiers of the shell (CSIDL values) the probes ask for.
namespace special_folder {
inline constexpr int32_t kDesktop = 0x0000;
inline constexpr int32_t kInternet = 0x0001;
inline constexpr int32_t kPrograms = 0x0002;
inline constexpr int32_t kControls = 0x0003;
inline constexpr int32_t kPrinters = 0x0004;
inline constexpr int32_t kPersonal = 0x0005;
inline constexpr int32_t kFavorites = 0x0006;
inline constexpr int32_t kStartup = 0x0007;
inline constexpr int32_t kRecent = 0x0008;
inline constexpr int32_t kSendTo = 0x0009;
inline constexpr int32_t kBitBucket = 0x000A;
inline constexpr int32_t kStartMenu = 0x000B;
inline constexpr int32_t kDesktopDirectory = 0x0010;
inline constexpr int32_t kDrives = 0x0011;
inline constexpr int32_t kNetwork = 0x0012;
inline constexpr int32_t kNetHood = 0x0013;
inline constexpr int32_t kFonts = 0x0014;
inline constexpr int32_t kTemplates = 0x0015;
inline constexpr int32_t kCommonStartMenu = 0x0016;
inline constexpr int32_t kCommonPrograms = 0x0017;
inline constexpr int32_t kCommonStartup = 0x0018;
inline constexpr int32_t kCommonDesktopDirectory = 0x0019;
inline constexpr int32_t kAppData = 0x001A;
inline constexpr int32_t kPrintHood = 0x001B;
inline constexpr int32_t kCommonAltStartup = 0x001E;
inline constexpr int32_t kCommonFavorites = 0x001F;
inline constexpr int32_t kInternetCache = 0x0020;
inline constexpr int32_t kCookies = 0x0021;
inline constexpr int32_t kHistory = 0x0022;
}  // namespace special_folder

// Platform status codes (HRESULT values) the shell reports.
namespace shell_status {
inline constexpr int32_t kOk = 0;
inline constexpr int32_t kFail = static_cast<int32_t>(0x80004005u);
inline constexpr int32_t kFileNotFound = static_cast<int32_t>(0x80070002u);
}  // namespace shell_status

// What resolving a shell link (.lnk file) gave. `status` is the status of the last
// step that ran: creating the link object, loading the file, resolving it, reading
// the target and reading the arguments, each running only after the previous one
// succeeded. Target and arguments are what those steps read, empty otherwise.
struct ShellLinkResolution {
    int32_t status = shell_status::kFail;
    std::string target;
    std::string arguments;
};

class Shell {
public:
    virtual ~Shell() = default;
    // The file-system path of a special folder (`folder` one of the identifiers
    // above), or nothing when the shell cannot resolve it to a path. A null `owner`
    // stands for the desktop window.
    virtual std::optional<std::string> specialFolderPath(WindowHandle owner, int32_t folder) = 0;
    // Resolves the link without user interface, preferring a UNC target path.
    virtual ShellLinkResolution resolveShellLink(const std::string& linkFile) = 0;
    // Hands `target` (a web or mail address, a file) to the shell with its default
    // verb, no parameters, no folder and the normal show state, `parent` owning any
    // window the shell shows. Answers the shell's result: above 32 is success.
    virtual uint32_t openAddress(WindowHandle parent, const std::string& target) = 0;
};

// The shell's results of opening an address.
namespace open_result {
inline constexpr uint32_t kLastFailure = 32;  // results up to this are failures
inline constexpr uint32_t kFileNotFound = 2;  // SE_ERR_FNF
inline constexpr uint32_t kNoAssociation = 31;  // SE_ERR_NOASSOC
}  // namespace open_result

}  // namespace vardak::platform
