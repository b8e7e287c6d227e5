#pragma once

#include <cstdint>

namespace lapforge {

// Windows looks for an unplugged controller anew each time it is asked about one, which takes long
// enough to stall the poll (several milliseconds, under Wine too); so a controller that did not
// answer is asked again only every five seconds, and one that answers is asked every time.
class JoystickReprobe {
public:
    static constexpr std::uint64_t IntervalMilliseconds = 5000;

    bool MayAsk(std::uint64_t nowMilliseconds) const {
        return !absent_ || nowMilliseconds - lastAsked_ >= IntervalMilliseconds;
    }
    void Answered(bool answered, std::uint64_t nowMilliseconds) {
        absent_ = !answered;
        lastAsked_ = nowMilliseconds;
    }

private:
    bool absent_ = false;
    std::uint64_t lastAsked_ = 0;
};

}  // namespace lapforge
