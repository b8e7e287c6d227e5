#pragma once

#include "core/Bindings.h"
#include "core/Controller.h"
#include "core/JoystickReprobe.h"

#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lapforge {

// A change of one input between two polls, as it happened: a key going down or up (the system tells
// of each at once), or a joystick's controls as a sampler that looks every millisecond saw them
// change (nothing: it stopped answering). A press that begins and ends while a step holds the thread
// is kept this way, where a look at the state alone would miss it.
struct InputChange {
    enum class Kind { Key, Joystick };
    Kind kind = Kind::Key;
    int key = 0;
    bool down = false;
    unsigned joystick = 0;
    std::optional<JoystickControls> controls;

    bool operator==(const InputChange&) const = default;
};

inline InputChange KeyChange(int key, bool down) { return InputChange{InputChange::Kind::Key, key, down, 0, {}}; }
inline InputChange JoystickChange(unsigned joystick, std::optional<JoystickControls> controls) {
    return InputChange{InputChange::Kind::Joystick, 0, false, joystick, controls};
}

// The keyboard and the controllers as the cycle reads them, so it runs the same against the real
// desktop and against a scripted one in tests.
class InputSource {
public:
    virtual ~InputSource() = default;
    // System-wide, whichever program has the focus; the key is only observed, not consumed.
    virtual bool IsKeyDown(int virtualKey) = 0;
    // The joysticks that answered when last enumerated, in winmm's order: at the first use, and again
    // after Windows said that devices changed or Reenumerate was called.
    virtual const std::vector<JoystickInfo>& Joysticks() = 0;
    // The list is made anew at its next use.
    virtual void Reenumerate() = 0;
    // Its buttons and hat; nothing when it does not answer, as when it has been unplugged.
    virtual std::optional<JoystickControls> JoystickInputs(unsigned joystick) = 0;
    // The changes since the last call, oldest first; none where nothing keeps them.
    virtual std::vector<InputChange> TakeChanges() { return {}; }
};

// What the cycle needs of the main window, besides what the controller does: the announcements, and
// the stop a step or a jump wrote.
class CycleView : public View {
public:
    // A section's wave file, or a point's name spoken (or, where Windows has no voice, a short cue).
    virtual void Announce(const StopAnnouncement& announcement) = 0;
    // After the announcement: the list and the status line show the stop just written.
    virtual void ShowWrittenStop(const Stop& stop) = 0;
    // Its pictures, which take a decode: after a later poll that sees no press under way, so of
    // several quick steps only the last is drawn.
    virtual void ShowStopPictures(const Stop& stop) = 0;
    // A step's rewrite was refused: the short cue plays instead of the announcement, and the
    // driver, who is in GPL, is told without a click; the list and pictures stay as they were.
    virtual void StepRefused(const std::exception& failure) = 0;
};

// One binding's presses. A press counts when it was seen going down and then coming up; so holding
// moves one section. It does not count when a shortcut is made while it is down (MakesShortcut: Alt+F4
// moves nothing), nor when a hat direction is first seen in a diagonal: moved into one from the
// neighbouring direction it was not pressed anew, and straight from rest neither direction is meant
// more than the other.
class PressWatch {
public:
    // One look: the binding down or up, or nothing when that cannot be told (its controller did not
    // answer); whether it makes a shortcut now; for a hat direction, whether the hat is in a
    // diagonal. True when this look ends a press that counts.
    bool Look(std::optional<bool> down, bool shortcut, bool inDiagonal);
    // A press under way no longer counts: the next one must be seen from its start.
    void Forget() { state_ = State::WaitingForUp; }
    // Seen down, and it would count once let go.
    bool Pressing() const { return state_ == State::Down; }

private:
    enum class State { Up, Down, WaitingForUp };
    State state_ = State::WaitingForUp;
};

// The section cycle. The option box arms it; it runs while a simulator from the chosen folder runs,
// and then each press of the "next" binding moves the section list on in lap order (the sections and
// the driver's points, or his points alone) and each press of "previous" back, and a jump binding's
// press goes straight to its stop, with the new stop's announcement once its track file has been
// rewritten.
// It also decides when the main loop looks for the simulator and when it polls the bindings; the
// clock is a parameter, so every decision runs the same in tests.
class SectionCycle {
public:
    // Armed without the simulator: one started elsewhere is found within about a second, and one
    // look at the process list a second costs next to nothing.
    static constexpr std::uint64_t LookMilliseconds = 1000;
    // While the simulator runs: often enough to see every press at once, and a button box's rotary
    // encoder's pulse of 10 to 30 ms, seldom enough to cost no processor time to speak of.
    static constexpr std::uint64_t PollMilliseconds = 10;

