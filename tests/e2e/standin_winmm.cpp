// A stand-in for the system's winmm.dll, for the end-to-end tests alone: its joysticks are what a
// script file says, and the sounds asked for are logged.
//
//   LAPFORGE_JOYSTICKS  the script: one line per joystick, "id vendor product buttons down pov name",
//                       vendor and product and down (the buttons held, bit n-1 for button n) in hex,
//                       pov in hundredths of a degree or 65535 at rest. Read every 10 ms.
//   LAPFORGE_SOUND_LOG  one line per sound asked for: its path, " | ", line 54 of LAPFORGE_TRACK
//   LAPFORGE_TRACK      at that moment, so the log shows what the track file held when it was asked,
//                       " | " and the moment it was asked, in Unix time in ns.
//   LAPFORGE_SPIN       a quick spin of an encoder on top of the script: "joystick down start count
//                       press gap", down in hex (the buttons it presses), start in Unix time in ns,
//                       then `count` pulses of `press` ms with `gap` ms between them. Read every 10 ms.
//   LAPFORGE_JOY_LOG    one line per id asked for whose joystick the script does not list.
//   LAPFORGE_WINMM_LOG  one line per listing of the joysticks ("list", at each joyGetNumDevs) and per
//                       timer period asked for or ended ("timeBeginPeriod 1", "timeEndPeriod 1").
// When the script's devices change, the process's top-level windows get a burst of three
// WM_DEVICECHANGE, as Windows sends several when a device is plugged in or out.
// A thread of the stand-in reads both every 10 ms, so that a call reads no file: under Wine a file's
// open waits for the server behind whatever else the process asks of it (a flush), where a real
// device's state comes at once. Defined here, not imported.
#define _WINMM_
#include <windows.h>
#include <mmsystem.h>
#include <dbt.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

namespace {

struct Joystick {
    unsigned id = 0, vendor = 0, product = 0, buttons = 0, down = 0, pov = 65535;
    wchar_t name[MAXPNAMELEN] = {};
};

std::wstring Env(const wchar_t* name) {
    wchar_t value[1024] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
}

std::string ReadFile(const std::wstring& path) {
    std::string bytes;
    if (FILE* file = _wfopen(path.c_str(), L"rb")) {
        char buffer[4096];
        std::size_t got = 0;
        while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
        fclose(file);
    }
    return bytes;
}

void Append(const std::wstring& path, const std::string& line) {
    if (path.empty()) return;
    if (FILE* file = _wfopen(path.c_str(), L"ab")) {
        fputs((line + "\n").c_str(), file);
        fclose(file);
    }
}

struct Scripts {
    std::string joysticks, spin;
};

Scripts ReadScripts() { return {ReadFile(Env(L"LAPFORGE_JOYSTICKS")), ReadFile(Env(L"LAPFORGE_SPIN"))}; }

struct Cache {
    CRITICAL_SECTION lock;
    Scripts scripts = ReadScripts();
    Cache() { InitializeCriticalSection(&lock); }
};

Cache& TheCache() {
    static Cache cache;
    return cache;
}

void StartWatching();

// The scripts as last read.
Scripts Cached() {
    StartWatching();
    Cache& cache = TheCache();
    EnterCriticalSection(&cache.lock);
    Scripts scripts = cache.scripts;
    LeaveCriticalSection(&cache.lock);
    return scripts;
}

bool Find(unsigned id, Joystick& found) {
    const std::string script = Cached().joysticks;
    std::size_t begin = 0;
    while (begin < script.size()) {
        std::size_t end = script.find('\n', begin);
        if (end == std::string::npos) end = script.size();
        const std::string line = script.substr(begin, end - begin);
        begin = end + 1;
        Joystick j;
        int nameAt = 0;
        if (std::sscanf(line.c_str(), "%u %x %x %u %x %u %n", &j.id, &j.vendor, &j.product, &j.buttons, &j.down, &j.pov,
                        &nameAt) < 6 ||
            j.id != id)
            continue;
        std::string name = line.substr(static_cast<std::size_t>(nameAt));
        while (!name.empty() && (name.back() == '\r' || name.back() == ' ')) name.pop_back();
        MultiByteToWideChar(CP_UTF8, 0, name.c_str(), -1, j.name, MAXPNAMELEN - 1);
        found = j;
        return true;
    }
    Append(Env(L"LAPFORGE_JOY_LOG"), "absent " + std::to_string(id));
    return false;
}

unsigned long long UnixNanosecondsNow();

// The buttons the spin holds down on the joystick now.
unsigned SpinDown(unsigned id) {
    unsigned joystick = 0, down = 0, count = 0, press = 0, gap = 0;
    unsigned long long start = 0;
    if (std::sscanf(Cached().spin.c_str(), "%u %x %llu %u %u %u", &joystick, &down, &start, &count,
                    &press, &gap) != 6 ||
        joystick != id || press + gap == 0)
        return 0;
    const unsigned long long now = UnixNanosecondsNow();
    if (now < start) return 0;
    const unsigned long long since = (now - start) / 1000000, period = press + gap;
    return since / period < count && since % period < press ? down : 0;
}

BOOL CALLBACK Notify(HWND window, LPARAM) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) PostMessageW(window, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    return TRUE;
}

