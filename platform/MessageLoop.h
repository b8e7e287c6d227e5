#pragma once

#include <windows.h>

#include <vector>

namespace lapforge::platform {

// Shows the window and runs a message loop until it has been destroyed. Its owner is disabled before
// it shows, the thread's other visible windows too; a quit message ends the loop and is posted
// again for the main loop.
void RunModal(HWND window, HWND focus);

// Ends a modal window: its owner is enabled before the window goes, so Windows gives the activation
// back to it and not to another program.
void EndModal(HWND window);

// What the main loop does besides window messages: whatever is due after each wait, and waiting on
// handles (the simulator's processes) along with the messages.
class LoopPoll {
public:
    virtual ~LoopPoll() = default;
    // Does what is due now; runs after every wait.
    virtual void Poll() = 0;
    // Milliseconds the next wait may last; INFINITE when only a message or a handle can bring work.
    virtual DWORD PollInterval() = 0;
    // Handles to wait on besides the messages.
    virtual const std::vector<HANDLE>& WaitHandles() = 0;
    // One of them was signalled, or the wait on them failed.
    virtual void HandleSignalled() = 0;
};

// The program's main loop; returns the quit code. Polls and handles wait while a modal window's own
// loop runs.
int RunMessageLoop(LoopPoll& poll);

}  // namespace lapforge::platform
