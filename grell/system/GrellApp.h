// The component library's application object: one per program, holding the shared
// timer pool and the table of control timers handed out to the controls.
#pragma once

#include <array>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>

#include "framework/Classes.h"
#include "grell/system/GrellTimerPool.h"

namespace vardak::grell {

// A named mutex held for the application object's life.
class InstanceMutex {
public:
    virtual ~InstanceMutex() = default;
    // True when another process had created the mutex before.
    virtual bool alreadyExisted() const = 0;
};

// What the application object needs from the system.
class GrellHost {
public:
    virtual ~GrellHost() = default;
    virtual std::unique_ptr<WindowTimer> createWindowTimer(std::function<void()> tick) = 0;
    virtual std::unique_ptr<InstanceMutex> createInstanceMutex(const std::string& name) = 0;
    // The application's exception handler.
    virtual void handleException(const std::exception& error) = 0;
    // Full path of the running program.
    virtual std::string programPath() = 0;
};

class TGrellApplication : public TComponent {
public:
    static constexpr uint16_t kPoolMinInterval = 50;
    static constexpr int kControlTimerSlots = 250;
    // Control timer identifiers are kControlTimerBase + slot, slots 1 to 250.
    static constexpr uint16_t kControlTimerBase = 0xFD00;

    TGrellApplication(TComponent* owner, GrellHost& host);
    ~TGrellApplication() override;

    std::string_view className() const override { return "TGrellApplication"; }

    TGrellTimerPool& timerPool() { return *timerPool_; }
    bool anotherInstanceRunning() const { return anotherInstance_; }

    // Takes the first free slot, adds a pool timer for it and returns its identifier.
    // Raises EOutOfResources when every slot is taken; pool errors pass through.
    uint16_t allocateControlTimer(uint16_t interval, TimerHandler handler);
    // Frees a timer of allocateControlTimer; false (and nothing done) for any other
    // identifier.
    bool freeControlTimer(uint16_t ident);
    TGrellTimerItem* timerItem(uint16_t ident) const;
    bool slotUsed(int slot) const;

    static bool isControlTimerIdent(uint16_t ident);

private:
    GrellHost& host_;
    std::unique_ptr<InstanceMutex> mutex_;
    bool anotherInstance_ = false;
    TGrellTimerPool* timerPool_;  // owned as a component
    std::array<bool, kControlTimerSlots> slotUsed_{};
};

// The program file's name without its folder.
std::string programFileName(const std::string& programPath);

}  // namespace vardak::grell
