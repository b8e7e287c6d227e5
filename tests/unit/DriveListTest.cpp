#include "platform/DriveListModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

namespace {

// One thing the user does to the drop-down, as the list's notifications report it.
struct Step {
    DriveListEvent event;
    char shown;  // what the list shows when the notification comes
};

// Feeds the steps to a pick that starts on C:, returning the drives acted on and those shown again.
std::string Feed(DrivePick& pick, const std::vector<Step>& steps, std::string* shownAgain = nullptr) {
    std::string picked;
    for (const Step& step : steps) {
        const DriveListReaction reaction = pick.On(step.event, step.shown);
        if (reaction.pick) picked += reaction.pick;
        if (reaction.show && shownAgain) *shownAgain += reaction.show;
    }
    return picked;
}

using E = DriveListEvent;

}  // namespace

TEST(DrivePick, ActsOnlyOnTheFinalPick) {
    struct Case {
        const char* name;
        std::vector<Step> steps;
        const char* picked;
    };
    const Case cases[] = {
        {"arrowing down the closed list past an empty drive",
         {{E::SelectionMoved, 'D'}, {E::SelectionMoved, 'E'}, {E::SelectionMoved, 'F'}},
         ""},
        {"arrowing, then Enter", {{E::SelectionMoved, 'D'}, {E::SelectionMoved, 'E'}, {E::Enter, 'E'}}, "E"},
        {"mouse wheel steps, then Enter",
         {{E::SelectionMoved, 'E'}, {E::SelectionMoved, 'F'}, {E::SelectionMoved, 'E'}, {E::Enter, 'E'}},
         "E"},
        {"a click in the open list",
         {{E::Opened, 'C'}, {E::ClosedUp, 'C'}, {E::SelectionMoved, 'F'}, {E::Settled, 'F'}},
         "F"},
        {"arrowing in the open list, closed by Enter",
         {{E::Opened, 'C'}, {E::SelectionMoved, 'D'}, {E::SelectionMoved, 'E'}, {E::ClosedUp, 'E'}, {E::Settled, 'E'}},
         "E"},
        {"opened and closed again on the same drive", {{E::Opened, 'C'}, {E::ClosedUp, 'C'}, {E::Settled, 'C'}}, ""},
        {"Enter on the drive already in use", {{E::Enter, 'C'}}, ""},
        {"two picks in a row",
         {{E::SelectionMoved, 'D'}, {E::Enter, 'D'}, {E::SelectionMoved, 'E'}, {E::Enter, 'E'}, {E::Enter, 'E'}},
         "DE"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DrivePick pick('C');
        EXPECT_EQ(Feed(pick, c.steps), c.picked);
    }
}

TEST(DrivePick, AFailedPickLeavesTheWayOnOpen) {
    DrivePick pick('C');
    EXPECT_EQ(Feed(pick, {{E::SelectionMoved, 'D'}, {E::Enter, 'D'}}), "D");
    pick.SetInUse('C');  // D: was not ready: the window put the list back on C:
    EXPECT_EQ(Feed(pick, {{E::SelectionMoved, 'D'}, {E::SelectionMoved, 'E'}, {E::Enter, 'E'}}), "E");
    EXPECT_EQ(pick.InUse(), 'E');
}

TEST(DrivePick, LeavingWithoutAPickShowsTheDriveInUseAgain) {
    struct Case {
        const char* name;
        std::vector<Step> steps;
        const char* shownAgain;
    };
    const Case cases[] = {
        {"arrowed away, then Tab", {{E::SelectionMoved, 'E'}, {E::FocusLost, 'E'}}, "C"},
        {"nothing moved", {{E::FocusLost, 'C'}}, ""},
        {"picked, then Tab", {{E::SelectionMoved, 'E'}, {E::Enter, 'E'}, {E::FocusLost, 'E'}}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DrivePick pick('C');
        std::string shown;
        Feed(pick, c.steps, &shown);
        EXPECT_EQ(shown, c.shownAgain);
    }
}