    enum class Due { Nothing, Look, Poll };

    explicit SectionCycle(Controller& controller) : controller_(controller) {}

    void SetOptionChecked(bool checked);
    // A window of ours in front of the main window (the Keys window, the folder dialog): a key
    // pressed there is meant for that window, so the cycle pauses.
    void SetModalInFront(bool inFront);
    // A simulator process from the chosen folder is watched; its end is seen as it happens.
    void SetSimulatorWatched(bool watched);
    // Windows said that devices changed: the joysticks are listed anew once its notices are over.
    void DevicesChanged(std::uint64_t nowMilliseconds) { reprobe_.Notice(nowMilliseconds); }

    // Armed, and the simulator runs: the bindings are polled.
    bool IsRunning() const { return IsArmed() && simulatorWatched_; }
    // Armed, waiting for the simulator to start.
    bool IsWaiting() const { return IsArmed() && !simulatorWatched_; }

    // What is due now: a look for the simulator or a poll of the bindings, taken as done. Polls keep
    // their 10 ms beat whenever the loop wakes late; one that comes more than a beat late (a step
    // that wrote for long) is due at once, and the beat starts again from it.
    Due Next(std::uint64_t nowMilliseconds);
    // How long the main loop may wait for window messages or the simulator's end before Next has
    // something to do; nothing when only those can change anything.
    std::optional<std::uint64_t> WaitMilliseconds(std::uint64_t nowMilliseconds) const;
    // A joystick binding is polled: a wait of 10 ms must last 10 ms, not Windows' usual tick of
    // 15.6 ms, or a rotary encoder's pulse falls between two polls. Asking Windows for a finer
    // timer costs power, so it is asked for only then.
    bool WantsFineTimer() const;
    // A key binding is polled: Windows is asked to tell of every key pressed or let go anywhere
    // (raw input), which it does at once, so a press counts without waiting for the next poll.
    bool WantsKeyEvents() const;
    // The joysticks the bound controls are on, by winmm's id, as the last poll found them: a sampler
    // looks at these between polls. None unless the cycle runs.
    std::vector<unsigned> SampledJoysticks() const;
    // A key went down or up somewhere: the next poll is due at once, and the beat starts from it.
    void KeyEvent(std::uint64_t nowMilliseconds);
    // The one re-probe of the process-wide joystick list; the Keys window drives it while the cycle
    // is paused behind it.
    JoystickReprobe& Reprobe() { return reprobe_; }

    // The changes kept since the last poll, played in order, then one look at the bindings the
    // controller holds; does nothing unless the cycle runs, but for pictures still due. A step writes
    // and announces; its pictures come after a later poll that sees no press under way, so a quick
    // spin of an encoder is not held up by decodes, and only its last stop is drawn.
    void Poll(InputSource& input, CycleView& view, std::uint64_t nowMilliseconds);

private:
    bool IsArmed() const { return optionChecked_ && !modalInFront_; }
    // Runs on any change of the inputs above: presses under way stop counting when the cycle
    // starts or stops, and arming looks for the simulator at once.
    void Changed(bool wasArmed, bool wasRunning);
    void Step(bool forward, CycleView& view);
    void Jump(const Stop& to, CycleView& view);
    // Announces what was just written, then shows it.
    void Written(const StopAnnouncement& written, CycleView& view);
    void Forget();
    bool AnyPressing() const;

    Controller& controller_;
    Bindings taken_;     // the controller's, as last polled: a change makes presses under way not count
    Bindings bindings_;  // the same, with the identities of old joystick bindings once they answer
    bool optionChecked_ = false;
    bool modalInFront_ = false;
    bool simulatorWatched_ = false;
    std::optional<std::uint64_t> lastLook_;  // nothing: look at once
    std::optional<std::uint64_t> nextPoll_;  // nothing: poll at once
    PressWatch next_;
    PressWatch previous_;
    std::vector<PressWatch> jumps_;  // one for each of bindings_.jumps
    JoystickReprobe reprobe_;
    // Joysticks that stopped answering: asking one again is slow, so not before the next listing.
    std::bitset<JoystickCount> silent_;
    std::vector<unsigned> sampled_;
    std::optional<Stop> picturesDue_;
};

}  // namespace lapforge
