// A "winmm.dll" planted beside lapforge.exe by the end-to-end test: loading it leaves a marker file
// beside it. Its exports are those lapforge.exe once imported, so an exe importing them would
// start with it.
#include <windows.h>

namespace {

void LeaveMarker(HMODULE self) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    wchar_t* slash = wcsrchr(path, L'\\');
    if (!slash || (slash - path) + 22 >= MAX_PATH) return;
    lstrcpyW(slash + 1, L"planted-dll-ran.txt");
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) LeaveMarker(self);
    return TRUE;
}

__declspec(dllexport) BOOL WINAPI sndPlaySoundA(LPCSTR, UINT) { return FALSE; }
__declspec(dllexport) BOOL WINAPI sndPlaySoundW(LPCWSTR, UINT) { return FALSE; }
__declspec(dllexport) BOOL WINAPI PlaySoundA(LPCSTR, HMODULE, DWORD) { return FALSE; }
__declspec(dllexport) BOOL WINAPI PlaySoundW(LPCWSTR, HMODULE, DWORD) { return FALSE; }
}