// The devices the script lists: each line's id, vendor and product, without what is held down.
std::string Devices() {
    const std::string script = Cached().joysticks;
    std::string devices;
    std::size_t begin = 0;
    while (begin < script.size()) {
        std::size_t end = script.find('\n', begin);
        if (end == std::string::npos) end = script.size();
        unsigned id = 0, vendor = 0, product = 0;
        if (std::sscanf(script.substr(begin, end - begin).c_str(), "%u %x %x", &id, &vendor, &product) == 3)
            devices += std::to_string(id) + ":" + std::to_string(vendor) + ":" + std::to_string(product) + ";";
        begin = end + 1;
    }
    return devices;
}

DWORD WINAPI WatchScript(LPVOID) {
    std::string last = Devices();
    for (unsigned round = 1;; ++round) {
        Sleep(10);
        Scripts scripts = ReadScripts();
        Cache& cache = TheCache();
        EnterCriticalSection(&cache.lock);
        cache.scripts = std::move(scripts);
        LeaveCriticalSection(&cache.lock);
        if (round % 10 != 0) continue;
        const std::string now = Devices();
        if (now != last) {
            for (int notice = 0; notice < 3; ++notice) {
                if (notice > 0) Sleep(30);
                EnumWindows(Notify, 0);
            }
        }
        last = now;
    }
}

void StartWatching() {
    static LONG started = 0;
    if (InterlockedExchange(&started, 1) == 0) CloseHandle(CreateThread(nullptr, 0, WatchScript, nullptr, 0, nullptr));
}

std::string Line54() {
    const std::string track = ReadFile(Env(L"LAPFORGE_TRACK"));
    std::size_t begin = 0;
    for (int line = 1; line < 54 && begin != std::string::npos; ++line) {
        begin = track.find('\n', begin);
        if (begin != std::string::npos) ++begin;
    }
    if (begin == std::string::npos) return {};
    return track.substr(begin, track.find_first_of("\r\n", begin) - begin);
}

unsigned long long UnixNanosecondsNow() {
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    // FILETIME counts 100 ns from 1601.
    const unsigned long long ticks = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return (ticks - 116444736000000000ULL) * 100;
}

std::string UnixNanoseconds() { return std::to_string(UnixNanosecondsNow()); }

// `asked`: when the sound was asked for, taken before any work of the stand-in's own.
void LogSound(const std::string& path, const std::string& asked = UnixNanoseconds()) {
    Append(Env(L"LAPFORGE_SOUND_LOG"), path + " | " + Line54() + " | " + asked);
}

std::string Narrow(LPCWSTR text) {
    if (!text) return {};
    char buffer[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer - 1, nullptr, nullptr);
    return buffer;
}

