#include "platform/win32/Win32Shell.h"

#include "platform/win32/WinHandles.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <memory>
#include <vector>

namespace vardak::win32 {
namespace {

using platform::ShellLinkResolution;

// Flags of IShellLink::Resolve and IShellLink::GetPath.
constexpr DWORD kResolveWithoutUi = SLR_NO_UI;
constexpr DWORD kPreferUncPath = SLGP_UNCPRIORITY;
constexpr int kArgumentsBuffer = 255;

// An item list the shell allocated; it goes back to the shell's allocator (on
// Windows 95 without a newer shell that is not yet the COM task allocator).
struct ItemListFree {
    void operator()(ITEMIDLIST* items) const {
        IMalloc* shellAllocator = nullptr;
        if (SUCCEEDED(SHGetMalloc(&shellAllocator)) && shellAllocator != nullptr) {
            shellAllocator->Free(items);
            shellAllocator->Release();
        } else {
            CoTaskMemFree(items);
        }
    }
};
using UniqueItemList = std::unique_ptr<ITEMIDLIST, ItemListFree>;

}  // namespace

std::optional<std::string> Win32Shell::specialFolderPath(platform::WindowHandle owner, int32_t folder) {
    HWND window = owner != nullptr ? static_cast<HWND>(owner) : GetDesktopWindow();
    ITEMIDLIST* rawItems = nullptr;
    const HRESULT located = SHGetSpecialFolderLocation(window, folder, &rawItems);
    const UniqueItemList items(rawItems);
    if (FAILED(located) || items == nullptr) {
        return std::nullopt;
    }
    char path[MAX_PATH + 1] = {};
    if (!SHGetPathFromIDListA(items.get(), path)) {
        return std::nullopt;
    }
    return bufferText(path);
}

ShellLinkResolution Win32Shell::resolveShellLink(const std::string& linkFile) {
    const ComInitialised com;
    ShellLinkResolution resolution;
    ComReference<IShellLinkA> link;
    ComReference<IPersistFile> file;
    HRESULT status = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                      link.receive());
    if (SUCCEEDED(status)) {
        status = link->QueryInterface(IID_IPersistFile, file.receive());
    }
    if (SUCCEEDED(status)) {
        const std::wstring wideName = wideFromAnsi(linkFile);
        status = file->Load(wideName.c_str(), STGM_READ);
    }
    if (SUCCEEDED(status)) {
        status = link->Resolve(nullptr, kResolveWithoutUi);
    }
    if (SUCCEEDED(status)) {
        char target[MAX_PATH + 1] = {};
        WIN32_FIND_DATAA found{};
        status = link->GetPath(target, MAX_PATH, &found, kPreferUncPath);
        resolution.target = bufferText(target);
    }
    if (SUCCEEDED(status)) {
        char arguments[kArgumentsBuffer + 1] = {};
        status = link->GetArguments(arguments, kArgumentsBuffer);
        resolution.arguments = bufferText(arguments);
    }
    resolution.status = static_cast<int32_t>(status);
    return resolution;
}

uint32_t Win32Shell::openAddress(platform::WindowHandle parent, const std::string& target) {
    const HINSTANCE result =
        ShellExecuteA(static_cast<HWND>(parent), nullptr, target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(result));
}

}  // namespace vardak::win32
