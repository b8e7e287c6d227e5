#include "platform/Sound.h"

#include "platform/Winmm.h"

namespace lapforge::platform {

void PlayAnnouncement(const std::string& path) {
    if (const auto play = Winmm().sndPlaySoundA) play(path.c_str(), SND_ASYNC | SND_NODEFAULT);
}

void SilenceAnnouncement() {
    if (const auto play = Winmm().sndPlaySoundA) play(nullptr, 0);
}

}  // namespace lapforge::platform
