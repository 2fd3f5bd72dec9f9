#include "grell/system/GrellApp.h"

#include "grell/system/GrellExceptions.h"

namespace vardak::grell {

std::string programFileName(const std::string& programPath) {
    const size_t slash = programPath.find_last_of("\\/:");
    return slash == std::string::npos ? programPath : programPath.substr(slash + 1);
}

TGrellApplication::TGrellApplication(TComponent* owner, GrellHost& host) : TComponent(owner), host_(host) {
    mutex_ = host_.createInstanceMutex(programFileName(host_.programPath()));
    anotherInstance_ = mutex_ && mutex_->alreadyExisted();
    timerPool_ = new TGrellTimerPool(
        this, [this](std::function<void()> tick) { return host_.createWindowTimer(std::move(tick)); },
        [this](const std::exception& error) { host_.handleException(error); });
    timerPool_->setMinInterval(kPoolMinInterval);
    timerPool_->loaded();
}

TGrellApplication::~TGrellApplication() = default;

bool TGrellApplication::isControlTimerIdent(uint16_t ident) {
    return ident > kControlTimerBase && ident <= kControlTimerBase + kControlTimerSlots;
}

bool TGrellApplication::slotUsed(int slot) const {
    return slot >= 1 && slot <= kControlTimerSlots && slotUsed_[static_cast<size_t>(slot - 1)];
}

uint16_t TGrellApplication::allocateControlTimer(uint16_t interval, TimerHandler handler) {
    for (int slot = 1; slot <= kControlTimerSlots; ++slot) {
        if (slotUsed(slot)) continue;
        const auto ident = static_cast<uint16_t>(kControlTimerBase + slot);
        timerPool_->addTimer(ident, interval, std::move(handler));
        slotUsed_[static_cast<size_t>(slot - 1)] = true;
        return ident;
    }
    throw EOutOfResources("Not enough timers available");
}

bool TGrellApplication::freeControlTimer(uint16_t ident) {
    if (!isControlTimerIdent(ident)) return false;
    const int slot = ident - kControlTimerBase;
    if (!slotUsed(slot)) return false;
    timerPool_->removeTimer(ident);
    slotUsed_[static_cast<size_t>(slot - 1)] = false;
    return true;
}

TGrellTimerItem* TGrellApplication::timerItem(uint16_t ident) const {
    return timerPool_->find(ident);
}

}  // namespace vardak::grell
