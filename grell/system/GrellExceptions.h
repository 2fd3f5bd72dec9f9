// Errors of the component library beyond the framework's own.
#pragma once

#include "framework/Exception.h"

namespace vardak::grell {

// A system resource (a window timer, a timer slot) is exhausted.
class EOutOfResources : public Exception {
public:
    using Exception::Exception;
    std::string_view className() const noexcept override { return "EOutOfResources"; }
};

}  // namespace vardak::grell
