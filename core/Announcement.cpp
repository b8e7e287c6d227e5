#include "core/Announcement.h"

#include "core/DataFiles.h"

namespace lapforge {

AnnouncementPlan PlanAnnouncement(const StopAnnouncement& announcement, std::string_view appFolder) {
    AnnouncementPlan plan;
    if (!announcement.stop.ownPoint) {
        plan.silenceSpeech = true;
        plan.wave = announcement.wavePath;
        return plan;
    }
    plan.silenceWave = true;
    plan.speak = announcement.spokenName;
    plan.wave = std::string(appFolder) + std::string(PointCueName);
    return plan;
}

AnnouncementPlan PlanRefusedCue(std::string_view appFolder) {
    AnnouncementPlan plan;
    plan.silenceSpeech = true;
    plan.wave = std::string(appFolder) + std::string(StepRefusedCueName);
    return plan;
}

}  // namespace lapforge
