#include "platform/ProcessModel.h"

namespace lapforge::platform {

SessionClaimOutcome JudgeSessionClaim(bool gotHandle, std::uint32_t lastError) {
    if (gotHandle)
        return lastError == ClaimErrorAlreadyExists ? SessionClaimOutcome::AlreadyRunning : SessionClaimOutcome::First;
    // One run as administrator made the mutex, and an ordinary process may not open it.
    if (lastError == ClaimErrorAccessDenied) return SessionClaimOutcome::AlreadyRunning;
    // Anything else (the name taken by another kind of object, no memory) says nothing of another
    // Lapforge: running unguarded beats not starting at all.
    return SessionClaimOutcome::First;
}

}  // namespace lapforge::platform
