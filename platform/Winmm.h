#pragma once

#include <windows.h>
#include <mmsystem.h>

namespace lapforge::platform {

// The few functions of winmm that Lapforge uses: the announcements and the game controllers.
// winmm is no KnownDLL: imported, it would be taken from beside the exe first, so it is loaded once,
// from System32, when first needed. A function that could not be found is null.
struct WinmmFunctions {
    BOOL(WINAPI* sndPlaySoundA)(LPCSTR, UINT) = nullptr;
    UINT(WINAPI* joyGetNumDevs)() = nullptr;
    MMRESULT(WINAPI* joyGetPosEx)(UINT, LPJOYINFOEX) = nullptr;
    MMRESULT(WINAPI* joyGetDevCapsW)(UINT_PTR, LPJOYCAPSW, UINT) = nullptr;
};

const WinmmFunctions& Winmm();

}  // namespace lapforge::platform
