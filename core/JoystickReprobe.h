#pragma once

#include <cstdint>

namespace lapforge {

// Windows looks for an unplugged joystick anew each time it is asked about one, which takes long
// enough to stall the poll (several milliseconds, under Wine too). Joysticks are listed again when
// Windows says that devices changed; where no such notice comes, a bound joystick that is missing
// has the list made again at most every five seconds.
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
