#pragma once

#include "core/Bindings.h"
#include "core/Controller.h"
#include "core/JoystickReprobe.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lapforge {

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

// What the cycle needs of the main window, besides what the controller does: the sounds, and the
// section a step wrote.
class CycleView : public View {
public:
    virtual void PlayAnnouncement(const std::string& path) = 0;
    // After the announcement: the list shows the section just written, and its pictures come up.
    virtual void ShowWrittenSection(std::string_view name) = 0;
    // A step's rewrite was refused: the short cue plays instead of the announcement, and the
    // driver, who is in GPL, is told without a click; the list and pictures stay as they were.
    virtual void StepRefused(const std::exception& failure) = 0;
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
// It also decides when the main loop looks for the simulator and when it polls the bindings; the
// clock is a parameter, so every decision runs the same in tests.
class SectionCycle {
public:
    // Armed without the simulator: one started elsewhere is found within about a second, and one
    // look at the process list a second costs next to nothing.
    static constexpr std::uint64_t LookMilliseconds = 1000;
    // While the simulator runs: often enough to see every press at once, seldom enough to cost no
    // processor time to speak of.
    static constexpr std::uint64_t PollMilliseconds = 10;

    enum class Due { Nothing, Look, Poll };

    explicit SectionCycle(Controller& controller) : controller_(controller) {}

    void SetOptionChecked(bool checked);
    // A window of ours in front of the main window (the Keys window, the folder dialog): a key
    // pressed there is meant for that window, so the cycle pauses.
    void SetModalInFront(bool inFront);
    // A simulator process from the chosen folder is watched; its end is seen as it happens.
    void SetSimulatorWatched(bool watched);

    // Armed, and the simulator runs: the bindings are polled.
    bool IsRunning() const { return IsArmed() && simulatorWatched_; }
    // Armed, waiting for the simulator to start.
    bool IsWaiting() const { return IsArmed() && !simulatorWatched_; }

    // What is due now: a look for the simulator (taken as done) or a poll of the bindings.
    Due Next(std::uint64_t nowMilliseconds);
    // How long the main loop may wait for window messages or the simulator's end before Next has
    // something to do; nothing when only those can change anything.
    std::optional<std::uint64_t> WaitMilliseconds(std::uint64_t nowMilliseconds) const;

    // One look at the bindings the controller holds; does nothing unless the cycle runs.
    void Poll(InputSource& input, CycleView& view, std::uint64_t nowMilliseconds);

private:
    bool IsArmed() const { return optionChecked_ && !modalInFront_; }
    // Runs on any change of the inputs above: presses under way stop counting when the cycle
    // starts or stops, and arming looks for the simulator at once.
    void Changed(bool wasArmed, bool wasRunning);
    void Step(bool forward, CycleView& view);
    void Forget();

    Controller& controller_;
    Bindings taken_;     // the controller's, as last polled: a change makes presses under way not count
    Bindings bindings_;  // the same, with the identities of old joystick bindings once they answer
    bool optionChecked_ = false;
    bool modalInFront_ = false;
    bool simulatorWatched_ = false;
    std::optional<std::uint64_t> lastLook_;  // nothing: look at once
    PressWatch next_;
    PressWatch previous_;
    // Where Windows gives no notice of a joystick plugged in or out: a bound one missing has the list
    // made anew now and then.
    JoystickReprobe reenumeration_;
};

}  // namespace lapforge
