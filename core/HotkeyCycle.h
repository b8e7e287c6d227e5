#pragma once

#include <string>
#include <string_view>

namespace lapforge {

class Controller;

// What the hotkey cycle needs of the window and the system, so it runs the same against the real
// desktop and against a scripted one in tests.
class HotkeyCycleHost {
public:
    virtual ~HotkeyCycleHost() = default;
    virtual bool IsHotkeyDown() = 0;
    // Waits briefly for window events and handles every one that arrived. Handlers may run inside.
    virtual void WaitAndProcessEvents() = 0;
    virtual bool IsHotkeyOptionChecked() = 0;
    virtual std::string CurrentSection() = 0;
    // Selects the section in the list; it has been applied when this returns.
    virtual void SetSection(std::string_view name) = 0;
    virtual void PlayAnnouncement(const std::string& path) = 0;
};

// One pass: waits for a press and release of the hotkey, then moves the list on by one section
// and announces it.
void AwaitHotkeyAndAdvance(const Controller& controller, HotkeyCycleHost& host);

// Passes for as long as the option is found checked before a pass.
void RunHotkeyCycle(const Controller& controller, HotkeyCycleHost& host);

}  // namespace lapforge
