#include "platform/InputState.h"

#include <windows.h>

namespace lapforge::platform {

bool IsKeyDown(int virtualKey) { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

}  // namespace lapforge::platform
