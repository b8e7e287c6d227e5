#include "core/DataFiles.h"

#include "core/SectionTable.h"
#include "core/Settings.h"

#include <algorithm>

namespace lapforge {

std::vector<std::string> DataFileNames() {
    std::vector<std::string> names;
    for (const Section& section : SectionTable::Rows()) {
        names.emplace_back(section.viewPicture);
        names.emplace_back(section.mapPicture);
        names.emplace_back(section.announcement);
    }
    names.emplace_back(StepRefusedCueName);
    names.emplace_back(HelpPageName);
    return names;
}

bool NoDataFilesBeside(const std::string& appFolder, const std::function<bool(const std::string& path)>& exists) {
    const std::vector<std::string> names = DataFileNames();
    return std::none_of(names.begin(), names.end(), [&](const std::string& name) { return exists(appFolder + name); });
}

}  // namespace lapforge
