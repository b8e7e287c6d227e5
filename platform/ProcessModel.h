#pragma once

#include <cstdint>

namespace lapforge::platform {

// The system's error codes the claim is judged by, as windows.h has them.
inline constexpr std::uint32_t ClaimErrorAccessDenied = 5;
inline constexpr std::uint32_t ClaimErrorAlreadyExists = 183;

enum class SessionClaimOutcome {
    First,           // no other Lapforge runs in the session: this one goes on
    AlreadyRunning,  // another one runs: bring it to the front and end
};

// What creating the session's named mutex says about another Lapforge: whether a handle came back,
// and the last error the call left.
SessionClaimOutcome JudgeSessionClaim(bool gotHandle, std::uint32_t lastError);

}  // namespace lapforge::platform
