#include "platform/InputState.h"

#include "platform/Win32.h"
#include "platform/Winmm.h"

#include <algorithm>
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

bool IsKeyDown(int virtualKey) { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

bool IsModifierDown() {
    for (const int key : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LWIN, VK_RWIN})
        if (IsKeyDown(key)) return true;
    return false;
}

std::optional<std::uint32_t> JoystickButtons(unsigned joystick) {
    const auto getPosition = Winmm().joyGetPosEx;
    if (!getPosition) return std::nullopt;
    JOYINFOEX info{};
    info.dwSize = sizeof info;
    info.dwFlags = JOY_RETURNBUTTONS;
    if (getPosition(joystick, &info) != JOYERR_NOERROR) return std::nullopt;
    return static_cast<std::uint32_t>(info.dwButtons);
}

std::string KeyName(int virtualKey) {
    const UINT scanCode = MapVirtualKeyW(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC);
    if (scanCode == 0) return {};
    const LONG keyData = static_cast<LONG>((scanCode << 16) | (IsExtendedKey(virtualKey) ? 1u << 24 : 0u));
    wchar_t name[64] = {};
    const int length = GetKeyNameTextW(keyData, name, static_cast<int>(std::size(name)));
    return length > 0 ? Narrow(std::wstring_view(name, static_cast<std::size_t>(length))) : std::string();
}

std::vector<ConnectedJoystick> ConnectedJoysticks() {
    std::vector<ConnectedJoystick> found;
    const WinmmFunctions& winmm = Winmm();
    if (!winmm.joyGetNumDevs || !winmm.joyGetPosEx) return found;
    const unsigned count = std::min<unsigned>(winmm.joyGetNumDevs(), JoystickCount);
    for (unsigned id = 0; id < count; ++id) {
        if (!JoystickButtons(id)) continue;
        JOYCAPSW caps{};
        std::wstring name;
        if (winmm.joyGetDevCapsW && winmm.joyGetDevCapsW(id, &caps, sizeof caps) == JOYERR_NOERROR)
            name.assign(caps.szPname, wcsnlen(caps.szPname, std::size(caps.szPname)));
        found.push_back(ConnectedJoystick{id, name});
    }
    return found;
}

InputSnapshot TakeSnapshot(const std::vector<ConnectedJoystick>& joysticks) {
    InputSnapshot snapshot;
    for (int key = 1; key < 256; ++key) snapshot.keys[static_cast<std::size_t>(key)] = IsKeyDown(key);
    for (const ConnectedJoystick& joystick : joysticks)
        snapshot.buttons[joystick.id] = JoystickButtons(joystick.id);
    return snapshot;
}

}  // namespace lapforge::platform
