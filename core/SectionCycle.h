#pragma once

#include "core/Bindings.h"
#include "core/JoystickReprobe.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lapforge {

class Controller;

// The keyboard and the controllers as the cycle reads them, so it runs the same against the real
// desktop and against a scripted one in tests.
class InputSource {
public:
    virtual ~InputSource() = default;
    // System-wide, whichever program has the focus; the key is only observed, not consumed.
    virtual bool IsKeyDown(int virtualKey) = 0;
    // Alt, Ctrl, Shift or a Windows key.
    virtual bool IsModifierDown() = 0;
    // Bit n-1 for button n; nothing when the controller does not answer, as when it is unplugged.
    virtual std::optional<std::uint32_t> JoystickButtons(unsigned joystick) = 0;
};

// What the cycle needs of the main window.
class CycleView {
public:
    virtual ~CycleView() = default;
    virtual std::string CurrentSection() = 0;
    // Selects the section in the list; it has been applied, the track file rewritten, when this returns.
    virtual void SetSection(std::string_view name) = 0;
    virtual void PlayAnnouncement(const std::string& path) = 0;
};

// One binding's presses. A press counts when it was seen going down and then coming up, with no
// modifier seen while it was down; so holding moves one section, and Alt+F4 none.
class PressWatch {
public:
    // One look: the binding down or up, or nothing when that cannot be told (its controller did not
    // answer). True when this look ends a press that counts.
    bool Look(std::optional<bool> down, bool modifierHeld);
    // A press under way no longer counts: the next one must be seen from its start.
    void Forget() { state_ = State::WaitingForUp; }

private:
    enum class State { Up, Down, WaitingForUp };
    State state_ = State::WaitingForUp;
};

// The section cycle. The option box arms it; it runs while a simulator from the chosen folder runs,
// and then each press of the "next" binding moves the section list on in lap order and each press of
// "previous" back, with the new section's announcement once its track file has been rewritten.
class SectionCycle {
public:
    explicit SectionCycle(const Controller& controller) : controller_(controller) {}

    void SetArmed(bool armed);
    void SetSimulatorRunning(bool running);
    bool IsArmed() const { return armed_; }
    // Armed, and the simulator runs: the bindings are polled.
    bool IsRunning() const { return armed_ && simulatorRunning_; }

    // One look at the bindings the controller holds; does nothing unless the cycle runs.
    void Poll(InputSource& input, CycleView& view, std::uint64_t nowMilliseconds);

private:
    void Step(bool forward, CycleView& view);
    void Forget();

    const Controller& controller_;
    Bindings bindings_;  // as last polled: a change makes presses under way not count
    bool armed_ = false;
    bool simulatorRunning_ = false;
    PressWatch next_;
    PressWatch previous_;
    std::array<JoystickReprobe, JoystickCount> reprobes_{};
};

}  // namespace lapforge
