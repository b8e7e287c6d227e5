#include "core/ProcessId.h"

#include <cerrno>
#include <signal.h>
#include <unistd.h>

namespace lapforge {

unsigned long OwnProcessId() { return static_cast<unsigned long>(::getpid()); }

bool ProcessRuns(unsigned long id) {
    // EPERM means a process exists that we may not signal.
    return ::kill(static_cast<pid_t>(id), 0) == 0 || errno != ESRCH;
}

}  // namespace lapforge
