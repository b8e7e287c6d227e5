#pragma once

#include <windows.h>

namespace lapforge::platform {

// Handles every queued window message; a quit message ends the program.
void ProcessPendingEvents();

// Returns when a window message arrives (true) or the timeout passes (false).
bool WaitForEvents(DWORD timeoutMilliseconds);

// Runs a message loop until the window has been destroyed; the thread's other visible windows
// are disabled meanwhile. A quit message ends the loop and is posted again for the main loop.
void RunModal(HWND window);

// The program's main loop; returns the quit code.
int RunMessageLoop();

}  // namespace lapforge::platform
