// The component library's Win32 services against the real API: the pool's window
// timer ticks through SetTimer and WM_TIMER, and the named mutex tells a second
// instance that the first exists.
#include "grell/system/win32/Win32GrellHost.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "grell/system/GrellApp.h"

namespace vardak::grell {
namespace {

// Dispatches this thread's messages until `done` says so or `milliseconds` pass.
template <class Done>
void pumpMessages(DWORD milliseconds, Done done) {
    const DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < milliseconds) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

TEST(GrellHostWineTest, PoolTimerTicksThroughWindowTimerMessages) {
    win32::Win32GrellHost host;
    TGrellApplication application(nullptr, host);
    TGrellTimerPool& pool = application.timerPool();
    int ticks = 0;
    TObject* sender = nullptr;
    pool.addTimer(7, 100, [&](TObject& from) {
        ++ticks;
        sender = &from;
    });
    EXPECT_TRUE(pool.active());
    // Under emulation a tick can be late; three of them come within seconds.
    pumpMessages(20000, [&] { return ticks >= 3; });
    EXPECT_GE(ticks, 3);
    EXPECT_EQ(sender, &pool);

    pool.removeTimer(7);
    EXPECT_FALSE(pool.active());
    const int stoppedAt = ticks;
    pumpMessages(500, [] { return false; });
    EXPECT_EQ(ticks, stoppedAt) << "no timer messages after the last timer went";
}

TEST(GrellHostWineTest, NamedMutexKnowsWhetherItExistedBefore) {
    win32::Win32GrellHost host;
    const std::string name = "VardakGrellHostTest-" + std::to_string(GetCurrentProcessId());
    {
        const auto first = host.createInstanceMutex(name);
        const auto second = host.createInstanceMutex(name);
        EXPECT_FALSE(first->alreadyExisted());
        EXPECT_TRUE(second->alreadyExisted());
    }
    EXPECT_FALSE(host.createInstanceMutex(name)->alreadyExisted()) << "closed with its last handle";

    // The application object names its mutex after the program file.
    EXPECT_EQ(programFileName(host.programPath()), "vardak_wine_tests.exe");
    TGrellApplication first(nullptr, host);
    TGrellApplication second(nullptr, host);
    EXPECT_TRUE(second.anotherInstanceRunning());
}

}  // namespace
}  // namespace vardak::grell
