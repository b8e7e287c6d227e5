#pragma once

#include <string_view>

namespace lapforge::platform {

// True for the bytes of a whole JPEG: the start-of-image marker first, and the end-of-image marker
// after the last scan's start. A file cut short (a broken download or copy) has not, and neither
// has a picture of another kind named .jpg.
bool IsWholeJpeg(std::string_view bytes);

}  // namespace lapforge::platform
