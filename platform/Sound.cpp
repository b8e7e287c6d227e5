#include "platform/Sound.h"

#include "core/Failure.h"
#include "core/FileIO.h"
#include "platform/Winmm.h"

namespace lapforge::platform {

namespace {

// The wave playing now: winmm reads it from here until it ends or the next sound stops it.
std::string& PlayingWave() {
    static std::string bytes;
    return bytes;
}

}  // namespace

void PlayAnnouncement(const std::string& path) {
    const auto play = Winmm().sndPlaySoundA;
    if (!play) return;
    // Read here, as every file of Lapforge's is, whatever the path's length: winmm's own reading of
    // a file stops at MAX_PATH, so a deep application folder would play nothing.
    std::string bytes;
    try {
        bytes = ReadWholeFile(path);
    } catch (const Failure&) {
    }
    play(nullptr, 0);  // the sound before stops before its bytes go
    PlayingWave() = std::move(bytes);
    if (!PlayingWave().empty()) play(PlayingWave().data(), SND_ASYNC | SND_NODEFAULT | SND_MEMORY);
}

void SilenceAnnouncement() {
    if (const auto play = Winmm().sndPlaySoundA) play(nullptr, 0);
}

}  // namespace lapforge::platform
