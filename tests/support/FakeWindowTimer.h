// A window timer for tests: it records its state, and the test calls the tick by hand.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/WindowTimer.h"

namespace vardak::testing {

struct TimerState {
    bool running = false;
    uint32_t period = 0;
    int starts = 0;
    bool refuse = false;  // the system has no timer left
    std::function<void()> tick;
};

class FakeWindowTimer final : public platform::WindowTimer {
public:
    explicit FakeWindowTimer(TimerState& state) : state_(state) {}
    ~FakeWindowTimer() override { state_.running = false; }
    bool start(uint32_t milliseconds) override {
        if (state_.refuse) return false;
        state_.running = true;
        state_.period = milliseconds;
        ++state_.starts;
        return true;
    }
    void stop() override { state_.running = false; }

private:
    TimerState& state_;
};

inline platform::WindowTimerFactory fakeTimerFactory(TimerState& state) {
    return [&state](std::function<void()> tick) {
        state.tick = std::move(tick);
        return std::make_unique<FakeWindowTimer>(state);
    };
}

}  // namespace vardak::testing
