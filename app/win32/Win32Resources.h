// The program's own resources: string tables, pictures (bitmap files and JPEG
// pictures stored as raw data) and the window layout text.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "app/VardakServices.h"

namespace vardak::app::win32 {

class Win32Resources final : public ResourceSource {
public:
    std::string loadString(int id) override;
    std::shared_ptr<const grell::TGrellGraphic> loadPicture(std::string_view name) override;
    // The raw data resource of this name; nothing when there is none.
    std::optional<std::span<const uint8_t>> rawData(std::string_view name) const;
};

// Name of the data resource that holds the summary window's layout.
constexpr char kLayoutResource[] = "VARDAK_LAYOUT";

}  // namespace vardak::app::win32
