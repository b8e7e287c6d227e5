#pragma once

namespace lapforge::platform {

// System-wide: true while the key is down, whichever program has the focus. Not consumed.
bool IsKeyDown(int virtualKey);

}  // namespace lapforge::platform
