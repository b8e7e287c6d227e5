#include "core/HotkeyCycle.h"

#include "core/Controller.h"

namespace lapforge {

void AwaitHotkeyAndAdvance(const Controller& controller, HotkeyCycleHost& host) {
    while (!host.IsHotkeyDown()) host.WaitAndProcessEvents();
    while (host.IsHotkeyDown()) host.WaitAndProcessEvents();

    const auto next = controller.Successor(host.CurrentSection());
    if (!next) return;
    host.SetSection(next->name);
    host.PlayAnnouncement(next->announcementPath);
}

void RunHotkeyCycle(const Controller& controller, HotkeyCycleHost& host) {
    while (host.IsHotkeyOptionChecked()) AwaitHotkeyAndAdvance(controller, host);
}

}  // namespace lapforge
