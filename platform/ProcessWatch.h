#pragma once

#include "platform/Win32.h"

#include <windows.h>

#include <string>
#include <vector>

namespace lapforge::platform {

// The simulator's processes from the chosen folder, however they were started: by Lapforge, a mod
// launcher or a shortcut.
class SimulatorWatch {
public:
    // True while a process being watched runs; those that have ended are let go.
    bool AnyRunning();

    // Looks through the running programs for the simulator in the folder and watches each one found;
    // true when one runs. It lists every process, so about once a second at most.
    bool Find(const std::string& folder);

    // Watches a process this program has started.
    void Watch(DWORD processId);

    // Lets every watched process go: the simulator folder has changed.
    void Forget() { processes_.clear(); }

    // Brings the main window of a watched process to the front, restored if it was minimised.
    void BringToFront() const;

private:
    struct Watched {
        DWORD id;
        ScopedHandle process;
    };
    bool IsWatched(DWORD processId) const;

    std::vector<Watched> processes_;
    std::vector<unsigned char> list_;  // the process list, kept from one look to the next
    std::string folder_;               // as the settings name it
    std::wstring folderKey_;           // its long form in upper case, for the comparison
};

}  // namespace lapforge::platform
