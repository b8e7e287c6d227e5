#pragma once

#include "core/SectionCycle.h"
#include "core/Win32Kernel.h"

#include <windows.h>

#include <vector>

namespace lapforge::platform {

// Looks at the bound joysticks every millisecond on a thread of its own and keeps each change of
// their controls, oldest first, for the section cycle to take at its next poll, 10 ms apart at most.
// The thread tells the window nothing: under Wine a message posted from it waits behind the
// window's drawing, and the thread with it, long enough to miss a click.
// The one thread besides the window's, a deliberate exception to the program's single-threaded
// design: a joystick's state cannot be latched as a key's can, and a step's flushed rewrite under
// Wine holds the window's thread for longer than an encoder's click. The thread only reads winmm (joyGetPosEx may be called
// from any thread) and keeps what it saw; the cycle, the writes and the windows stay on the window's
// thread.
class JoystickSampler {
public:
    JoystickSampler();
    ~JoystickSampler();
    JoystickSampler(const JoystickSampler&) = delete;
    JoystickSampler& operator=(const JoystickSampler&) = delete;

    // The joysticks to look at, by winmm's id; none ends the thread.
    void Sample(const std::vector<unsigned>& joysticks);
    // The changes kept since the last call.
    std::vector<InputChange> Take();

private:
    static DWORD WINAPI Run(LPVOID self);
    void Stop();

    CRITICAL_SECTION lock_;
    std::vector<unsigned> joysticks_;  // under the lock
    unsigned generation_ = 0;          // under the lock: moved on by each new set of joysticks
    std::vector<InputChange> changes_; // under the lock
    volatile LONG stopping_ = 0;
    win32::ScopedHandle thread_;
};

}  // namespace lapforge::platform
