// The controls' shared plumbing on the real system: creation, who owns the window, and the
// notifications the parent gets. Windows need a display: without one (Wine in the plain unit test
// run) these tests are skipped, and tests/e2e/control_windows.sh runs them on the rig's display.
#include "core/Failure.h"
#include "platform/Control.h"
#include "platform/DriveList.h"
#include "platform/FolderList.h"
#include "platform/PictureBox.h"
#include "platform/PictureModel.h"
#include "platform/Win32.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace lapforge;
using namespace lapforge::platform;

namespace {

constexpr int ControlId = 42;

// A hidden window that keeps the WM_COMMANDs its controls send it.
class Parent {
public:
    Parent() {
        RegisterWindowClass(L"LapforgeTestParent", Proc, nullptr);
        hwnd_ = CreateWindowExW(0, L"LapforgeTestParent", L"", WS_OVERLAPPED, 0, 0, 400, 300, nullptr, nullptr,
                                GetModuleHandleW(nullptr), this);
    }
    ~Parent() {
        if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
    }
    Parent(const Parent&) = delete;
    Parent& operator=(const Parent&) = delete;

    HWND Handle() const { return hwnd_; }

    struct Command {
        int id;
        int code;
        HWND from;
        bool operator==(const Command&) const = default;
    };
    std::vector<Command> commands;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = WindowObject<Parent>(window, message, lParam);
        if (self && message == WM_COMMAND)
            self->commands.push_back({LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND hwnd_ = nullptr;
};

const RECT Place{10, 10, 210, 160};

// Each control the same way: made in the parent, and its window.
struct Kind {
    const char* name;
    std::function<std::unique_ptr<Control>(HWND parent)> make;
};

template <typename T>
Kind KindOf(const char* name) {
    return {name, [](HWND parent) {
                auto control = std::make_unique<T>();
                control->Create(parent, ControlId, Place);
                return std::unique_ptr<Control>(std::move(control));
            }};
}

const Kind Kinds[] = {KindOf<PictureBox>("picture box"), KindOf<FolderList>("folder list"),
                      KindOf<DriveList>("drive list")};

// A message as the dialog handling asks a control about it.
LRESULT AskForEnter(HWND control) {
    MSG key{control, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    return SendMessageW(control, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&key));
}

void PressEnter(HWND control) {
    SendMessageW(control, WM_KEYDOWN, VK_RETURN, 0);
    SendMessageW(control, WM_CHAR, '\r', 0);
}

class Controls : public testing::Test {
protected:
    void SetUp() override {
        const Parent probe;
        if (!probe.Handle()) GTEST_SKIP() << "no display to make windows on";
    }
};

}  // namespace

TEST_F(Controls, ACreationThatFailsThrows) {
    HWND gone = nullptr;
    {
        const Parent parent;
        gone = parent.Handle();
    }
    for (const Kind& kind : Kinds) {
        SCOPED_TRACE(kind.name);
        EXPECT_THROW(kind.make(gone), Failure);
    }
}

TEST_F(Controls, EachOwnsItsWindowUnlessTheParentTookItFirst) {
    for (const Kind& kind : Kinds) {
        SCOPED_TRACE(kind.name);
        const Parent parent;
        HWND window = nullptr;
        {
            const auto control = kind.make(parent.Handle());
            window = control->Handle();
            ASSERT_TRUE(IsWindow(window));
            EXPECT_EQ(GetParent(window), parent.Handle());
            EXPECT_EQ(GetDlgCtrlID(window), ControlId);
        }
        EXPECT_FALSE(IsWindow(window)) << "the object went, its window stayed";

        auto control = kind.make(parent.Handle());
        DestroyWindow(parent.Handle());
        EXPECT_EQ(control->Handle(), nullptr) << "the object still names a window the parent destroyed";
        control.reset();  // nothing left to destroy twice
    }
}

TEST_F(Controls, APictureBoxWithoutItsWindowShowsNothing) {
    PictureBox never;
    EXPECT_FALSE(never.Show("C:\\windows\\win.ini"));
    Parent parent;
    PictureBox box;
    box.Create(parent.Handle(), ControlId, Place);
    DestroyWindow(parent.Handle());
    EXPECT_FALSE(box.Show("C:\\windows\\win.ini"));
}

TEST_F(Controls, APictureBoxTellsOfClicksOnThePictureOnlyWhileItTakesThem) {
    // A 6 x 9 JPEG of one colour, the map's shape.
    const std::string jpeg(
        "\xff\xd8\xff\xe0\x00\x10\x4a\x46\x49\x46\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00\xff\xdb\x00\x43\x00\x10"
        "\x0b\x0c\x0e\x0c\x0a\x10\x0e\x0d\x0e\x12\x11\x10\x13\x18\x28\x1a\x18\x16\x16\x18\x31\x23\x25\x1d\x28\x3a"
        "\x33\x3d\x3c\x39\x33\x38\x37\x40\x48\x5c\x4e\x40\x44\x57\x45\x37\x38\x50\x6d\x51\x57\x5f\x62\x67\x68\x67"
        "\x3e\x4d\x71\x79\x70\x64\x78\x5c\x65\x67\x63\xff\xdb\x00\x43\x01\x11\x12\x12\x18\x15\x18\x2f\x1a\x1a\x2f"
        "\x63\x42\x38\x42\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63"
        "\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63"
        "\x63\x63\xff\xc0\x00\x11\x08\x00\x09\x00\x06\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01\xff\xc4\x00\x15\x00"
        "\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x05\xff\xc4\x00\x14\x10\x01\x00\x00"
        "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\xff\xc4\x00\x14\x01\x01\x00\x00\x00\x00\x00\x00"
        "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x03\xff\xc4\x00\x14\x11\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
        "\x00\x00\x00\x00\x00\x00\xff\xda\x00\x0c\x03\x01\x00\x02\x11\x03\x11\x00\x3f\x00\xb8\x00\x4c\xff\xd9",
        285);
    const ComApartment com;  // for the picture's decoder
    TestFolder folder;
    folder.Write("\\picture.jpg", jpeg);
    const std::string path = folder.Path() + "\\picture.jpg";
    Parent parent;
    PictureBox box;
    box.Create(parent.Handle(), ControlId, RECT{0, 0, 153, 233});  // the map box at 96 DPI
    ASSERT_TRUE(box.Show(path));
    RECT client;
    GetClientRect(box.Handle(), &client);
    ASSERT_EQ(client.right, 151);  // a one-pixel edge all round
    ASSERT_EQ(client.bottom, 231);
    const auto click = [&](int x, int y) {
        SendMessageW(box.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(box.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    };
    const Parent::Command clicked{ControlId, PictureBox::Clicked, box.Handle()};

    click(75, 115);
    EXPECT_TRUE(parent.commands.empty()) << "a click before the box takes them";
    box.TakeClicks(true);
    click(75, 115);
    EXPECT_EQ(parent.commands, std::vector<Parent::Command>{clicked});
    const auto expected = PictureAt(6, 9, {151, 231}, {75, 115});
    EXPECT_DOUBLE_EQ(box.LastClick().x, expected->x);
    EXPECT_DOUBLE_EQ(box.LastClick().y, expected->y);
    click(75, 1);  // the picture is drawn from the third row
    EXPECT_EQ(parent.commands.size(), 1u);

    box.ShowFlag(PicturePoint{3, 4}, RGB(57, 73, 171));
    ASSERT_TRUE(box.Show(path));
    click(75, 115);
    EXPECT_EQ(parent.commands.size(), 1u) << "a picture shown anew takes no clicks until told";
}

TEST_F(Controls, TheFolderListTellsItsParentOfEveryMoveBeforeReturning) {
    Parent parent;
    FolderList list;
    list.Create(parent.Handle(), ControlId, Place);
    EXPECT_TRUE(parent.commands.empty()) << "creation notified";
    const Parent::Command moved{ControlId, FolderList::ChangeNotification, list.Handle()};

    list.SetFolder(L"C:\\");
    EXPECT_EQ(list.Folder(), "C:\\");
    EXPECT_EQ(parent.commands, std::vector<Parent::Command>{moved});

    // Enter in the list box inside opens the selected row: here the first subfolder.
    HWND rows = GetWindow(list.Handle(), GW_CHILD);
    ASSERT_NE(rows, nullptr);
    ASSERT_GE(SendMessageW(rows, LB_GETCOUNT, 0, 0), 2) << "C:\\ has no subfolder";
    EXPECT_TRUE(AskForEnter(rows) & DLGC_WANTMESSAGE);
    SendMessageW(rows, LB_SETCURSEL, 1, 0);
    PressEnter(rows);
    EXPECT_NE(list.Folder(), "C:\\");
    EXPECT_EQ(parent.commands, (std::vector<Parent::Command>{moved, moved}));
}

TEST_F(Controls, TheDriveListTellsItsParentOfAPickByEnter) {
    Parent parent;
    DriveList drives;
    drives.Create(parent.Handle(), ControlId, Place);
    HWND combo = drives.Handle();
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    if (count < 2) GTEST_SKIP() << "one drive only";
    const LRESULT shown = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    EXPECT_TRUE(parent.commands.empty()) << "creation notified";

    // Another drive shown, as an arrow key on the closed list leaves it, then Enter.
    SendMessageW(combo, CB_SETCURSEL, shown == 0 ? 1 : 0, 0);
    EXPECT_TRUE(AskForEnter(combo) & DLGC_WANTMESSAGE);
    PressEnter(combo);
    const Parent::Command picked{ControlId, DriveList::PickNotification, combo};
    EXPECT_EQ(parent.commands, std::vector<Parent::Command>{picked});
    EXPECT_NE(drives.Drive(), 0);

    PressEnter(combo);  // on the drive now in use
    EXPECT_EQ(parent.commands.size(), 1u);
}
