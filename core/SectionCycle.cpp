#include "core/SectionCycle.h"

#include "core/Controller.h"

#include <algorithm>
#include <array>
#include <exception>
#include <functional>
#include <utility>

namespace lapforge {

namespace {

// One joystick within one poll: not asked yet, asked without an answer, or its controls.
struct JoystickReading {
    enum class State { NotAsked, Silent, Answered };
    State state = State::NotAsked;
    JoystickControls controls = 0;
};

}  // namespace

bool PressWatch::Look(std::optional<bool> down, bool shortcut, bool inDiagonal) {
    if (!down) {
        state_ = State::WaitingForUp;
        return false;
    }
    switch (state_) {
    case State::Up:
        if (*down) state_ = shortcut || inDiagonal ? State::WaitingForUp : State::Down;
        return false;
    case State::Down:
        if (!*down) {
            state_ = State::Up;
            return true;
        }
        if (shortcut) state_ = State::WaitingForUp;
        return false;
    case State::WaitingForUp:
        if (!*down) state_ = State::Up;
        return false;
    }
    return false;
}

void SectionCycle::SetOptionChecked(bool checked) {
    const bool wasArmed = IsArmed(), wasRunning = IsRunning();
    optionChecked_ = checked;
    Changed(wasArmed, wasRunning);
}

void SectionCycle::SetModalInFront(bool inFront) {
    const bool wasArmed = IsArmed(), wasRunning = IsRunning();
    modalInFront_ = inFront;
    Changed(wasArmed, wasRunning);
}

void SectionCycle::SetSimulatorWatched(bool watched) {
    const bool wasArmed = IsArmed(), wasRunning = IsRunning();
    simulatorWatched_ = watched;
    Changed(wasArmed, wasRunning);
}

void SectionCycle::Changed(bool wasArmed, bool wasRunning) {
    if (IsRunning() != wasRunning) {
        Forget();
        nextPoll_.reset();
    }
    if (IsArmed() && !wasArmed) lastLook_.reset();
}

SectionCycle::Due SectionCycle::Next(std::uint64_t nowMilliseconds) {
    if (IsRunning()) {
        if (nextPoll_ && nowMilliseconds < *nextPoll_) return Due::Nothing;
        const bool onTheBeat = nextPoll_ && nowMilliseconds - *nextPoll_ < PollMilliseconds;
        nextPoll_ = (onTheBeat ? *nextPoll_ : nowMilliseconds) + PollMilliseconds;
        return Due::Poll;
    }
    if (picturesDue_) return Due::Poll;  // the cycle stopped after a step: its pictures still come
    if (!IsWaiting()) return Due::Nothing;
    if (lastLook_ && nowMilliseconds - *lastLook_ < LookMilliseconds) return Due::Nothing;
    lastLook_ = nowMilliseconds;
    return Due::Look;
}

std::optional<std::uint64_t> SectionCycle::WaitMilliseconds(std::uint64_t nowMilliseconds) const {
    if (IsRunning()) return !nextPoll_ || nowMilliseconds >= *nextPoll_ ? 0 : *nextPoll_ - nowMilliseconds;
    if (picturesDue_) return 0;
    if (!IsWaiting()) return std::nullopt;
    if (!lastLook_) return 0;
    const std::uint64_t since = nowMilliseconds - *lastLook_;
    return since >= LookMilliseconds ? 0 : LookMilliseconds - since;
}

bool SectionCycle::WantsFineTimer() const {
    const Bindings& bindings = controller_.HotkeyBindings;
    return IsRunning() && (bindings.next.IsJoystick() || bindings.previous.IsJoystick() ||
                           std::any_of(bindings.jumps.begin(), bindings.jumps.end(),
                                       [](const lapforge::Jump& jump) { return jump.binding.IsJoystick(); }));
}

bool SectionCycle::WantsKeyEvents() const {
    const Bindings& bindings = controller_.HotkeyBindings;
    const auto isKey = [](const Binding& binding) { return binding.kind == Binding::Kind::Key; };
    return IsRunning() && (isKey(bindings.next) || isKey(bindings.previous) ||
                           std::any_of(bindings.jumps.begin(), bindings.jumps.end(),
                                       [&](const lapforge::Jump& jump) { return isKey(jump.binding); }));
}

std::vector<unsigned> SectionCycle::SampledJoysticks() const {
    return IsRunning() ? sampled_ : std::vector<unsigned>();
}

void SectionCycle::KeyEvent(std::uint64_t nowMilliseconds) {
    if (IsRunning()) nextPoll_ = nowMilliseconds;
}

void SectionCycle::Forget() {
    next_.Forget();
    previous_.Forget();
    for (PressWatch& jump : jumps_) jump.Forget();
}

bool SectionCycle::AnyPressing() const {
    return next_.Pressing() || previous_.Pressing() ||
           std::any_of(jumps_.begin(), jumps_.end(), [](const PressWatch& jump) { return jump.Pressing(); });
}

void SectionCycle::Poll(InputSource& input, CycleView& view, std::uint64_t nowMilliseconds) {
    if (!IsRunning()) {
        if (picturesDue_) view.ShowStopPictures(*std::exchange(picturesDue_, std::nullopt));
        return;
    }
    if (controller_.HotkeyBindings != taken_) {
        taken_ = bindings_ = controller_.HotkeyBindings;
        jumps_.assign(bindings_.jumps.size(), PressWatch());
        Forget();
    }

    if (reprobe_.Due(nowMilliseconds)) {
        input.Reenumerate();
        reprobe_.Listed(nowMilliseconds);
        silent_.reset();
    }

    // A binding as one look sees it: down or up, or nothing when its joystick does not answer; and
    // for a hat direction, whether the hat is in a diagonal.
    struct Seen {
        std::optional<bool> down;
        bool inDiagonal = false;
    };
    using Role = BindingUse::Role;
    // The presses that count, in the order they ended, with a jump's stop.
    std::vector<std::pair<Role, Stop>> pressed;
    const auto look = [&](PressWatch& watch, const Binding& binding, const Seen& seen, Role role, const Stop& target,
                          const std::function<bool(int)>& isKeyDown) {
        const bool down = seen.down.value_or(false);
        if (watch.Look(seen.down, down && MakesShortcut(binding, isKeyDown), down && seen.inDiagonal))
            pressed.emplace_back(role, target);
    };
    const auto fromControls = [](const Binding& binding, std::optional<JoystickControls> controls) -> Seen {
        if (!controls) return {};
        return {(*controls & ControlBit(binding)) != 0,
                binding.kind == Binding::Kind::JoystickHat && IsHatDiagonal(*controls)};
    };
    // Each binding's watch with what it is: next, previous, or a jump's stop.
    const auto eachBinding = [&](const auto& visit) {
        visit(next_, bindings_.next, Role::Next, Stop{});
        visit(previous_, bindings_.previous, Role::Previous, Stop{});
        for (std::size_t i = 0; i < bindings_.jumps.size(); ++i)
            visit(jumps_[i], bindings_.jumps[i].binding, Role::Jump, bindings_.jumps[i].target);
    };

    // The changes kept since the last poll, one look each at the bindings they touch. A key not
    // changed meanwhile is as it is now.
    const std::vector<InputChange> changes = input.TakeChanges();
    std::vector<std::pair<int, bool>> keys;  // as the changes played so far left them
    const auto keyDown = [&](int key) {
        for (auto at = keys.rbegin(); at != keys.rend(); ++at)
            if (at->first == key) return at->second;
        return input.IsKeyDown(key);
    };
    const std::vector<JoystickInfo>* listed = nullptr;
    for (const InputChange& change : changes) {
        if (change.kind == InputChange::Kind::Key) {
            keys.emplace_back(change.key, change.down);
            eachBinding([&](PressWatch& watch, const Binding& binding, Role role, const Stop& target) {
                if (binding.kind == Binding::Kind::Key)
                    look(watch, binding, {keyDown(binding.key)}, role, target, keyDown);
            });
            continue;
        }
        if (!listed) listed = &input.Joysticks();
        eachBinding([&](PressWatch& watch, const Binding& binding, Role role, const Stop& target) {
            if (!binding.IsJoystick() || FindJoystick(binding, *listed) != change.joystick) return;
            look(watch, binding, fromControls(binding, change.controls), role, target, keyDown);
        });
    }

    // Then one look at now. Each joystick a binding names is asked at most once; one not connected
    // or gone silent is not asked.
    std::array<JoystickReading, JoystickCount> readings{};
    bool missing = false;
    std::vector<unsigned> sampled;
    const auto see = [&](Binding& binding) -> Seen {
        switch (binding.kind) {
        case Binding::Kind::None:
            return {};
        case Binding::Kind::Key:
            return {input.IsKeyDown(binding.key)};
        case Binding::Kind::JoystickButton:
        case Binding::Kind::JoystickHat: {
            const std::vector<JoystickInfo>& joysticks = input.Joysticks();
            const std::optional<unsigned> id = FindJoystick(binding, joysticks);
            if (!id || silent_[*id]) {
                missing = true;
                return {};
            }
            AdoptIdentity(binding, joysticks);  // an old line's joystick is known from its first answer
            JoystickReading& reading = readings[*id];
            if (reading.state == JoystickReading::State::NotAsked) {
                const std::optional<JoystickControls> controls = input.JoystickInputs(*id);
                reading.state = controls ? JoystickReading::State::Answered : JoystickReading::State::Silent;
                reading.controls = controls.value_or(0);
                if (controls) sampled.push_back(*id);
                else silent_.set(*id);
            }
            if (reading.state == JoystickReading::State::Silent) {
                missing = true;
                return {};
            }
            return fromControls(binding, reading.controls);
        }
        }
        return {};
    };
    std::vector<Seen> now;
    now.push_back(see(bindings_.next));
    now.push_back(see(bindings_.previous));
    for (lapforge::Jump& jump : bindings_.jumps) now.push_back(see(jump.binding));
    reprobe_.Looked(missing, nowMilliseconds);
    sampled_ = std::move(sampled);
    // The modifiers are asked only while a key binding is down: the idle poll is one look per binding.
    const auto isKeyDown = [&](int key) { return input.IsKeyDown(key); };
    std::size_t i = 0;
    eachBinding([&](PressWatch& watch, const Binding& binding, Role role, const Stop& target) {
        look(watch, binding, now[i++], role, target, isKeyDown);
    });

    for (const auto& [role, target] : pressed) {
        if (role == Role::Jump)
            Jump(target, view);
        else
            Step(role == Role::Next, view);
    }
    // The pictures of the last step, once a poll has come without a press under way.
    if (pressed.empty() && picturesDue_ && !AnyPressing()) view.ShowStopPictures(*std::exchange(picturesDue_, std::nullopt));
}

void SectionCycle::Step(bool forward, CycleView& view) {
    // From the place the file holds, whatever the list shows.
    std::optional<StopAnnouncement> written;
    try {
        written = controller_.WriteNeighbour(forward);
    } catch (const std::exception& failure) {
        // Nothing is announced for a file that was not written; the next press tries again.
        view.StepRefused(failure);
        return;
    }
    Written(*written, view);
}

void SectionCycle::Jump(const Stop& to, CycleView& view) {
    try {
        controller_.WriteStop(to);
    } catch (const std::exception& failure) {
        view.StepRefused(failure);
        return;
    }
    Written(controller_.AnnouncementOf(to), view);
}

void SectionCycle::Written(const StopAnnouncement& written, CycleView& view) {
    // The driver hears it at once; the pictures, which take a decode, come after a later poll.
    view.Announce(written);
    view.ShowWrittenStop(written.stop);
    picturesDue_ = written.stop;
}

}  // namespace lapforge
