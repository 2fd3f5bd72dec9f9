// Errors of the component library beyond the framework's own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/Exception.h"

namespace vardak::grell {

// A system resource (a window timer, a timer slot) is exhausted.
class EOutOfResources : public Exception {
public:
    using Exception::Exception;
    std::string_view className() const noexcept override { return "EOutOfResources"; }
};

// A value or an index outside the range it is defined for.
class ERangeError : public Exception {
public:
    using Exception::Exception;
    std::string_view className() const noexcept override { return "ERangeError"; }
};

// An error the system reported for a call: its code and its text for it (without a
// text of the system's, the message names the code).
class EOSError : public Exception {
public:
    EOSError(uint32_t errorCode, std::string_view systemText)
        : Exception(systemText.empty() ? "System error " + std::to_string(errorCode) : std::string(systemText)),
          errorCode_(errorCode) {}

    uint32_t errorCode() const noexcept { return errorCode_; }
    std::string_view className() const noexcept override { return "EOSError"; }

private:
    uint32_t errorCode_;
};

}  // namespace vardak::grell
