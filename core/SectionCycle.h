#pragma once

#include "core/Bindings.h"
#include "core/JoystickReprobe.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
    // The joysticks that answered when last enumerated, in winmm's order: at the first use, and again
    // after Windows said that devices changed or Reenumerate was called.
    virtual const std::vector<JoystickInfo>& Joysticks() = 0;
    // The list is made anew at its next use.
    virtual void Reenumerate() = 0;
    // Its buttons and hat; nothing when it does not answer, as when it has been unplugged.
    virtual std::optional<JoystickControls> JoystickInputs(unsigned joystick) = 0;
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
    Bindings taken_;     // the controller's, as last polled: a change makes presses under way not count
    Bindings bindings_;  // the same, with the identities of old joystick bindings once they answer
    bool armed_ = false;
    bool simulatorRunning_ = false;
    PressWatch next_;
    PressWatch previous_;
    // Where Windows gives no notice of a joystick plugged in or out: a bound one missing has the list
    // made anew now and then.
    JoystickReprobe reenumeration_;
};

}  // namespace lapforge
