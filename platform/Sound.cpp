#include "platform/Sound.h"

#include "platform/NewerWindows.h"

#include <windows.h>
#include <mmsystem.h>

namespace lapforge::platform {

void PlayAnnouncement(const std::string& path) {
    // winmm is no KnownDLL: imported, it would be taken from beside the exe first.
    using PlaySoundFunction = BOOL(WINAPI*)(LPCSTR, UINT);
    static const auto play = [] {
        const HMODULE winmm = newer::LoadSystemLibrary(L"winmm.dll");
        return winmm ? reinterpret_cast<PlaySoundFunction>(
                           reinterpret_cast<void*>(GetProcAddress(winmm, "sndPlaySoundA")))
                     : nullptr;
    }();
    if (play) play(path.c_str(), SND_ASYNC | SND_NODEFAULT);
}

}  // namespace lapforge::platform