// A wave played from memory, named by the wave file beside the program with the same bytes, so the
// log reads as for a file played by name; "memory" when none has them.
std::string WaveInMemory(const void* wave) {
    if (!wave) return {};
    const auto* riff = static_cast<const unsigned char*>(wave);
    const std::size_t size = 8 + (riff[4] | riff[5] << 8 | riff[6] << 16 | static_cast<std::size_t>(riff[7]) << 24);
    std::wstring folder(32768, L'\0');
    folder.resize(GetModuleFileNameW(nullptr, folder.data(), static_cast<DWORD>(folder.size())));
    folder.resize(folder.find_last_of(L'\\') + 1);
    const std::wstring prefix = folder.size() >= MAX_PATH - 12 ? L"\\\\?\\" : L"";
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((prefix + folder + L"*.wav").c_str(), &found);
    std::string name = "memory";
    if (search == INVALID_HANDLE_VALUE) return name;
    do {
        const std::string bytes = ReadFile(prefix + folder + found.cFileName);
        if (bytes.size() == size && std::memcmp(bytes.data(), wave, size) == 0) {
            name = Narrow((folder + found.cFileName).c_str());
            break;
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return name;
}

}  // namespace

extern "C" {

__declspec(dllexport) UINT WINAPI joyGetNumDevs() {
    StartWatching();
    Append(Env(L"LAPFORGE_WINMM_LOG"), "list");
    return 16;
}

__declspec(dllexport) MMRESULT WINAPI joyGetDevCapsW(UINT_PTR id, LPJOYCAPSW caps, UINT size) {
    StartWatching();
    Joystick j;
    if (!caps || size < sizeof(JOYCAPSW)) return MMSYSERR_INVALPARAM;
    if (!Find(static_cast<unsigned>(id), j)) return JOYERR_PARMS;
    std::memset(caps, 0, size);
    caps->wMid = static_cast<WORD>(j.vendor);
    caps->wPid = static_cast<WORD>(j.product);
    lstrcpynW(caps->szPname, j.name, MAXPNAMELEN);
    caps->wNumButtons = j.buttons;
    caps->wMaxButtons = j.buttons;
    caps->wNumAxes = caps->wMaxAxes = 2;
    caps->wCaps = JOYCAPS_HASPOV | JOYCAPS_POV4DIR;
    return JOYERR_NOERROR;
}

__declspec(dllexport) MMRESULT WINAPI joyGetPosEx(UINT id, LPJOYINFOEX info) {
    StartWatching();
    Joystick j;
    if (!info) return MMSYSERR_INVALPARAM;
    if (!Find(id, j)) return JOYERR_UNPLUGGED;
    info->dwButtons = j.down | SpinDown(id);
    info->dwButtonNumber = 0;
    for (unsigned bits = info->dwButtons; bits; bits &= bits - 1) ++info->dwButtonNumber;
    info->dwPOV = (info->dwFlags & JOY_RETURNPOV) ? j.pov : 0;
    return JOYERR_NOERROR;
}

__declspec(dllexport) MMRESULT WINAPI timeBeginPeriod(UINT period) {
    Append(Env(L"LAPFORGE_WINMM_LOG"), "timeBeginPeriod " + std::to_string(period));
    return TIMERR_NOERROR;
}
__declspec(dllexport) MMRESULT WINAPI timeEndPeriod(UINT period) {
    Append(Env(L"LAPFORGE_WINMM_LOG"), "timeEndPeriod " + std::to_string(period));
    return TIMERR_NOERROR;
}

__declspec(dllexport) BOOL WINAPI sndPlaySoundA(LPCSTR path, UINT flags) {
    if (!path) return TRUE;  // the sound playing stops: nothing asked for
    // As the system's: a file named by a path of MAX_PATH or more is never found.
    if (!(flags & SND_MEMORY) && std::strlen(path) >= MAX_PATH) return FALSE;
    const std::string asked = UnixNanoseconds();
    LogSound((flags & SND_MEMORY) ? WaveInMemory(path) : path, asked);
    return TRUE;
}
__declspec(dllexport) BOOL WINAPI sndPlaySoundW(LPCWSTR path, UINT) {
    LogSound(Narrow(path));
    return TRUE;
}
__declspec(dllexport) BOOL WINAPI PlaySoundA(LPCSTR path, HMODULE, DWORD) {
    LogSound(path ? path : "");
    return TRUE;
}
__declspec(dllexport) BOOL WINAPI PlaySoundW(LPCWSTR path, HMODULE, DWORD) {
    LogSound(Narrow(path));
    return TRUE;
}
}
