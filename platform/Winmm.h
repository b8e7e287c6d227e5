#pragma once

#include <windows.h>
#include <mmsystem.h>

namespace lapforge::platform {

// The few functions of winmm that Lapforge uses: the announcements, the game controllers and the
// timer period.
// winmm is no KnownDLL: imported, it would be taken from beside the exe first, so it is loaded once,
// from System32, when first needed. A function that could not be found is null.
struct WinmmFunctions {
    BOOL(WINAPI* sndPlaySoundA)(LPCSTR, UINT) = nullptr;
    UINT(WINAPI* joyGetNumDevs)() = nullptr;
    MMRESULT(WINAPI* joyGetPosEx)(UINT, LPJOYINFOEX) = nullptr;
    MMRESULT(WINAPI* joyGetDevCapsW)(UINT_PTR, LPJOYCAPSW, UINT) = nullptr;
    MMRESULT(WINAPI* timeBeginPeriod)(UINT) = nullptr;
    MMRESULT(WINAPI* timeEndPeriod)(UINT) = nullptr;
};

const WinmmFunctions& Winmm();

// Windows' timer period of 1 ms, while wanted: a wait of 10 ms then lasts about 10 ms, where Windows
// otherwise ends it at its next tick, 15.6 ms apart. Asked for and ended on a change of Want only,
// and ended when it goes.
class TimerPeriodRequest {
public:
    TimerPeriodRequest() = default;
    ~TimerPeriodRequest() { Want(false); }
    TimerPeriodRequest(const TimerPeriodRequest&) = delete;
    TimerPeriodRequest& operator=(const TimerPeriodRequest&) = delete;

    void Want(bool wanted);

private:
    bool wanted_ = false;
    bool begun_ = false;  // Windows granted it
};

}  // namespace lapforge::platform
