// Owners for the Win32 handles and COM references the backend holds, and helpers:
// for calls that older Windows versions lack, for calls that could raise system
// boxes, for COM on the calling thread, for texts in fixed-size buffers and for
// wide texts.
// Only code that includes <windows.h> anyway includes this header.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace vardak::win32 {

// Closes a handle with `Close` unless it equals `invalid`.
template <typename Handle, auto Close, Handle (*Invalid)()>
class UniqueResource {
public:
    UniqueResource() = default;
    explicit UniqueResource(Handle handle) : handle_(handle) {}
    ~UniqueResource() { reset(); }

    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : handle_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Invalid(); }

    // For out-parameters of the creating call: the previous handle is closed.
    Handle* receive() {
        reset();
        return &handle_;
    }

    Handle release() { return std::exchange(handle_, Invalid()); }

    void reset(Handle handle = Invalid()) {
        if (handle_ != Invalid()) {
            Close(handle_);
        }
        handle_ = handle;
    }

private:
    Handle handle_ = Invalid();
};

inline HKEY noKey() { return nullptr; }
inline HANDLE noHandle() { return nullptr; }
inline HANDLE invalidFileHandle() { return INVALID_HANDLE_VALUE; }

// A registry key; predefined roots are never wrapped.
using UniqueKey = UniqueResource<HKEY, RegCloseKey, noKey>;
// A kernel object handle whose failure value is NULL (process, thread, pipe end).
using UniqueHandle = UniqueResource<HANDLE, CloseHandle, noHandle>;
// A file handle from CreateFile, whose failure value is INVALID_HANDLE_VALUE.
using UniqueFile = UniqueResource<HANDLE, CloseHandle, invalidFileHandle>;
// A search handle from FindFirstFile.
using UniqueFind = UniqueResource<HANDLE, FindClose, invalidFileHandle>;

inline HGDIOBJ noGdiObject() { return nullptr; }
// A font, brush or pen this code created (never a stock object).
using UniqueGdiObject = UniqueResource<HGDIOBJ, DeleteObject, noGdiObject>;

inline HICON noIcon() { return nullptr; }
// An icon this code was given to destroy (ImageList_GetIcon, SHGetFileInfo).
using UniqueIcon = UniqueResource<HICON, DestroyIcon, noIcon>;
inline HMENU noMenu() { return nullptr; }
// A menu not attached to a window.
using UniqueMenu = UniqueResource<HMENU, DestroyMenu, noMenu>;
inline HIMAGELIST noImageList() { return nullptr; }
using UniqueImageList = UniqueResource<HIMAGELIST, ImageList_Destroy, noImageList>;

// The text of a fixed-size buffer the system filled: up to its first NUL, never
// past its end.
template <size_t Size>
std::string bufferText(const char (&buffer)[Size]) {
    return std::string(buffer, strnlen(buffer, Size));
}

// Keeps the system's "insert a disk" and "drive not ready" boxes away while a
// drive is queried, restoring the caller's mode afterwards.
class CriticalErrorsSuppressed {
public:
    CriticalErrorsSuppressed() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    ~CriticalErrorsSuppressed() { SetErrorMode(previous_); }
    CriticalErrorsSuppressed(const CriticalErrorsSuppressed&) = delete;
    CriticalErrorsSuppressed& operator=(const CriticalErrorsSuppressed&) = delete;

private:
    UINT previous_;
};

// Owns one reference to a COM interface.
template <typename Interface>
class ComReference {
public:
    ComReference() = default;
    ~ComReference() {
        if (pointer_ != nullptr) {
            pointer_->Release();
        }
    }
    ComReference(const ComReference&) = delete;
    ComReference& operator=(const ComReference&) = delete;

    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // For out-parameters of the creating call; the reference held must be none.
    void** receive() { return reinterpret_cast<void**>(&pointer_); }

private:
    Interface* pointer_ = nullptr;
};

// The component object model, initialised on this thread for the object's lifetime.
class ComInitialised {
public:
    ComInitialised() : result_(CoInitialize(nullptr)) {}
    ~ComInitialised() {
        if (SUCCEEDED(result_)) {
            CoUninitialize();
        }
    }
    ComInitialised(const ComInitialised&) = delete;
    ComInitialised& operator=(const ComInitialised&) = delete;

private:
    HRESULT result_;
};

// An ANSI text in UTF-16, for the interfaces that take only wide texts.
inline std::wstring wideFromAnsi(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::vector<wchar_t> wide(static_cast<size_t>(length));
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    return std::wstring(wide.data());
}

// An entry point of a loaded system module (kernel32, ntdll) that older Windows
// versions lack, or nullptr.
template <typename Function>
Function moduleEntry(const char* module, const char* name) {
    HMODULE loaded = GetModuleHandleA(module);
    if (loaded == nullptr) {
        return nullptr;
    }
    // The detour through void(*)() keeps the compiler quiet about casting
    // between unrelated function types.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(loaded, name)));
}

template <typename Function>
Function kernelEntry(const char* name) {
    return moduleEntry<Function>("kernel32.dll", name);
}

}  // namespace vardak::win32
