#include "grell/system/win32/Win32GrellHost.h"

#include <windows.h>

#include "platform/win32/Win32WindowTimer.h"

namespace vardak::grell::win32 {

namespace {

class Win32InstanceMutex final : public InstanceMutex {
public:
    explicit Win32InstanceMutex(const std::string& name) {
        handle_ = CreateMutexA(nullptr, FALSE, name.c_str());
        existed_ = handle_ != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
    }
    ~Win32InstanceMutex() override {
        if (handle_ != nullptr) CloseHandle(handle_);
    }
    Win32InstanceMutex(const Win32InstanceMutex&) = delete;
    Win32InstanceMutex& operator=(const Win32InstanceMutex&) = delete;

    bool alreadyExisted() const override { return existed_; }

private:
    HANDLE handle_ = nullptr;
    bool existed_ = false;
};

}  // namespace

std::unique_ptr<WindowTimer> Win32GrellHost::createWindowTimer(std::function<void()> tick) {
    return vardak::win32::createWindowTimer(std::move(tick));
}

std::unique_ptr<InstanceMutex> Win32GrellHost::createInstanceMutex(const std::string& name) {
    return std::make_unique<Win32InstanceMutex>(name);
}

void Win32GrellHost::handleException(const std::exception& error) {
    MessageBoxA(GetActiveWindow(), error.what(), "Error", MB_OK | MB_ICONSTOP);
}

std::string Win32GrellHost::programPath() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length < MAX_PATH ? length : 0);
}

}  // namespace vardak::grell::win32
