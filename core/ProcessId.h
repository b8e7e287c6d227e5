#pragma once

#include <cstdint>

namespace lapforge {

// Process ids, for files that name the process that wrote them.
unsigned long OwnProcessId();

// Whether a process of that id runs now. One we may not look at runs; an id the system has given
// to a new process since counts too, so a caller must not rely on "runs" meaning "is the writer".
bool ProcessRuns(unsigned long id);

// When the process started, in the system's own units (any number that differs between two
// processes that had the same id); 0 when it cannot be told. Ids are used again, after a restart
// of Windows within minutes, so an id alone does not say that a process is the one that wrote a file.
std::uint64_t ProcessStartTime(unsigned long id);
std::uint64_t OwnProcessStartTime();

// The process of that id runs and is the one that started at `startTime` (0: not known, the id
// alone decides, as for files of an older Lapforge). A start that cannot be read now is taken as
// the writer's: keeping what it wrote is the safe side.
inline bool ProcessRunsSince(unsigned long id, std::uint64_t startTime) {
    if (!ProcessRuns(id)) return false;
    const std::uint64_t now = ProcessStartTime(id);
    return startTime == 0 || now == 0 || now == startTime;
}

}  // namespace lapforge
