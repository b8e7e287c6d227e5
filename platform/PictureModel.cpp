#include "platform/PictureModel.h"

namespace lapforge::platform {

namespace {

constexpr std::string_view StartOfImage = "\xFF\xD8\xFF";
constexpr std::string_view StartOfScan = "\xFF\xDA";
constexpr std::string_view EndOfImage = "\xFF\xD9";

}  // namespace

bool IsWholeJpeg(std::string_view bytes) {
    if (bytes.substr(0, StartOfImage.size()) != StartOfImage) return false;
    // Inside a scan's coded data every 0xFF byte is followed by 0x00 or a restart marker, so the
    // last start-of-scan marker is the main picture's last scan, and an end marker after it ends
    // the picture (a thumbnail's scans and end marker come before).
    const std::size_t scan = bytes.rfind(StartOfScan);
    return scan != std::string_view::npos &&
           bytes.find(EndOfImage, scan + StartOfScan.size()) != std::string_view::npos;
}

}  // namespace lapforge::platform
