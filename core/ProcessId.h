#pragma once

namespace lapforge {

// Process ids, for files that name the process that wrote them.
unsigned long OwnProcessId();

// Whether a process of that id runs now. One we may not look at runs; an id the system has given
// to a new process since counts too, so a caller must not rely on "runs" meaning "is the writer".
bool ProcessRuns(unsigned long id);

}  // namespace lapforge
