// ASPI requests with heap memory and a kernel event; an abandoned request is never
// freed, as the layer may still write to it.
#pragma once

#include "platform/Aspi.h"

namespace vardak::win32 {

class Win32AspiRequests final : public platform::AspiRequests {
public:
    std::unique_ptr<platform::AspiRequest> create(size_t dataLength) override;
    void abandon(std::unique_ptr<platform::AspiRequest> request) override;
};

}  // namespace vardak::win32
