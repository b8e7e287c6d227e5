// Under Wine (or Windows): the session's claim between two starts, each on a thread of its own as
// two processes' main threads would be.
#include "platform/Process.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

using lapforge::platform::SessionClaim;

namespace {

// The later start's request, once it has come to this thread; false when none came.
bool CalledForward() {
    const UINT message = SessionClaim::ComeForwardMessage();
    MSG got{};
    if (PeekMessageW(&got, nullptr, message, message, PM_REMOVE)) return true;
    // A safety net, not a measure: the request is posted before the later start waits.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10000, QS_POSTMESSAGE);
    return PeekMessageW(&got, nullptr, message, message, PM_REMOVE) != FALSE;
}

}  // namespace

TEST(SessionClaimWin32, ALaterStartCallsTheFirstForwardWithoutWaitingAndTakesOverARelease) {
    const std::wstring name = L"Local\\LapforgeTest.Claim." + std::to_wstring(GetCurrentProcessId());
    SessionClaim first(name.c_str());
    ASSERT_TRUE(first.First());

    // This thread reads no messages meanwhile, as a first one that hangs: the later start ends anyway.
    bool laterFirst = true;
    std::thread([&] { laterFirst = SessionClaim(name.c_str()).First(); }).join();
    EXPECT_FALSE(laterFirst);
    EXPECT_TRUE(CalledForward());

    // Released while a later start waits, as right after Exit: that start is the first now.
    bool tookOver = false;
    std::thread later([&] { tookOver = SessionClaim(name.c_str()).First(); });
    EXPECT_TRUE(CalledForward());
    first.Release();
    later.join();
    EXPECT_TRUE(tookOver);
}
