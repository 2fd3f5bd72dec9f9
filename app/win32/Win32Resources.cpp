#include "app/win32/Win32Resources.h"

#include <windows.h>

#include "app/win32/JpegImage.h"
#include "grell/controls/GrellImageList.h"

namespace vardak::app::win32 {

std::string Win32Resources::loadString(int id) {
    char buffer[4096];
    const int length = LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(id), buffer, sizeof buffer);
    return length > 0 ? std::string(buffer, static_cast<size_t>(length)) : std::string();
}

std::optional<std::span<const uint8_t>> Win32Resources::rawData(std::string_view name) const {
    const std::string resourceName(name);
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, resourceName.c_str(), MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (found == nullptr) return std::nullopt;
    HGLOBAL loaded = LoadResource(module, found);
    const DWORD size = SizeofResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (data == nullptr) return std::nullopt;
    return std::span<const uint8_t>(static_cast<const uint8_t*>(data), size);
}

std::shared_ptr<const grell::TGrellGraphic> Win32Resources::loadPicture(std::string_view name) {
    const std::optional<std::span<const uint8_t>> bytes = rawData(name);
    if (!bytes) return nullptr;
    if (std::optional<grell::Bitmap32> jpeg = decodeJpeg(*bytes)) {
        return std::make_shared<grell::TGrellGraphic>(grell::TGraphicKind::Jpeg, std::move(*jpeg));
    }
    grell::TGrellPalette palette;
    if (std::optional<grell::Bitmap32> bitmap = grell::decodeBmp(*bytes, &palette)) {
        return std::make_shared<grell::TGrellGraphic>(grell::TGraphicKind::Bitmap, std::move(*bitmap),
                                                      std::move(palette));
    }
    return nullptr;
}

}  // namespace vardak::app::win32
