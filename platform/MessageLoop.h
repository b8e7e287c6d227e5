#pragma once

#include <windows.h>

namespace lapforge::platform {

// Shows the window and runs a message loop until it has been destroyed. Its owner is disabled before
// it shows, the thread's other visible windows too; a quit message ends the loop and is posted
// again for the main loop.
void RunModal(HWND window, HWND focus);

// Ends a modal window: its owner is enabled before the window goes, so Windows gives the activation
// back to it and not to another program.
void EndModal(HWND window);

// The program's main loop; returns the quit code.
int RunMessageLoop();

}  // namespace lapforge::platform
