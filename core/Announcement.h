#pragma once

#include "core/Controller.h"

#include <string>
#include <string_view>

namespace lapforge {

// What the window does to announce: what it silences first, then what it plays. One announcement
// at a time: each silences the one before, a section's wave the speech under way, a spoken name or
// a cue the wave still playing (a new wave cuts off the one before by itself, and a new name the
// name before).
struct AnnouncementPlan {
    bool silenceWave = false;
    bool silenceSpeech = false;
    std::string speak;  // a point's name; where no voice speaks it, `wave` plays instead
    std::string wave;   // a section's announcement or a cue

    bool operator==(const AnnouncementPlan&) const = default;
};

// The stop just written: a section's wave, or a point's name spoken with the point cue in reserve.
AnnouncementPlan PlanAnnouncement(const StopAnnouncement& announcement, std::string_view appFolder);

// A step's rewrite was refused: the "not written" cue alone.
AnnouncementPlan PlanRefusedCue(std::string_view appFolder);

}  // namespace lapforge
