#include "platform/DriveListModel.h"

#include <gtest/gtest.h>

using namespace lapforge::platform;

TEST(DriveItems, SmallLetterColonAndTheLabelInBrackets) {
    struct Case {
        char letter;
        const wchar_t* label;
        const wchar_t* text;
    };
    const Case cases[] = {
        {'C', L"System", L"c: [System]"},
        {'c', L"System", L"c: [System]"},
        {'E', L"", L"e:"},
        {'Z', L"MY DISK", L"z: [MY DISK]"},
        // Labels come in UTF-16: any letters pass unchanged.
        {'D', L"Gro\u00df \u0414\u0438\u0441\u043a", L"d: [Gro\u00df \u0414\u0438\u0441\u043a]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(DriveItemText(c.letter, c.label), c.text);
    }
}

TEST(DriveItems, DriveOfAPath) {
    struct Case {
        const wchar_t* path;
        char drive;
    };
    const Case cases[] = {
        {L"C:\\GPL", 'C'}, {L"d:\\", 'D'}, {L"e:", 'E'}, {L"\\\\server\\share", 0}, {L"", 0}, {L"C", 0}, {L"1:\\", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(DriveOfPath(c.path), c.drive);
    }
}
