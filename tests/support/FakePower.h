// A power status for tests: the record the query returns, or a failing query.
#pragma once

#include <optional>

#include "platform/Power.h"

namespace vardak::testing {

class FakePower : public platform::Power {
public:
    std::optional<platform::PowerStatus> systemPowerStatus() override { return status; }

    // Nothing: the query fails.
    std::optional<platform::PowerStatus> status = platform::PowerStatus{};
};

}  // namespace vardak::testing
