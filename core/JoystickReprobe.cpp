#include "core/JoystickReprobe.h"

namespace lapforge {

void JoystickReprobe::Looked(bool missing, std::uint64_t nowMilliseconds) {
    if (!missing)
        missingDue_.reset();
    else if (!missingDue_)
        missingDue_ = nowMilliseconds + QuietMilliseconds;
}

bool JoystickReprobe::Due(std::uint64_t nowMilliseconds) const {
    if (notice_) return nowMilliseconds - *notice_ >= QuietMilliseconds;
    return missingDue_ && nowMilliseconds >= *missingDue_;
}

void JoystickReprobe::Listed(std::uint64_t nowMilliseconds) {
    notice_.reset();
    if (missingDue_) missingDue_ = nowMilliseconds + IntervalMilliseconds;
}

std::optional<std::uint64_t> JoystickReprobe::NoticeWaitMilliseconds(std::uint64_t nowMilliseconds) const {
    if (!notice_) return std::nullopt;
    const std::uint64_t since = nowMilliseconds - *notice_;
    return since >= QuietMilliseconds ? 0 : QuietMilliseconds - since;
}

}  // namespace lapforge
