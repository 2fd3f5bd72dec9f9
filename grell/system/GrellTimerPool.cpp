#include "grell/system/GrellTimerPool.h"

#include <algorithm>
#include <string>

#include "grell/system/GrellExceptions.h"

namespace vardak::grell {

namespace {

// Counters run on and never turn negative: past the top they start again at 0.
int32_t nextCount(int32_t value) {
    const auto next = static_cast<int32_t>(static_cast<uint32_t>(value) + 1u);
    return next < 0 ? 0 : next;
}

}  // namespace

// ---------------------------------------------------------------- TGrellTimerItem

TGrellTimerItem::TGrellTimerItem(TGrellTimerPool* pool, uint16_t ident) : ident_(ident), pool_(pool) {
    if (pool == nullptr) {
        throw EInvalidOperation(std::string(className()) + ": Invalid Owner or List");
    }
    recomputeDivisor();
}

TGrellTimerItem::~TGrellTimerItem() {
    enabled_ = false;
    if (listed_) pool_->detach(this);
}

void TGrellTimerItem::recomputeDivisor() {
    const uint16_t minimum = pool_->minInterval();
    tickDivisor_ = static_cast<uint16_t>(std::max(1, interval_ / minimum));
}

void TGrellTimerItem::setEnabled(bool enabled) {
    if (enabled == enabled_) return;
    if (enabled && callCount_ == 0) return;
    enabled_ = enabled;
    counter_ = 0;
}

void TGrellTimerItem::setInterval(uint16_t interval) {
    if (interval == interval_) return;
    const uint16_t minimum = pool_->minInterval();
    if (interval == 0) interval = minimum;
    if (interval % minimum != 0) return;
    interval_ = interval;
    recomputeDivisor();
    counter_ = 0;
}

void TGrellTimerItem::fire() {
    counter_ = nextCount(counter_);
    if (counter_ == callCount_) setEnabled(false);
    if (handler_) {
        handler_(*pool_);
    } else if (pool_->onTimer) {
        pool_->onTimer(*pool_, ident_, counter_);
    }
}

// ---------------------------------------------------------------- TGrellTimerPool

TGrellTimerPool::TGrellTimerPool(TComponent* owner, WindowTimerFactory timerFactory, ExceptionHandler onError)
    : TComponent(owner), timerFactory_(std::move(timerFactory)), onError_(std::move(onError)) {}

TGrellTimerPool::~TGrellTimerPool() {
    if (windowTimer_) windowTimer_->stop();
    while (!items_.empty()) delete items_.back();
    freeRetired();
}

void TGrellTimerPool::publishProperties(PropertyTable& table) const {
    TComponent::publishProperties(table);
    table.string("About", "TGrellTimerPool")
        .integer("MinInterval", minInterval_, "TGrellTimerInterval")
        .method("OnTimer", "TGrellTimerPoolEvent");
}

void TGrellTimerPool::setMinInterval(uint16_t interval) {
    if (!loading_ || interval == 0 || interval == minInterval_) return;
    minInterval_ = interval;
    for (TGrellTimerItem* item : items_) item->recomputeDivisor();
}

int TGrellTimerPool::addTimer(uint16_t ident, uint16_t interval, TimerHandler handler) {
    if (find(ident) != nullptr) {
        throw EListError("Timer identifier already in use (" + std::to_string(ident) + ")");
    }
    if (interval < minInterval_ || interval % minInterval_ != 0) {
        throw EInvalidOperation("Interval not compatible with MinInterval property!");
    }
    auto* item = new TGrellTimerItem(this, ident);
    items_.push_back(item);
    item->listed_ = true;
    item->setInterval(interval);
    item->setHandler(std::move(handler));
    try {
        setActive(true);
    } catch (...) {
        // An item left behind would keep its identifier taken while nothing runs it.
        delete item;
        throw;
    }
    return static_cast<int>(items_.size()) - 1;
}

void TGrellTimerPool::removeTimer(uint16_t ident) {
    TGrellTimerItem* item = find(ident);
    if (item == nullptr) return;
    beginUpdate();
    item->setEnabled(false);
    if (inTick_) {
        // The tick may still be running this item's handler: free it afterwards.
        detach(item);
        retired_.push_back(item);
    } else {
        item->handler_ = nullptr;
        delete item;
    }
    if (items_.empty()) setActive(false);
    endUpdate();
}

void TGrellTimerPool::detach(TGrellTimerItem* item) {
    items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
    item->listed_ = false;
}

int TGrellTimerPool::indexOf(uint16_t ident) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i]->ident() == ident) return static_cast<int>(i);
    }
    return -1;
}

TGrellTimerItem* TGrellTimerPool::find(uint16_t ident) const {
    const int index = indexOf(ident);
    return index < 0 ? nullptr : items_[static_cast<size_t>(index)];
}

TGrellTimerItem* TGrellTimerPool::item(int index) const {
    if (index < 0 || index >= count()) {
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    }
    return items_[static_cast<size_t>(index)];
}

void TGrellTimerPool::setInterval(uint16_t ident, uint16_t interval) {
    if (TGrellTimerItem* item = find(ident)) item->setInterval(interval);
}

void TGrellTimerPool::setEnabled(uint16_t ident, bool enabled) {
    if (TGrellTimerItem* item = find(ident)) item->setEnabled(enabled);
}

int TGrellTimerPool::enabledCount() const {
    return static_cast<int>(std::count_if(items_.begin(), items_.end(),
                                          [](const TGrellTimerItem* item) { return item->enabled(); }));
}

void TGrellTimerPool::setActive(bool active) {
    if (!windowTimer_) {
        windowTimer_ = timerFactory_([this] { tick(); });
        if (!windowTimer_) throw EOutOfResources("Not enough timers available");
    }
    active_ = false;
    windowTimer_->stop();
    if (!active || enabledCount() == 0) return;
    if (!windowTimer_->start(minInterval_)) throw EOutOfResources("Not enough timers available");
    tickCounter_ = 1;
    active_ = true;
}

void TGrellTimerPool::endUpdate() {
    if (updateLock_ > 0) --updateLock_;
}

void TGrellTimerPool::tick() {
    if (inTick_) return;
    {
        // Released however the tick ends, so one failing handler cannot stop the pool.
        struct TickGuard {
            bool& flag;
            explicit TickGuard(bool& f) : flag(f) { flag = true; }
            ~TickGuard() { flag = false; }
        } guard(inTick_);
        if (updateLock_ == 0) dispatchTick();
        tickCounter_ = nextCount(tickCounter_);
    }
    freeRetired();
}

void TGrellTimerPool::dispatchTick() {
    // Handlers may add and remove timers: walk a copy and skip what left the list.
    const std::vector<TGrellTimerItem*> snapshot = items_;
    for (TGrellTimerItem* item : snapshot) {
        if (!item->listed_ || !item->enabled_) continue;
        if (tickCounter_ % item->tickDivisor_ != 0) continue;
        fireSafely(*item);
    }
}

void TGrellTimerPool::fireSafely(TGrellTimerItem& item) {
    try {
        item.fire();
    } catch (const std::exception& error) {
        if (onError_) onError_(error);
    }
}

void TGrellTimerPool::freeRetired() {
    std::vector<TGrellTimerItem*> retired;
    retired.swap(retired_);
    for (TGrellTimerItem* item : retired) delete item;
}

}  // namespace vardak::grell
