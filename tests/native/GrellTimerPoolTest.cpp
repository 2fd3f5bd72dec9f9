// The shared timer pool and the application object's control timers.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "grell/system/GrellApp.h"
#include "grell/system/GrellExceptions.h"
#include "grell/system/GrellTimerPool.h"
#include "tests/native/GrellFakes.h"

namespace vardak::grell {
namespace {

using grelltest::FakeGrellHost;
using grelltest::TimerState;

class TimerPoolTest : public ::testing::Test {
protected:
    TimerPoolTest() {
        pool = std::make_unique<TGrellTimerPool>(nullptr, grelltest::fakeTimerFactory(timer),
                                                 [this](const std::exception& e) { errors.push_back(e.what()); });
        pool->setMinInterval(50);
        pool->loaded();
        pool->onTimer = [this](TObject&, uint16_t ident, int32_t counter) { fired.push_back({ident, counter}); };
    }

    void tick(int times = 1) {
        for (int i = 0; i < times; ++i) timer.tick();
    }

    struct Fired {
        uint16_t ident;
        int32_t counter;
        friend bool operator==(const Fired&, const Fired&) = default;
    };

    TimerState timer;
    std::vector<std::string> errors;
    std::vector<Fired> fired;
    std::unique_ptr<TGrellTimerPool> pool;
};

TEST_F(TimerPoolTest, IntervalThatIsNoMultipleOfTheMinimumIsRefused) {
    EXPECT_THROW(pool->addTimer(1, 120), EInvalidOperation);
    EXPECT_THROW(pool->addTimer(1, 20), EInvalidOperation);
    EXPECT_THROW(pool->addTimer(1, 0), EInvalidOperation);
    EXPECT_EQ(pool->count(), 0);
    try {
        pool->addTimer(1, 120);
    } catch (const EInvalidOperation& error) {
        EXPECT_EQ(error.message(), "Interval not compatible with MinInterval property!");
    }
}

TEST_F(TimerPoolTest, DivisorOfThreeFiresEveryThirdTick) {
    EXPECT_EQ(pool->addTimer(7, 150), 0);
    EXPECT_EQ(pool->find(7)->tickDivisor(), 3);
    EXPECT_TRUE(timer.running);
    EXPECT_EQ(timer.period, 50u);
    tick(9);  // ticks 1..9 fire at 3, 6 and 9
    EXPECT_EQ(fired, (std::vector<Fired>{{7, 1}, {7, 2}, {7, 3}}));
}

TEST_F(TimerPoolTest, DefaultIntervalStillGetsADivisor) {
    // Adding with the item's default interval leaves the interval unchanged; the
    // divisor must not stay 0 (a division by zero on the next tick).
    pool->addTimer(3, kDefaultTimerInterval);
    EXPECT_EQ(pool->find(3)->tickDivisor(), 20);
    tick(20);
    EXPECT_EQ(fired, (std::vector<Fired>{{3, 1}}));
}

TEST_F(TimerPoolTest, CallCountOneFiresOnceAndStaysDisabled) {
    pool->addTimer(4, 50);
    pool->find(4)->setCallCount(1);
    tick(5);
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_FALSE(pool->find(4)->enabled());
    pool->setEnabled(4, true);
    EXPECT_TRUE(pool->find(4)->enabled());
    pool->find(4)->setCallCount(0);
    pool->setEnabled(4, false);
    pool->setEnabled(4, true);
    EXPECT_FALSE(pool->find(4)->enabled()) << "enabling is refused while the call count is 0";
}

TEST_F(TimerPoolTest, DuplicateIdentifierIsRefused) {
    pool->addTimer(9, 100);
    EXPECT_THROW(pool->addTimer(9, 200), EListError);
    EXPECT_EQ(pool->count(), 1);
    EXPECT_EQ(pool->find(9)->interval(), 100);
}

TEST_F(TimerPoolTest, OwnHandlerIsCalledInsteadOfThePoolEvent) {
    int own = 0;
    pool->addTimer(1, 50, [&](TObject& sender) {
        EXPECT_EQ(&sender, pool.get());
        ++own;
    });
    pool->addTimer(2, 50);
    tick(2);
    EXPECT_EQ(own, 2);
    EXPECT_EQ(fired, (std::vector<Fired>{{2, 1}, {2, 2}}));
}

TEST_F(TimerPoolTest, ItemsFireInListOrder) {
    std::vector<int> order;
    pool->addTimer(30, 50, [&](TObject&) { order.push_back(30); });
    pool->addTimer(10, 50, [&](TObject&) { order.push_back(10); });
    pool->addTimer(20, 50, [&](TObject&) { order.push_back(20); });
    tick();
    EXPECT_EQ(order, (std::vector<int>{30, 10, 20}));
}

TEST_F(TimerPoolTest, SettingTheIntervalRestartsTheCounter) {
    pool->addTimer(1, 50);
    tick(3);
    pool->setInterval(1, 100);
    EXPECT_EQ(pool->find(1)->counter(), 0);
    EXPECT_EQ(pool->find(1)->tickDivisor(), 2);
    pool->setInterval(1, 130);  // no multiple: ignored
    EXPECT_EQ(pool->find(1)->interval(), 100);
    pool->setInterval(1, 0);  // the minimum
    EXPECT_EQ(pool->find(1)->interval(), 50);
    EXPECT_EQ(pool->find(1)->tickDivisor(), 1);
}

TEST_F(TimerPoolTest, UnknownIdentifiersAreIgnored) {
    pool->addTimer(1, 50);
    EXPECT_NO_THROW(pool->setEnabled(99, false));
    EXPECT_NO_THROW(pool->removeTimer(99));
    EXPECT_NO_THROW(pool->setInterval(99, 100));
    EXPECT_EQ(pool->find(99), nullptr);
    EXPECT_EQ(pool->indexOf(99), -1);
    EXPECT_EQ(pool->count(), 1);
    EXPECT_TRUE(timer.running);
}

TEST_F(TimerPoolTest, RemovingTheLastTimerStopsTheWindowTimer) {
    pool->addTimer(1, 50);
    pool->addTimer(2, 50);
    pool->removeTimer(1);
    EXPECT_TRUE(pool->active());
    pool->removeTimer(2);
    EXPECT_FALSE(pool->active());
    EXPECT_FALSE(timer.running);
}

TEST_F(TimerPoolTest, RefusedSystemTimerRaisesOutOfResourcesAndLeavesNoItem) {
    timer.refuse = true;
    try {
        pool->addTimer(1, 50);
        FAIL() << "no error";
    } catch (const EOutOfResources& error) {
        EXPECT_EQ(error.message(), "Not enough timers available");
    }
    EXPECT_EQ(pool->find(1), nullptr);
    timer.refuse = false;
    EXPECT_EQ(pool->addTimer(1, 50), 0) << "the identifier is free again";
    EXPECT_TRUE(timer.running);
}

TEST_F(TimerPoolTest, UpdateLockHoldsTicksBack) {
    pool->addTimer(1, 50);
    pool->beginUpdate();
    tick(3);
    EXPECT_TRUE(fired.empty());
    pool->endUpdate();
    tick();
    EXPECT_EQ(fired.size(), 1u);
}

TEST_F(TimerPoolTest, NestedTickIsIgnored) {
    int calls = 0;
    pool->addTimer(1, 50, [&](TObject&) {
        ++calls;
        tick();  // a handler that pumps messages
    });
    tick();
    EXPECT_EQ(calls, 1);
}

TEST_F(TimerPoolTest, RaisingHandlerReachesTheExceptionHandlerAndReleasesTheGuard) {
    int calls = 0;
    pool->addTimer(1, 50, [&](TObject&) {
        ++calls;
        throw std::runtime_error("handler failed");
    });
    pool->addTimer(2, 50);
    tick();
    tick();
    EXPECT_EQ(calls, 2) << "the pool must keep dispatching after a failure";
    EXPECT_EQ(errors, (std::vector<std::string>{"handler failed", "handler failed"}));
    EXPECT_EQ(fired.size(), 2u) << "the other timer still fires";
}

TEST_F(TimerPoolTest, ItemRemovedInsideATickIsNotUsedAfterwards) {
    int selfCalls = 0;
    pool->addTimer(1, 50, [&](TObject&) {
        ++selfCalls;
        pool->removeTimer(1);  // removes itself while its handler runs
        pool->removeTimer(2);  // and the next one in the list
    });
    pool->addTimer(2, 50);
    pool->addTimer(3, 50);
    tick();
    EXPECT_EQ(selfCalls, 1);
    EXPECT_EQ(fired, (std::vector<Fired>{{3, 1}}));
    EXPECT_EQ(pool->count(), 1);
    tick();
    EXPECT_EQ(selfCalls, 1);
}

TEST_F(TimerPoolTest, TickCounterStartsAtOneOnStart) {
    pool->addTimer(1, 50);
    EXPECT_EQ(pool->tickCounter(), 1);
    tick(3);
    EXPECT_EQ(pool->tickCounter(), 4);
}

TEST_F(TimerPoolTest, MinIntervalChangesOnlyWhileLoading) {
    pool->setMinInterval(100);
    EXPECT_EQ(pool->minInterval(), 50);
    TGrellTimerPool fresh(nullptr, grelltest::fakeTimerFactory(timer), {});
    EXPECT_EQ(fresh.minInterval(), 1000);
    fresh.setMinInterval(0);
    EXPECT_EQ(fresh.minInterval(), 1000);
    fresh.setMinInterval(25);
    EXPECT_EQ(fresh.minInterval(), 25);
}

TEST(TimerItemTest, ItemWithoutPoolIsAnInvalidOperation) {
    try {
        TGrellTimerItem item(nullptr, 1);
        FAIL() << "no error";
    } catch (const EInvalidOperation& error) {
        EXPECT_EQ(error.message(), "TGrellTimerItem: Invalid Owner or List");
    }
}

// ---------------------------------------------------------------- application object

class ApplicationTest : public ::testing::Test {
protected:
    FakeGrellHost host;
    TGrellApplication application{nullptr, host};
};

TEST_F(ApplicationTest, MutexIsNamedAfterTheProgramFile) {
    EXPECT_EQ(host.mutexNames, (std::vector<std::string>{"Vardak.exe"}));
    EXPECT_FALSE(application.anotherInstanceRunning());
    FakeGrellHost second;
    second.otherInstance = true;
    TGrellApplication other(nullptr, second);
    EXPECT_TRUE(other.anotherInstanceRunning());
}

TEST_F(ApplicationTest, PoolRunsAtFiftyMilliseconds) {
    EXPECT_EQ(application.timerPool().minInterval(), 50);
    EXPECT_FALSE(application.timerPool().loading());
}

TEST_F(ApplicationTest, ControlTimersTakeTheFirstFreeSlot) {
    const uint16_t first = application.allocateControlTimer(100, {});
    const uint16_t second = application.allocateControlTimer(100, {});
    EXPECT_EQ(first, 0xFD01);
    EXPECT_EQ(second, 0xFD02);
    EXPECT_TRUE(application.slotUsed(1));
    EXPECT_TRUE(application.freeControlTimer(first));
    EXPECT_FALSE(application.slotUsed(1));
    EXPECT_TRUE(application.slotUsed(2));
    EXPECT_EQ(application.allocateControlTimer(100, {}), 0xFD01);
}

TEST_F(ApplicationTest, LastSlotMapsToTheLastTableEntry) {
    for (int slot = 1; slot < TGrellApplication::kControlTimerSlots; ++slot) application.allocateControlTimer(50, {});
    const uint16_t last = application.allocateControlTimer(50, {});
    EXPECT_EQ(last, 0xFD00 + 250);
    EXPECT_TRUE(application.slotUsed(250));
    EXPECT_THROW(application.allocateControlTimer(50, {}), EOutOfResources);
    EXPECT_TRUE(application.freeControlTimer(last));
    EXPECT_FALSE(application.slotUsed(250));
    EXPECT_TRUE(application.slotUsed(249));
}

TEST_F(ApplicationTest, IdentifiersOutsideTheControlTimerRangeAreRefused) {
    application.timerPool().addTimer(0xFD00, 50);
    application.timerPool().addTimer(0xFDFB, 50);
    EXPECT_FALSE(application.freeControlTimer(0xFD00));
    EXPECT_FALSE(application.freeControlTimer(0xFDFB));
    EXPECT_FALSE(application.freeControlTimer(0xFFFF));
    EXPECT_FALSE(application.freeControlTimer(0xFD05)) << "a slot never handed out";
    EXPECT_NE(application.timerItem(0xFD00), nullptr);
    EXPECT_NE(application.timerItem(0xFDFB), nullptr);
}

TEST_F(ApplicationTest, ControlTimerFiresItsHandlerAndReportsFailures) {
    int calls = 0;
    const uint16_t ident = application.allocateControlTimer(100, [&](TObject&) {
        if (++calls == 2) throw std::runtime_error("boom");
    });
    EXPECT_NE(application.timerItem(ident), nullptr);
    host.tick(4);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(host.errors, (std::vector<std::string>{"boom"}));
    host.tick(2);
    EXPECT_EQ(calls, 3);
}

TEST_F(ApplicationTest, PoolErrorsPassThroughAndKeepTheSlotFree) {
    EXPECT_THROW(application.allocateControlTimer(75, {}), EInvalidOperation);
    EXPECT_FALSE(application.slotUsed(1));
    host.timer.refuse = true;
    EXPECT_THROW(application.allocateControlTimer(50, {}), EOutOfResources);
    host.timer.refuse = false;
    EXPECT_EQ(application.allocateControlTimer(50, {}), 0xFD01) << "a failed start does not block the slot";
}

TEST(ProgramFileNameTest, StripsTheFolder) {
    EXPECT_EQ(programFileName("C:\\A\\B\\Vardak.exe"), "Vardak.exe");
    EXPECT_EQ(programFileName("/opt/x/Vardak.exe"), "Vardak.exe");
    EXPECT_EQ(programFileName("Vardak.exe"), "Vardak.exe");
}

}  // namespace
}  // namespace vardak::grell
