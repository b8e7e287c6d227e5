#include "platform/DriveListModel.h"

#include <gtest/gtest.h>

using namespace lapforge::platform;

TEST(DriveItems, SmallLetterColonAndTheLabelInBrackets) {
    struct Case {
        char letter;
        const char* label;
        const char* text;
    };
    const Case cases[] = {
        {'C', "System", "c: [System]"},
        {'c', "System", "c: [System]"},
        {'E', "", "e:"},
        {'Z', "MY DISK", "z: [MY DISK]"},
        {'D', "Gro\xdf", "d: [Gro\xdf]"},  // the label's ANSI bytes pass unchanged
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(DriveItemText(c.letter, c.label), c.text);
    }
}

TEST(DriveItems, DriveOfAPath) {
    struct Case {
        const char* path;
        char drive;
    };
    const Case cases[] = {
        {"C:\\GPL", 'C'}, {"d:\\", 'D'}, {"e:", 'E'}, {"\\\\server\\share", 0}, {"", 0}, {"C", 0}, {"1:\\", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(DriveOfPath(c.path), c.drive);
    }
}
