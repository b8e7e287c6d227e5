#pragma once

#include <string>

namespace lapforge::platform {

// Plays a wave file asynchronously, from a folder of any depth, and stops the sound before; a file
// that cannot be played plays nothing.
void PlayAnnouncement(const std::string& path);

// Stops the wave file playing, if any.
void SilenceAnnouncement();

}  // namespace lapforge::platform
