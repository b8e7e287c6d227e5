#include "core/SimulatorLaunch.h"

#include "core/FileIO.h"
#include "core/Messages.h"
#include "core/Settings.h"
#include "core/SimulatorProcess.h"

#include <algorithm>

namespace lapforge {

namespace {

// The folder's own program, without the backslash that makes it a data-file name.
constexpr std::string_view DefaultProgram = SimulatorExeName.substr(1);

}  // namespace

bool IsDefaultSimulatorProgram(std::string_view fileName) { return SameFileName(fileName, DefaultProgram); }

std::vector<std::string> SimulatorPrograms(const std::vector<std::string>& fileNames) {
    std::string pristine(DefaultProgram);
    std::vector<std::string> mods;
    for (const std::string& name : fileNames) {
        // Only the bytes of the name's letters matter to the test, so each byte stands for itself.
        if (!IsSimulatorFileName(std::wstring(name.begin(), name.end()))) continue;
        if (IsDefaultSimulatorProgram(name))
            pristine = name;
        else
            mods.push_back(name);
    }
    std::sort(mods.begin(), mods.end(), FileNameBefore);
    mods.insert(mods.begin(), std::move(pristine));
    return mods;
}

LaunchChoice ChooseLaunchProgram(const std::vector<std::string>& programs, std::string_view kept) {
    if (kept.empty() || IsDefaultSimulatorProgram(kept)) return {};
    for (std::size_t i = 1; i < programs.size(); ++i)
        if (SameFileName(programs[i], kept)) return LaunchChoice{i, programs[i], {}};
    return LaunchChoice{0, {}, LaunchFallbackText(kept)};
}

SimulatorLaunch LaunchSimulator(ProcessStarter& starter, const std::string& exePath, const std::string& workingFolder) {
    const StartOutcome created = starter.StartProcess(exePath, workingFolder, DefaultErrorModeFlag);
    if (created.errorCode != ElevationRequiredError)
        return SimulatorLaunch{created.processId, created.reason, false, created.process};

    // A refused consent comes back as a failure with its reason, like any other.
    const StartOutcome shell = starter.StartAsShell(exePath, workingFolder);
    return SimulatorLaunch{shell.processId, shell.reason, shell.processId != 0, shell.process};
}

}  // namespace lapforge
