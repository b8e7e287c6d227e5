#include "platform/Winmm.h"

#include "platform/NewerWindows.h"

namespace lapforge::platform {

namespace {

template <typename Function>
void Find(HMODULE module, Function& function, const char* name) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

const WinmmFunctions& Winmm() {
    static const WinmmFunctions functions = [] {
        WinmmFunctions found;
        if (const HMODULE winmm = newer::LoadSystemLibrary(L"winmm.dll")) {
            Find(winmm, found.sndPlaySoundA, "sndPlaySoundA");
            Find(winmm, found.joyGetNumDevs, "joyGetNumDevs");
            Find(winmm, found.joyGetPosEx, "joyGetPosEx");
            Find(winmm, found.joyGetDevCapsW, "joyGetDevCapsW");
            Find(winmm, found.timeBeginPeriod, "timeBeginPeriod");
            Find(winmm, found.timeEndPeriod, "timeEndPeriod");
        }
        return found;
    }();
    return functions;
}

void TimerPeriodRequest::Want(bool wanted) {
    if (wanted == wanted_) return;
    wanted_ = wanted;
    const WinmmFunctions& winmm = Winmm();
    if (wanted) {
        newer::KeepTimerResolution();  // else Windows 11 lets the period lapse behind a full-screen GPL
        begun_ = winmm.timeBeginPeriod && winmm.timeEndPeriod && winmm.timeBeginPeriod(1) == TIMERR_NOERROR;
    } else if (begun_) {
        winmm.timeEndPeriod(1);
        begun_ = false;
    }
}

}  // namespace lapforge::platform
