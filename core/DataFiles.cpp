#include "core/DataFiles.h"

#include "core/LapPoints.h"
#include "core/MapRoad.h"
#include "core/SectionTable.h"
#include "core/Settings.h"

#include <algorithm>
#include <utility>

namespace lapforge {

std::vector<std::string> DataFileNames() {
    std::vector<std::string> names;
    for (const Section& section : SectionTable::Rows()) {
        names.emplace_back(section.viewPicture);
        names.emplace_back(section.mapPicture);
        names.emplace_back(section.announcement);
        names.push_back(MapRoadFileName(section.mapPicture));
    }
    for (std::string& view : LapViewNames()) names.push_back(std::move(view));
    names.emplace_back(StepRefusedCueName);
    names.emplace_back(PointCueName);
    names.emplace_back(HelpPageName);
    return names;
}

bool NoDataFilesBeside(const std::string& appFolder, const std::function<bool(const std::string& path)>& exists) {
    const std::vector<std::string> names = DataFileNames();
    return std::none_of(names.begin(), names.end(), [&](const std::string& name) { return exists(appFolder + name); });
}

}  // namespace lapforge
