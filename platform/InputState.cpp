#include "platform/InputState.h"

#include "platform/Win32.h"
#include "platform/Winmm.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace lapforge::platform {

namespace {

// Keys whose scan code comes with the extended-key prefix; without it the system names the numeric
// keypad's twin ("Num 8" for the Up arrow).
bool IsExtendedKey(int virtualKey) {
    switch (virtualKey) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_INSERT:
    case VK_DELETE:
    case VK_DIVIDE:
    case VK_NUMLOCK:
    case VK_APPS:
        return true;
    }
    return false;
}

}  // namespace

void KeyEventRequest::Want(HWND window, bool wanted) {
    if (wanted == registered_ || (wanted && !window)) return;
    // The generic desktop page's keyboard; RIDEV_INPUTSINK: also while another program is in front.
    RAWINPUTDEVICE keyboard{0x01, 0x06, static_cast<DWORD>(wanted ? RIDEV_INPUTSINK : RIDEV_REMOVE),
                            wanted ? window : nullptr};
    if (RegisterRawInputDevices(&keyboard, 1, sizeof keyboard)) registered_ = wanted;
}

std::optional<InputChange> KeyChangeOf(LPARAM rawInput) {
    RAWINPUT input{};
    UINT size = sizeof input;
    if (GetRawInputData(reinterpret_cast<HRAWINPUT>(rawInput), RID_INPUT, &input, &size, sizeof(RAWINPUTHEADER)) ==
            static_cast<UINT>(-1) ||
        input.header.dwType != RIM_TYPEKEYBOARD)
        return std::nullopt;
    const RAWKEYBOARD& key = input.data.keyboard;
    // 0xFF: a part of a longer sequence (Pause, Print Screen), not a key of its own.
    if (key.VKey == 0 || key.VKey >= 0xFF) return std::nullopt;
    const bool right = (key.Flags & RI_KEY_E0) != 0;
    int virtualKey = key.VKey;
    // Ctrl, Alt and Shift come as the key both sides share: told apart here, as the shortcuts ask.
    if (virtualKey == VK_CONTROL) virtualKey = right ? VK_RCONTROL : VK_LCONTROL;
    if (virtualKey == VK_MENU) virtualKey = right ? VK_RMENU : VK_LMENU;
    if (virtualKey == VK_SHIFT) virtualKey = key.MakeCode == 0x36 ? VK_RSHIFT : VK_LSHIFT;
    return KeyChange(virtualKey, (key.Flags & RI_KEY_BREAK) == 0);
}

