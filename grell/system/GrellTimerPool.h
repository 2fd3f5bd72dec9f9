// Many logical timers driven by one window timer: any number of controls get timed
// behaviour (repeated clicks, mouse tracking) without an operating-system timer each.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "framework/Classes.h"
#include "platform/WindowTimer.h"

namespace vardak::grell {

// The one system timer behind a pool; tests drive the ticks by hand.
using WindowTimer = platform::WindowTimer;
// Creates a pool's window timer on its first start; `tick` is to be called on every
// timer message.
using WindowTimerFactory = platform::WindowTimerFactory;
// Receives what a timer handler raised (the application's exception handler).
using ExceptionHandler = std::function<void(const std::exception&)>;

using TimerHandler = std::function<void(TObject& sender)>;
using TimerPoolEvent = std::function<void(TObject& sender, uint16_t ident, int32_t counter)>;

constexpr uint16_t kDefaultTimerInterval = 1000;
constexpr int32_t kUnlimitedCalls = -1;

class TGrellTimerPool;

// One logical timer of a pool.
class TGrellTimerItem : public TObject {
public:
    // Raises EInvalidOperation without a pool.
    TGrellTimerItem(TGrellTimerPool* pool, uint16_t ident);
    ~TGrellTimerItem() override;

    std::string_view className() const override { return "TGrellTimerItem"; }

    int32_t callCount() const { return callCount_; }
    // After this many firings the item disables itself; kUnlimitedCalls for no limit.
    void setCallCount(int32_t calls) { callCount_ = calls; }
    int32_t counter() const { return counter_; }
    bool enabled() const { return enabled_; }
    // Enabling is refused while the call count is 0; any change restarts the counter.
    void setEnabled(bool enabled);
    uint16_t ident() const { return ident_; }
    uint16_t interval() const { return interval_; }
    // Ignored when equal to the current interval or not a multiple of the pool's
    // minimum interval; 0 stands for the minimum interval.
    void setInterval(uint16_t interval);
    uint16_t tickDivisor() const { return tickDivisor_; }
    TGrellTimerPool* pool() const { return pool_; }
    void setHandler(TimerHandler handler) { handler_ = std::move(handler); }

private:
    friend class TGrellTimerPool;
    void fire();
    void recomputeDivisor();

    int32_t callCount_ = kUnlimitedCalls;
    int32_t counter_ = 0;
    bool enabled_ = true;
    uint16_t ident_;
    uint16_t interval_ = kDefaultTimerInterval;
    uint16_t tickDivisor_ = 1;
    TGrellTimerPool* pool_;
    bool listed_ = false;
    TimerHandler handler_;
};

class TGrellTimerPool : public TComponent {
public:
    static constexpr uint16_t kDefaultMinInterval = 1000;

    // The pool starts in the loading state, in which the minimum interval may change;
    // loaded() ends it.
    TGrellTimerPool(TComponent* owner, WindowTimerFactory timerFactory, ExceptionHandler onError);
    ~TGrellTimerPool() override;

    std::string_view className() const override { return "TGrellTimerPool"; }
    void publishProperties(PropertyTable& table) const override;
    void loaded() override { loading_ = false; }
    bool loading() const { return loading_; }

    uint16_t minInterval() const { return minInterval_; }
    // Only while loading; 0 is refused.
    void setMinInterval(uint16_t interval);

    // Called for items without a handler of their own.
    TimerPoolEvent onTimer;

    // Adds an enabled, unlimited timer and starts the window timer; returns its list
    // position. Raises EListError for an identifier in use and EInvalidOperation for
    // an interval that is not a positive multiple of the minimum interval; when the
    // window timer cannot start, the item is taken out again and EOutOfResources raised.
    int addTimer(uint16_t ident, uint16_t interval, TimerHandler handler = {});
    // Unknown identifiers are ignored. Inside a tick the item is freed after the tick.
    void removeTimer(uint16_t ident);
    int indexOf(uint16_t ident) const;
    TGrellTimerItem* find(uint16_t ident) const;
    void setInterval(uint16_t ident, uint16_t interval);
    void setEnabled(uint16_t ident, bool enabled);
    int enabledCount() const;
    int count() const { return static_cast<int>(items_.size()); }
    TGrellTimerItem* item(int index) const;

    // Starts (when an item is enabled) or stops the window timer. Raises
    // EOutOfResources when the system refuses a timer.
    void setActive(bool active);
    bool active() const { return active_; }
    int32_t tickCounter() const { return tickCounter_; }

    // No ticks are dispatched while an update is open.
    void beginUpdate() { ++updateLock_; }
    void endUpdate();

    // One message of the window timer.
    void tick();

private:
    friend class TGrellTimerItem;
    void detach(TGrellTimerItem* item);
    void dispatchTick();
    void fireSafely(TGrellTimerItem& item);
    void freeRetired();

    WindowTimerFactory timerFactory_;
    ExceptionHandler onError_;
    std::unique_ptr<WindowTimer> windowTimer_;
    std::vector<TGrellTimerItem*> items_;    // owned
    std::vector<TGrellTimerItem*> retired_;  // removed during a tick, owned until it ends
    uint16_t minInterval_ = kDefaultMinInterval;
    bool loading_ = true;
    bool active_ = false;
    bool inTick_ = false;
    int updateLock_ = 0;
    int32_t tickCounter_ = 0;
};

}  // namespace vardak::grell
