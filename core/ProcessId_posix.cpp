#include "core/ProcessId.h"

#include <cerrno>
#include <charconv>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <string>
#include <unistd.h>

namespace lapforge {

unsigned long OwnProcessId() { return static_cast<unsigned long>(::getpid()); }

bool ProcessRuns(unsigned long id) {
    // EPERM means a process exists that we may not signal.
    return ::kill(static_cast<pid_t>(id), 0) == 0 || errno != ESRCH;
}

std::uint64_t ProcessStartTime(unsigned long id) {
    // The 22nd field of /proc/<id>/stat: clock ticks from boot to the process's start. The name
    // before it is in brackets and may hold blanks, so the count starts after the last bracket.
    std::ifstream file("/proc/" + std::to_string(id) + "/stat");
    std::string stat;
    if (!std::getline(file, stat)) return 0;
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream fields(stat.substr(close + 1));
    std::string field;
    for (int n = 3; n < 22 && fields >> field;) ++n;
    std::uint64_t ticks = 0;
    if (!(fields >> field) || std::from_chars(field.data(), field.data() + field.size(), ticks).ec != std::errc())
        return 0;
    return ticks;
}

std::uint64_t OwnProcessStartTime() { return ProcessStartTime(OwnProcessId()); }

}  // namespace lapforge