bool IsKeyDown(int virtualKey) { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

void DesktopInput::LatchKeys(bool latched) {
    if (latched == latched_) return;
    latched_ = latched;
    keys_.clear();
    down_.reset();
    told_.reset();
}

void DesktopInput::KeyEvent(const InputChange& change) {
    if (!latched_ || change.key <= 0 || change.key >= 256) return;
    const auto key = static_cast<std::size_t>(change.key);
    down_[key] = change.down;
    told_[key] = true;
    // The key both sides share is down while either is.
    for (const auto& [shared, left, right] : {std::array{VK_CONTROL, VK_LCONTROL, VK_RCONTROL},
                                              std::array{VK_MENU, VK_LMENU, VK_RMENU},
                                              std::array{VK_SHIFT, VK_LSHIFT, VK_RSHIFT}})
        if (change.key == left || change.key == right) {
            down_[shared] = down_[left] || down_[right];
            told_[shared] = true;
        }
    if (keys_.size() < 4096) keys_.push_back(change);
}

bool DesktopInput::IsKeyDown(int virtualKey) {
    // A key not told of since the latch began is as the system says now: one held, or thought held,
    // at the start is looked at afresh at each poll until its first change comes.
    if (!latched_ || virtualKey <= 0 || virtualKey >= 256 || !told_[static_cast<std::size_t>(virtualKey)])
        return platform::IsKeyDown(virtualKey);
    return down_[static_cast<std::size_t>(virtualKey)];
}

std::optional<JoystickControls> JoystickInputs(unsigned joystick) {
    const auto getPosition = Winmm().joyGetPosEx;
    if (!getPosition) return std::nullopt;
    JOYINFOEX info{};
    info.dwSize = sizeof info;
    info.dwFlags = JOY_RETURNBUTTONS | JOY_RETURNPOV;
    if (getPosition(joystick, &info) != JOYERR_NOERROR) return std::nullopt;
    // A joystick without a hat reports it at rest.
    return static_cast<JoystickControls>(info.dwButtons) | HatControls(info.dwPOV);
}

std::string KeyName(int virtualKey) {
    const UINT scanCode = MapVirtualKeyW(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC);
    if (scanCode == 0) return {};
    const LONG keyData = static_cast<LONG>((scanCode << 16) | (IsExtendedKey(virtualKey) ? 1u << 24 : 0u));
    wchar_t name[64] = {};
    const int length = GetKeyNameTextW(keyData, name, static_cast<int>(std::size(name)));
    return length > 0 ? Narrow(std::wstring_view(name, static_cast<std::size_t>(length))) : std::string();
}

namespace {

struct JoystickList {
    std::vector<JoystickInfo> joysticks;
    bool stale = true;
};

JoystickList& List() {
    static JoystickList list;
    return list;
}

// winmm names a USB device after its driver ("Microsoft PC-joystick driver"); the product's own name
// is kept where the Game Controllers panel reads it, under its vendor and product ids.
std::string ProductName(const JOYCAPSW& caps) {
    wchar_t key[128] = {};
    swprintf(key, std::size(key),
             L"System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\VID_%04X&PID_%04X",
             caps.wMid, caps.wPid);
    for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        wchar_t name[256] = {};
        DWORD size = sizeof name;
        if (RegGetValueW(root, key, L"OEMName", RRF_RT_REG_SZ, nullptr, name, &size) == ERROR_SUCCESS && name[0])
            return Narrow(std::wstring_view(name));
    }
    return Narrow(std::wstring_view(caps.szPname, wcsnlen(caps.szPname, std::size(caps.szPname))));
}

std::vector<JoystickInfo> Enumerate() {
    std::vector<JoystickInfo> found;
    const WinmmFunctions& winmm = Winmm();
    if (!winmm.joyGetNumDevs || !winmm.joyGetPosEx || !winmm.joyGetDevCapsW) return found;
    const unsigned count = std::min<unsigned>(winmm.joyGetNumDevs(), JoystickCount);
    for (unsigned id = 0; id < count; ++id) {
        // The capabilities come from the configuration and fail fast for an id never used; a device
        // configured but unplugged is told by its position not answering.
        JOYCAPSW caps{};
        if (winmm.joyGetDevCapsW(id, &caps, sizeof caps) != JOYERR_NOERROR || !JoystickInputs(id)) continue;
        JoystickInfo joystick;
        joystick.id = id;
        joystick.vendor = caps.wMid;
        joystick.product = caps.wPid;
        joystick.name = ProductName(caps);
        joystick.buttons = caps.wNumButtons;
        joystick.hat = (caps.wCaps & JOYCAPS_HASPOV) != 0;
        found.push_back(std::move(joystick));
    }
    return found;
}

}  // namespace

const std::vector<JoystickInfo>& Joysticks() {
    JoystickList& list = List();
    if (list.stale) {
        list.joysticks = Enumerate();
        list.stale = false;
    }
    return list.joysticks;
}

void JoysticksChanged() { List().stale = true; }

InputSnapshot TakeSnapshot() {
    InputSnapshot snapshot;
    for (int key = 1; key < 256; ++key) snapshot.keys[static_cast<std::size_t>(key)] = IsKeyDown(key);
    for (const JoystickInfo& joystick : Joysticks()) {
        snapshot.joysticks[joystick.id] = JoystickInputs(joystick.id);
        snapshot.silent = snapshot.silent || !snapshot.joysticks[joystick.id];
    }
    return snapshot;
}

std::uint64_t Milliseconds() {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER counts{};
        QueryPerformanceFrequency(&counts);  // never fails from Windows XP on
        return counts.QuadPart;
    }();
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    const auto ticks = static_cast<std::uint64_t>(now.QuadPart), perSecond = static_cast<std::uint64_t>(frequency);
    return ticks / perSecond * 1000 + ticks % perSecond * 1000 / perSecond;
}

}  // namespace lapforge::platform
