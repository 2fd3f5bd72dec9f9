// The devices of the Windows multimedia interfaces through winmm.
#pragma once

#include "platform/Multimedia.h"

namespace vardak::win32 {

class Win32Multimedia final : public platform::Multimedia {
public:
    uint32_t deviceCount(platform::MultimediaKind kind) override;
    std::optional<std::vector<uint8_t>> capabilities(platform::MultimediaKind kind, uint32_t id) override;
};

}  // namespace vardak::win32
