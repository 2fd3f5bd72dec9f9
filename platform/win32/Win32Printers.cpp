#include "platform/win32/Win32Printers.h"

#include <windows.h>

#include <array>
#include <vector>

namespace vardak::win32 {
namespace {

// Level 5 carries the name and the port on both Windows lines without asking the
// servers of connected printers for their queues.
constexpr DWORD kInfoLevel = 5;
// The 95/98 line lists connected printers among the local ones and may refuse the
// connections flag.
constexpr DWORD kLocalAndConnected = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
constexpr DWORD kLocal = PRINTER_ENUM_LOCAL;
// A printer added between the size query and the enumeration needs one more round.
constexpr int kEnumerationRounds = 3;
// "name,driver,port": a longer entry is no printer's.
constexpr DWORD kDeviceEntrySize = 1024;

std::string textOf(const char* text) {
    return text == nullptr ? std::string() : std::string(text);
}

// The level-5 records of one enumeration, or nothing when it fails.
std::optional<std::vector<BYTE>> enumerate(DWORD flags, DWORD& count) {
    DWORD needed = 0;
    count = 0;
    if (EnumPrintersA(flags, nullptr, kInfoLevel, nullptr, 0, &needed, &count)) {
        return std::vector<BYTE>();
    }
    for (int round = 0; round < kEnumerationRounds; ++round) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0) {
            return std::nullopt;
        }
        std::vector<BYTE> buffer(needed);
        if (EnumPrintersA(flags, nullptr, kInfoLevel, buffer.data(), needed, &needed, &count)) {
            return buffer;
        }
    }
    return std::nullopt;
}

}  // namespace

std::vector<platform::PrinterEntry> Win32Printers::installedPrinters() {
    DWORD count = 0;
    std::optional<std::vector<BYTE>> records = enumerate(kLocalAndConnected, count);
    if (!records) {
        records = enumerate(kLocal, count);
    }
    std::vector<platform::PrinterEntry> printers;
    if (!records || records->size() < count * sizeof(PRINTER_INFO_5A)) {
        return printers;
    }
    const auto* info = reinterpret_cast<const PRINTER_INFO_5A*>(records->data());
    for (DWORD index = 0; index < count; ++index) {
        printers.push_back({textOf(info[index].pPrinterName), textOf(info[index].pPortName)});
    }
    return printers;
}

std::optional<std::string> Win32Printers::defaultPrinter() {
    std::array<char, kDeviceEntrySize> entry{};
    const DWORD length = GetProfileStringA("windows", "device", "", entry.data(), kDeviceEntrySize);
    const std::string device(entry.data(), length);
    const std::string name = device.substr(0, device.find(','));
    if (name.empty()) {
        return std::nullopt;
    }
    return name;
}

}  // namespace vardak::win32
