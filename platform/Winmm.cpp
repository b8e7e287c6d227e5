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
        }
        return found;
    }();
    return functions;
}

}  // namespace lapforge::platform
