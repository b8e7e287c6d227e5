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

// What the main loop does between window messages: a poll at a steady rate, while one is due.
class LoopPoll {
public:
    virtual ~LoopPoll() = default;
    // Milliseconds between two polls; INFINITE while there is nothing to poll.
    virtual DWORD PollInterval() = 0;
    virtual void Poll() = 0;
};

// The program's main loop, which also polls; returns the quit code. The polls pause while a modal
// window's own loop runs.
int RunMessageLoop(LoopPoll& poll);

}  // namespace lapforge::platform
