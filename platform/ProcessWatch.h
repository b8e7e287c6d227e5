#pragma once

#include "core/SimulatorAccess.h"
#include "core/SimulatorLaunch.h"
#include "platform/Win32.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace lapforge::platform {

// The simulator's processes from the chosen folder, however they were started: by Lapforge, a mod
// launcher or a shortcut.
class SimulatorWatch {
public:
    // True while a process being watched runs; those that have ended are let go. A process counts as
    // ended when its handle is signalled, whatever its exit code.
    bool AnyRunning();

    // Looks through the running programs for the simulator in the folder and watches each one found;
    // true when one runs. It lists every process, so about once a second at most. A program's folder
    // is compared with the chosen one by identity, so any spelling of the folder matches.
    bool Find(const std::string& folder);

    // Watches a process this program has started, through the handle its start gave.
    void Watch(DWORD processId, ProcessHandle process);

    // Lets every watched process go: the simulator folder has changed.
    void Forget();

    // The watched processes' handles, each signalled when its process ends: the main loop waits on
    // them, so an end is seen at once.
    const std::vector<HANDLE>& Handles() const { return handles_; }

    // Brings the main window of a watched process to the front, restored if it was minimised; false
    // when there was none, or Windows would not (as for one run as administrator).
    bool BringToFront() const;

    // What the main window needs for its verdict on reaching GPL (JudgeSimulatorAccess): whether a
    // watched one runs as administrator, and whether the last Find met a gpl*.exe it could not open.
    SimulatorSeen Seen() const;

private:
    struct Watched {
        DWORD id;
        ProcessHandle process;
    };
    bool IsWatched(DWORD processId) const;
    void Add(DWORD processId, ProcessHandle process);

    std::vector<Watched> processes_;
    std::vector<HANDLE> handles_;  // the same processes', in the same order
    std::vector<unsigned char> list_;  // the process list, kept from one look to the next
    std::string folder_;               // as the settings name it
    std::wstring folderKey_;           // its long form in upper case, where its identity cannot be read
    std::optional<FileIdentity> folderIdentity_;
    bool unopenable_ = false;
};

}  // namespace lapforge::platform
