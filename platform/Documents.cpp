#include "platform/Documents.h"

#include <shellapi.h>

namespace lapforge::platform {

void OpenDocument(HWND owner, const std::string& path) {
    ShellExecuteA(owner, "open", path.c_str(), "", "", SW_SHOWNORMAL);
}

}  // namespace lapforge::platform
