#include "platform/ProcessModel.h"

#include <gtest/gtest.h>

using namespace lapforge::platform;

TEST(SessionClaimVerdict, AnotherLapforgeRunsWhereTheMutexExistsOrMayNotBeOpened) {
    struct Case {
        const char* name;
        bool gotHandle;
        std::uint32_t lastError;
        SessionClaimOutcome outcome;
    };
    const Case cases[] = {
        {"made anew", true, 0, SessionClaimOutcome::First},
        {"opened one that exists", true, ClaimErrorAlreadyExists, SessionClaimOutcome::AlreadyRunning},
        {"one run as administrator made it", false, ClaimErrorAccessDenied, SessionClaimOutcome::AlreadyRunning},
        {"the name taken by another kind of object", false, 6, SessionClaimOutcome::First},
        {"no memory", false, 8, SessionClaimOutcome::First},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(JudgeSessionClaim(c.gotHandle, c.lastError), c.outcome);
    }
}
