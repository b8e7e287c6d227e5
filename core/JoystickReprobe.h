#pragma once

#include <cstdint>
#include <optional>

namespace lapforge {

// When the joysticks are listed anew. A listing asks every id the system offers, and Windows looks for
// an unplugged joystick anew each time it is asked about one, which takes long enough to stall the
// poll (several milliseconds, under Wine too); so the list is made only when something changed.
// Windows sends several WM_DEVICECHANGE for one plug, a few tens of milliseconds apart: they make one
// listing, once they have been quiet for a moment. A joystick that should answer and does not (a
// bound one not connected, a listed one silent) has the list made after the same moment, which its
// unplugging's notices then share, and again every five seconds while it is missing, for the
// joystick that comes back without a notice.
class JoystickReprobe {
public:
    static constexpr std::uint64_t QuietMilliseconds = 300;
    static constexpr std::uint64_t IntervalMilliseconds = 5000;

    // Windows said that devices changed.
    void Notice(std::uint64_t nowMilliseconds) { notice_ = nowMilliseconds; }
    // After a look at the joysticks: whether one that should have answered did not.
    void Looked(bool missing, std::uint64_t nowMilliseconds);
    // The list is to be made anew now.
    bool Due(std::uint64_t nowMilliseconds) const;
    // It was made anew.
    void Listed(std::uint64_t nowMilliseconds);
    // How long until the notices have been quiet long enough; nothing when none waits.
    std::optional<std::uint64_t> NoticeWaitMilliseconds(std::uint64_t nowMilliseconds) const;

private:
    std::optional<std::uint64_t> notice_;      // the last notice not yet followed by a listing
    std::optional<std::uint64_t> missingDue_;  // while one is missing: when it has the list made
};

}  // namespace lapforge
