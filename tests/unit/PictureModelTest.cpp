#include "platform/PictureModel.h"

#include <gtest/gtest.h>

#include <string>

using namespace lapforge::platform;

namespace {

using namespace std::string_literals;

// The markers a JPEG is made of, with a little content between them.
const std::string Soi = "\xFF\xD8"s;
const std::string App1Exif =
    "\xFF\xE1\x00\x10"
    "Exif\0\0abcdefgh"s;
const std::string Quantisation = "\xFF\xDB\x00\x05\x00\x01\x02"s;
const std::string Scan = "\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00"s;
const std::string CodedData = "\x12\xFF\x00\x34\xFF\xD0\x56"s;  // a stuffed 0xFF and a restart marker
const std::string Eoi = "\xFF\xD9"s;

}  // namespace

TEST(WholeJpeg, StartAndEndMarkersAroundTheLastScan) {
    const std::string whole = Soi + Quantisation + Scan + CodedData + Eoi;
    // A thumbnail inside the Exif block carries its own scan and end marker.
    const std::string thumbnail = Soi + Scan + CodedData + Eoi;
    const std::string withThumbnail = Soi + "\xFF\xE1\x00\x20"s + thumbnail + Quantisation + Scan + CodedData + Eoi;
    struct Case {
        const char* name;
        std::string bytes;
        bool whole;
    };
    const Case cases[] = {
        {"whole", whole, true},
        {"padding after the end marker", whole + std::string(16, '\0'), true},
        {"progressive: two scans", Soi + Quantisation + Scan + CodedData + Scan + CodedData + Eoi, true},
        {"Exif block before the picture", Soi + App1Exif + Quantisation + Scan + CodedData + Eoi, true},
        {"thumbnail, whole main picture", withThumbnail, true},
        {"cut short in the coded data", whole.substr(0, whole.size() - 3), false},
        {"cut short before the scan", Soi + Quantisation, false},
        {"thumbnail, main picture cut short", withThumbnail.substr(0, withThumbnail.size() - 4), false},
        {"empty file", "", false},
        {"PNG", "\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR"s + Scan + Eoi, false},
        {"end marker only", Soi + Eoi, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IsWholeJpeg(c.bytes), c.whole);
    }
}
