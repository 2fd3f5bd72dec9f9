// A library that leaves a mark when it is loaded: a file named after itself with
// ".loaded" appended. Planted in a current folder under a system library's name, it
// shows whether a program took the library from there.
#include <windows.h>

#include <string>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH + 1] = {};
        const DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
        const std::string mark = std::string(path, length) + ".loaded";
        const HANDLE file = CreateFileA(mark.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
        }
    }
    return TRUE;
}
