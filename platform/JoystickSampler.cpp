#include "platform/JoystickSampler.h"

#include "platform/InputState.h"

#include <array>
#include <optional>
#include <utility>

namespace lapforge::platform {

namespace {

// Changes nobody takes (a window that stopped polling) are not kept without end.
constexpr std::size_t MostKept = 4096;

class Locked {
public:
    explicit Locked(CRITICAL_SECTION& lock) : lock_(lock) { EnterCriticalSection(&lock_); }
    ~Locked() { LeaveCriticalSection(&lock_); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    CRITICAL_SECTION& lock_;
};

}  // namespace

JoystickSampler::JoystickSampler() { InitializeCriticalSection(&lock_); }

JoystickSampler::~JoystickSampler() {
    Stop();
    DeleteCriticalSection(&lock_);
}

void JoystickSampler::Sample(const std::vector<unsigned>& joysticks) {
    {
        const Locked locked(lock_);
        if (joysticks == joysticks_ && static_cast<bool>(thread_) == !joysticks.empty()) return;
        joysticks_ = joysticks;
        ++generation_;
    }
    if (joysticks.empty()) return Stop();
    if (thread_) return;
    InterlockedExchange(&stopping_, 0);
    thread_.Reset(CreateThread(nullptr, 0, &Run, this, 0, nullptr));
    if (!thread_) return;
    // A look takes microseconds; above normal, a busy GPL does not keep it from its millisecond.
    SetThreadPriority(thread_.Get(), THREAD_PRIORITY_HIGHEST);
}

std::vector<InputChange> JoystickSampler::Take() {
    const Locked locked(lock_);
    return std::exchange(changes_, {});
}

void JoystickSampler::Stop() {
    if (!thread_) return;
    InterlockedExchange(&stopping_, 1);
    WaitForSingleObject(thread_.Get(), INFINITE);
    thread_.Reset();
    const Locked locked(lock_);
    changes_.clear();
}

DWORD WINAPI JoystickSampler::Run(LPVOID self) {
    auto& me = *static_cast<JoystickSampler*>(self);
    std::vector<unsigned> joysticks;
    unsigned generation = 0;
    bool first = true;
    // What each joystick showed last; the first look of a new set is no change, as the cycle's own
    // look sees it. One gone silent is asked no more until the set changes (asking one is slow).
    std::array<std::optional<std::optional<JoystickControls>>, JoystickCount> last{};
    // A sleep of 1 ms lasts 1 ms while the window has the timer period of 1 ms, which it asks for
    // whenever a joystick binding is polled. Sleep, not a wait on the event: under Wine a wait is a
    // round trip to its server, which the rest of the process keeps busy.
    for (;;) {
        Sleep(1);
        if (InterlockedCompareExchange(&me.stopping_, 0, 0) != 0) break;
        {
            const Locked locked(me.lock_);
            if (first || generation != me.generation_) {
                joysticks = me.joysticks_;
                generation = me.generation_;
                last.fill(std::nullopt);
                first = false;
            }
        }
        for (const unsigned id : joysticks) {
            if (id >= JoystickCount || (last[id] && !*last[id])) continue;
            const std::optional<JoystickControls> now = JoystickInputs(id);
            const bool seen = last[id].has_value();
            if (seen && *last[id] == now) continue;
            last[id] = now;
            if (!seen) continue;
            const Locked locked(me.lock_);
            if (generation != me.generation_ || me.changes_.size() >= MostKept) continue;
            me.changes_.push_back(JoystickChange(id, now));
        }
    }
    return 0;
}

}  // namespace lapforge::platform
