#include "core/SimulatorLaunch.h"

namespace lapforge {

SimulatorLaunch LaunchSimulator(ProcessStarter& starter, const std::string& exePath, const std::string& workingFolder) {
    const StartOutcome created = starter.StartProcess(exePath, workingFolder, DefaultErrorModeFlag);
    if (created.errorCode != ElevationRequiredError)
        return SimulatorLaunch{created.processId, created.reason, false, created.process};

    // A refused consent comes back as a failure with its reason, like any other.
    const StartOutcome shell = starter.StartAsShell(exePath, workingFolder);
    return SimulatorLaunch{shell.processId, shell.reason, shell.processId != 0, shell.process};
}

}  // namespace lapforge
