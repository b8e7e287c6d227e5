#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lapforge {

// The system's error for a program that must run as administrator (ERROR_ELEVATION_REQUIRED).
inline constexpr unsigned long ElevationRequiredError = 740;
// CREATE_DEFAULT_ERROR_MODE: the simulator gets Windows' own disk prompts, not our quiet mode.
inline constexpr unsigned long DefaultErrorModeFlag = 0x04000000;

// A started process, kept open so that its end can be waited for; the platform closes it.
using ProcessHandle = std::shared_ptr<void>;

struct StartOutcome {
    unsigned long processId = 0;  // 0: not started
    unsigned long errorCode = 0;  // the system's error code when not started
    std::string reason;           // the system's words for it
    ProcessHandle process;        // empty when not started
};

// The two ways the system can start a program, so the launch runs the same in tests.
class ProcessStarter {
public:
    virtual ~ProcessStarter() = default;
    // The path is the whole command line; the program starts maximised in the working folder.
    virtual StartOutcome StartProcess(const std::string& exePath, const std::string& workingFolder,
                                      unsigned long creationFlags) = 0;
    // As Explorer starts it: Windows asks the user's consent for a program marked to run as
    // administrator, and the process id comes back when it was started.
    virtual StartOutcome StartAsShell(const std::string& exePath, const std::string& workingFolder) = 0;
};

struct SimulatorLaunch {
    unsigned long processId = 0;  // the task id; 0 when not started
    std::string reason;           // why not, when there is a reason
    bool elevated = false;        // started as administrator after the user's consent
    ProcessHandle process;        // empty when not started
};

// gpl.exe itself, in any case, as against a mod's copy of it.
bool IsDefaultSimulatorProgram(std::string_view fileName);

// What "Launch GPL" may start, from the names of a folder's plain files: gpl.exe first (named so
// when the folder lacks it: it is what a lost choice falls back to), then every other gpl*.exe, the
// mods' patched copies, in name order without regard to case, each spelt as the folder spells it.
std::vector<std::string> SimulatorPrograms(const std::vector<std::string>& fileNames);

// The program to start among those offered, from the name lapforge.ini keeps (empty: gpl.exe).
struct LaunchChoice {
    std::size_t index = 0;  // in the programs offered; 0 is gpl.exe
    std::string kept;       // the name to keep in lapforge.ini: empty for gpl.exe
    std::string fallback;   // for the status line when the kept program is gone; else empty
};
LaunchChoice ChooseLaunchProgram(const std::vector<std::string>& programs, std::string_view kept);

// Starts the program; one marked "Run as administrator" is started again the shell's way.
SimulatorLaunch LaunchSimulator(ProcessStarter& starter, const std::string& exePath, const std::string& workingFolder);

}  // namespace lapforge
